#include "Globals.h"

#include <QFile>
#include <QHash>

quint16 LangOffset = 0;
QStringList LangStrings;

namespace {

constexpr int kLangEntries = 200;
constexpr qsizetype kMaxTextLength = 255;
const QString kMissingText = QStringLiteral("-----");

// "\n" stands for a line break and "\\" for one backslash; any other backslash is kept as it is.
QString unescape(QStringView raw) {
    QString text;
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw[i + 1];
            if (next == u'n') {
                text += u'\n';
                ++i;
                continue;
            }
            if (next == u'\\') {
                text += u'\\';
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

// Lines that are not "id<TAB>text" with a decimal id are skipped; when an id occurs twice the
// later line wins. Texts are taken as they stand: leading and trailing blanks belong to them.
QHash<int, QString> parseTable(const QByteArray& bytes) {
    QHash<int, QString> table;
    const QString all = QString::fromUtf8(bytes);
    for (QStringView line : QStringView(all).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (!ok)
            continue;
        table.insert(id, unescape(line.mid(tab + 1)));
    }
    return table;
}

// The program's string table, read from its resource once.
const QHash<int, QString>& stringTable() {
    static const QHash<int, QString> table = [] {
        QFile file(QStringLiteral(":/vxg/strings.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return QHash<int, QString>();
        return parseTable(file.readAll());
    }();
    return table;
}

} // namespace

void LoadLangStrings() {
    // Only 0 and 200 are ever stored; anything else is taken as English, the language the
    // programs fall back to when nothing is stored.
    const bool russian = LangOffset == 0;
    const int offset = russian ? 0 : 200;

    LangStrings.clear();
    LangStrings.reserve(kLangEntries);
    LangStrings.append(russian ? QStringLiteral("Rus") : QStringLiteral("Eng"));
    for (int i = 1; i < kLangEntries; ++i) {
        const QString text = LangTableText(i + offset).left(kMaxTextLength);
        LangStrings.append(text.isEmpty() ? kMissingText : text);
    }
}

const QString& lang(int n) {
    if (n < 0 || n >= LangStrings.size())
        return kMissingText;
    return LangStrings.at(n);
}

QString LangTableText(int id) {
    return stringTable().value(id);
}
