#pragma once
// The frame of the message link to the student stations, as pure functions over bytes.
//
// One TCP connection carries one message: four ASCII digits with the length of the sender name,
// the name, four ASCII digits with the length of the text, the text (cp1251, no terminator).
// The receiver answers with 16 bytes: "OK" and 14 blanks.
#include <QByteArray>
#include <QString>
#include <optional>

namespace vxg::link {

constexpr qsizetype kLengthDigits = 4;
constexpr qsizetype kMaxFieldBytes = 9999;
// The largest frame that can exist: two length fields and two fields of 9999 bytes.
constexpr qsizetype kMaxFrameBytes = 2 * (kLengthDigits + kMaxFieldBytes);
constexpr qsizetype kAckBytes = 16;

// "OK" followed by 14 blanks.
QByteArray Acknowledgement();
// An attempt succeeds when the reply holds "OK" anywhere (case-sensitive).
bool IsAcknowledged(const QByteArray& reply);

// The frame of name and text (already cp1251 bytes); nothing when a field is over 9999 bytes.
std::optional<QByteArray> EncodeFrame(const QByteArray& name, const QByteArray& text);
// The same for texts: encoded to cp1251 first.
std::optional<QByteArray> EncodeMessage(const QString& name, const QString& text);

// The state of a receive buffer that holds the start of one frame.
struct TFrameParse {
    enum Status { Incomplete, Bad, Complete };
    Status status = Incomplete;
    QByteArray name;    // cp1251 bytes (Complete only)
    QByteArray text;    // cp1251 bytes (Complete only)
    qsizetype used = 0; // bytes of the buffer that the frame took (Complete only)
};

// Reads one frame from the start of buffer. A length field is judged as soon as its four bytes
// are there: anything but four ASCII digits is Bad at once, before any body is waited for.
TFrameParse ParseFrame(const QByteArray& buffer);

} // namespace vxg::link
