#include "Cp1251.h"

#include <QStringDecoder>
#include <QtGlobal>

#include <array>

namespace vxg::cp1251 {

namespace {

// Both directions as plain tables, filled once from Qt's own converter. The converter alone
// writes characters it cannot map as 0x1A instead of "?". The byte 0x98, which the code page
// leaves undefined, stands for the control character U+0098 both ways, so that a file that
// holds it is written back as it was read.
struct Tables {
    std::array<char16_t, 256> toUnicode{};
    std::array<char, 0x10000> fromUnicode{};

    Tables() {
        QStringDecoder decoder("windows-1251");
        if (!decoder.isValid())
            qFatal("Code page windows-1251 is not available in this Qt build");
        fromUnicode.fill('?');
        for (int byte = 0; byte < 256; ++byte) {
            const char c = char(byte);
            const QString decoded = decoder.decode(QByteArrayView(&c, 1));
            char16_t code = decoded.size() == 1 ? decoded.front().unicode() : u'?';
            if (byte == 0x98)
                code = u'\u0098';
            else if (code == 0xfffd)
                code = u'?';
            toUnicode[byte] = code;
            if (code != u'?' || byte == '?')
                fromUnicode[code] = c;
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

} // namespace

QByteArray encode(const QString& text) {
    const Tables& t = tables();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += '?'; // one character outside the page, one "?"
            ++i;
            continue;
        }
        out += t.fromUnicode[c.unicode()];
    }
    return out;
}

bool holds(QChar c) {
    return c == u'?' || tables().fromUnicode[c.unicode()] != '?';
}

QString kept(const QString& text) {
    return decode(encode(text));
}

QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}

QString decode(const char* data, qsizetype size) {
    const Tables& t = tables();
    QString out(size, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = QChar(t.toUnicode[uchar(data[i])]);
    return out;
}

} // namespace vxg::cp1251
