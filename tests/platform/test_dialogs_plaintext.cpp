// Message boxes show their text as plain text: a station's name such as "<b>X</b>" is shown as
// written, never taken for markup.
#include "Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(DialogsPlainText, BoxesNeverRenderMarkup) {
    const QString text = QStringLiteral("<b>Иванов</b><img src=x> asks to come up!");
    std::pair<Qt::TextFormat, QString> shown{Qt::RichText, {}};
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = {box->textFormat(), box->text()};
        box->button(QMessageBox::Ok)->click();
    });
    vxg::QtDialogs().message(vxg::DlgKind::Warning, text, vxg::DlgButtons::Ok, nullptr);
    EXPECT_EQ(shown, std::pair(Qt::PlainText, text));
}
