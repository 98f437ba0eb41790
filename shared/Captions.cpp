#include "Captions.h"

#include <QTextDocument>

QString AsCaption(const QString& text) {
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString AsWindowTitle(const QString& text) {
    QString title = text;
    return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

QString AsToolTip(const QString& text) {
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}
