#pragma once
// Windows code page 1251: every file, archive and message on the wire is single-byte text in it.
#include <QByteArray>
#include <QString>

namespace vxg::cp1251 {

// Characters that code page 1251 lacks become "?".
QByteArray encode(const QString& text);
// Every byte decodes to a character of its own, which encodes back to that byte; the byte 0x98,
// undefined in the code page, decodes to U+0098.
QString decode(const QByteArray& bytes);
QString decode(const char* data, qsizetype size);

// Whether the code page has c, so that it comes back from a file or the wire as it went in.
bool holds(QChar c);
// The text as a file in the code page gives it back: characters it lacks become "?".
QString kept(const QString& text);

} // namespace vxg::cp1251
