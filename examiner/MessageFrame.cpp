#include "MessageFrame.h"

#include "Cp1251.h"

namespace vxg::link {

namespace {

// The length of four ASCII digits at offset, or -1 when they are not four digits.
qsizetype ReadLength(const QByteArray& buffer, qsizetype offset) {
    qsizetype value = 0;
    for (qsizetype i = 0; i < kLengthDigits; ++i) {
        const char c = buffer.at(offset + i);
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

void AppendLength(QByteArray& out, qsizetype length) {
    char digits[kLengthDigits];
    for (qsizetype i = kLengthDigits - 1; i >= 0; --i) {
        digits[i] = char('0' + length % 10);
        length /= 10;
    }
    out.append(digits, kLengthDigits);
}

} // namespace

QByteArray Acknowledgement() {
    QByteArray ack("OK");
    ack.append(kAckBytes - 2, ' ');
    return ack;
}

bool IsAcknowledged(const QByteArray& reply) {
    return reply.contains("OK");
}

std::optional<QByteArray> EncodeFrame(const QByteArray& name, const QByteArray& text) {
    if (name.size() > kMaxFieldBytes || text.size() > kMaxFieldBytes)
        return std::nullopt;
    QByteArray out;
    out.reserve(2 * kLengthDigits + name.size() + text.size());
    AppendLength(out, name.size());
    out.append(name);
    AppendLength(out, text.size());
    out.append(text);
    return out;
}

std::optional<QByteArray> EncodeMessage(const QString& name, const QString& text) {
    return EncodeFrame(cp1251::encode(name), cp1251::encode(text));
}

TFrameParse ParseFrame(const QByteArray& buffer) {
    TFrameParse r;
    if (buffer.size() < kLengthDigits)
        return r;
    const qsizetype nameLength = ReadLength(buffer, 0);
    if (nameLength < 0) {
        r.status = TFrameParse::Bad;
        return r;
    }
    const qsizetype textAt = kLengthDigits + nameLength;
    if (buffer.size() < textAt + kLengthDigits)
        return r;
    const qsizetype textLength = ReadLength(buffer, textAt);
    if (textLength < 0) {
        r.status = TFrameParse::Bad;
        return r;
    }
    const qsizetype end = textAt + kLengthDigits + textLength;
    if (buffer.size() < end)
        return r;
    r.status = TFrameParse::Complete;
    r.name = buffer.mid(kLengthDigits, nameLength);
    r.text = buffer.mid(textAt + kLengthDigits, textLength);
    r.used = end;
    return r;
}

} // namespace vxg::link
