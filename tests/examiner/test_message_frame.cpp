// The frame codec byte for byte, the received-message queue's bounds and the student table's
// admission rules, without sockets or windows.
#include "Cp1251.h"
#include "ExaminerState.h"
#include "MessageFrame.h"
#include "MessageQueue.h"
#include "StudentTable.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace vxg::link;

TEST(MessageFrame, EncodesTheExaminersMessagesByteForByte) {
    struct Case {
        QString text;
        QByteArray wire;
    };
    const QList<Case> cases{
        {QStringLiteral("Stop!!"), QByteArray("00000006Stop!!")},
        {QStringLiteral("Lang!!200"), QByteArray("00000009Lang!!200")},
        {QStringLiteral("7$Ocenka!!$"), QByteArray("000000117$Ocenka!!$")},
        {QStringLiteral("2$yes$no$2+2?$3$4$5$22$2$Capital?$A$B$C$D$3$"),
         QByteArray("000000442$yes$no$2+2?$3$4$5$22$2$Capital?$A$B$C$D$3$")},
        {QString(), QByteArray("00000000")},
    };
    for (const Case& c : cases) {
        const std::optional<QByteArray> frame = EncodeMessage(QString(), c.text);
        ASSERT_TRUE(frame) << c.text.toStdString();
        EXPECT_EQ(*frame, c.wire) << c.text.toStdString();
    }
    EXPECT_EQ(EncodeMessage(QString(), QStringLiteral("Stop!!"))->size(), 14);
}

TEST(MessageFrame, NamesAndTextsTravelAsCp1251WithTheirByteLengths) {
    const std::optional<QByteArray> frame = EncodeMessage(QStringLiteral("Иванов"), QStringLiteral("ВЫШЕЛ!!"));
    ASSERT_TRUE(frame);
    EXPECT_EQ(*frame, QByteArray("0006\xC8\xE2\xE0\xED\xEE\xE2" "0007\xC2\xDB\xD8\xC5\xCB!!"));
    const TFrameParse back = ParseFrame(*frame);
    ASSERT_EQ(back.status, TFrameParse::Complete);
    EXPECT_EQ(vxg::cp1251::decode(back.name), QStringLiteral("Иванов"));
    EXPECT_EQ(vxg::cp1251::decode(back.text), QStringLiteral("ВЫШЕЛ!!"));
    EXPECT_EQ(back.used, frame->size());
}

TEST(MessageFrame, RefusesFieldsOverFourDigits) {
    EXPECT_TRUE(EncodeFrame({}, QByteArray(9999, 'a')));
    EXPECT_FALSE(EncodeFrame({}, QByteArray(10000, 'a')));
    EXPECT_FALSE(EncodeFrame(QByteArray(10000, 'a'), {}));
    // Never a text cut to fit: 9999 is the last length four digits can carry.
    EXPECT_TRUE(EncodeFrame({}, QByteArray(9999, 'a'))->startsWith("00009999"));
}

TEST(MessageFrame, AcknowledgementIsOkAndFourteenBlanks) {
    EXPECT_EQ(Acknowledgement(), QByteArray("OK              "));
    struct Case {
        QByteArray reply;
        bool ok;
    };
    for (const Case& c : QList<Case>{{"OK              ", true},
                                      {"  OK            ", true},
                                      {"ok              ", false},
                                      {"Ok              ", false},
                                      {"", false}})
        EXPECT_EQ(IsAcknowledged(c.reply), c.ok) << c.reply.toStdString();
}

TEST(MessageFrame, JudgesALengthFieldAsSoonAsItsFourBytesArrive) {
    struct Case {
        QByteArray buffer;
        TFrameParse::Status status;
    };
    const QList<Case> cases{
        {"", TFrameParse::Incomplete},
        {"000", TFrameParse::Incomplete},
        {"00x1", TFrameParse::Bad},         // not four digits: bad at once
        {"-001", TFrameParse::Bad},
        {" 001", TFrameParse::Bad},
        {"0002ab", TFrameParse::Incomplete},
        {"0002ab00", TFrameParse::Incomplete},
        {"0002ab+005", TFrameParse::Bad},   // the second length, before any text came
        {"0002ab9999", TFrameParse::Incomplete},
        {"0002ab0003xy", TFrameParse::Incomplete},
        {"0002ab0003xyz", TFrameParse::Complete},
        {"0002ab0003xyzEXTRA", TFrameParse::Complete},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFrame(c.buffer).status, c.status) << c.buffer.toStdString();
    const TFrameParse done = ParseFrame("0002ab0003xyzEXTRA");
    EXPECT_EQ(done.name, "ab");
    EXPECT_EQ(done.text, "xyz");
    EXPECT_EQ(done.used, 13);
}

TEST(MessageFrame, EveryPrefixOfAFrameIsIncompleteAndRandomBytesNeverCrash) {
    const QByteArray frame = *EncodeMessage(QStringLiteral("Петров"), QStringLiteral("CurrentChecked!!1$2$3$4"));
    for (qsizetype n = 0; n < frame.size(); ++n)
        EXPECT_EQ(ParseFrame(frame.left(n)).status, TFrameParse::Incomplete) << n;
    QRandomGenerator rng(7);
    for (int i = 0; i < 2000; ++i) {
        QByteArray junk(rng.bounded(0, 64), '\0');
        for (char& c : junk)
            c = char(rng.bounded(0, 256));
        if (rng.bounded(2))
            junk.prepend("00");
        const TFrameParse r = ParseFrame(junk);
        if (r.status == TFrameParse::Complete) {
            EXPECT_LE(r.used, junk.size());
        }
    }
}

// ---------------------------------------------------------------------------------------------

namespace {
TReceived Msg(const QString& name, const QString& text, const QString& peer = QStringLiteral("127.0.0.2")) {
    return {name, text, peer, TMsgKind::Unknown};
}
} // namespace

TEST(MessageKinds, TestsAreExactAndCaseSensitive) {
    struct Case {
        QString text;
        TMsgKind kind;
    };
    const QList<Case> cases{
        {QStringLiteral("Name!!"), TMsgKind::Register},
        {QStringLiteral("name!!"), TMsgKind::Unknown},
        {QStringLiteral("Name!! "), TMsgKind::Unknown},
        {QStringLiteral("xyzCurrentChecked!!1$2"), TMsgKind::Answers},
        {QStringLiteral("Help!!"), TMsgKind::Help},
        {QStringLiteral("Help!!?"), TMsgKind::Unknown},
        {QStringLiteral("Ready!!"), TMsgKind::Ready},
        {QStringLiteral("ВЫШЕЛ!!"), TMsgKind::Left},
        {QStringLiteral("вышел!!"), TMsgKind::Unknown},
        {QStringLiteral("WhatLang!!"), TMsgKind::LangQuery},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KindOf(c.text), c.kind) << c.text.toStdString();
}

TEST(MessageQueue, KeepsArrivalOrderAndBoundsWhatWaits) {
    TMessageQueue q;
    EXPECT_FALSE(q.Enqueue(Msg("A", "nonsense")));        // no known kind: not kept
    EXPECT_TRUE(q.Enqueue(Msg("A", "CurrentChecked!!1"))); // answers of A
    EXPECT_TRUE(q.Enqueue(Msg("B", "CurrentChecked!!2", "127.0.0.3")));
    EXPECT_FALSE(q.Enqueue(Msg("a", "CurrentChecked!!1$2"))); // newer set of A replaces the older
    EXPECT_TRUE(q.Enqueue(Msg("A", "Ready!!")));
    EXPECT_TRUE(q.Enqueue(Msg("A", "CurrentChecked!!3"))); // after his Ready: kept apart
    EXPECT_FALSE(q.Enqueue(Msg("A", "CurrentChecked!!4"))); // replaces the one after Ready
    EXPECT_TRUE(q.Enqueue(Msg("A", "Help!!")));
    EXPECT_FALSE(q.Enqueue(Msg("C", "Help!!")));            // one help box per address
    EXPECT_TRUE(q.Enqueue(Msg("", "WhatLang!!")));
    EXPECT_FALSE(q.Enqueue(Msg("", "WhatLang!!")));         // one language reply per address

    QStringList order;
    while (auto m = q.TakeNext()) {
        order << m->name + QLatin1Char(':') + m->text;
        q.Done();
    }
    EXPECT_EQ(order, (QStringList{"A:CurrentChecked!!1$2", "B:CurrentChecked!!2", "A:Ready!!",
                                  "A:CurrentChecked!!4", "A:Help!!", ":WhatLang!!"}));
}

TEST(MessageQueue, ALanguageReplyBeingSentCountsAsOutstanding) {
    TMessageQueue q;
    ASSERT_TRUE(q.Enqueue(Msg("", "WhatLang!!")));
    ASSERT_TRUE(q.TakeNext());
    EXPECT_FALSE(q.Enqueue(Msg("", "WhatLang!!")));
    EXPECT_TRUE(q.Enqueue(Msg("", "WhatLang!!", "127.0.0.9")));
    q.Done();
    EXPECT_TRUE(q.Enqueue(Msg("", "WhatLang!!")));
}

TEST(MessageQueue, OneAddressCannotFillIt) {
    TMessageQueue q;
    int kept = 0;
    for (int i = 0; i < 1000; ++i)
        kept += q.Enqueue(Msg(QStringLiteral("N%1").arg(i), "Name!!")) ? 1 : 0;
    EXPECT_EQ(kept, TMessageQueue::kMaxPerAddress);
    EXPECT_TRUE(q.Enqueue(Msg("Other", "Name!!", "127.0.0.50")));
}

// ---------------------------------------------------------------------------------------------

TEST(StudentTable, FindsNamesWithoutRegardToCaseCyrillicIncluded) {
    TExaminerState s;
    TStudentTable t(s);
    t.Append(QStringLiteral("Иванов"), QStringLiteral("10.0.0.5"));
    t.Append(QStringLiteral("Ёлкин"), QStringLiteral("10.0.0.6"));
    EXPECT_EQ(t.IndexOf(QStringLiteral("ИВАНОВ")), 0);
    EXPECT_EQ(t.IndexOf(QStringLiteral("ёлкин")), 1);
    EXPECT_EQ(t.IndexOf(QStringLiteral("Иванова")), -1);
    EXPECT_EQ(t.IndexFrom(QStringLiteral("иванов"), QStringLiteral("10.0.0.5")), 0);
    EXPECT_EQ(t.IndexFrom(QStringLiteral("иванов"), QStringLiteral("10.0.0.9")), -1);
    EXPECT_EQ(s.StudentCount, 2);
}

TEST(StudentTable, AdmitsOnlyNamesThatFitAndWithinTheCaps) {
    TExaminerState s;
    TStudentTable t(s);
    t.Append(QStringLiteral("Known"), QStringLiteral("10.0.0.1"));
    struct Case {
        QString name;
        QString address;
        TAdmission result;
    };
    const QList<Case> cases{
        {QStringLiteral("Petrov"), QStringLiteral("10.0.0.1"), TAdmission::Admitted},
        {QStringLiteral("KNOWN"), QStringLiteral("10.0.0.2"), TAdmission::Known},
        {QString(), QStringLiteral("10.0.0.2"), TAdmission::EmptyName},
        {QStringLiteral("Pet\nrov"), QStringLiteral("10.0.0.2"), TAdmission::ControlCharacter},
        {QStringLiteral("Pet\trov"), QStringLiteral("10.0.0.2"), TAdmission::ControlCharacter},
        {QString(64, QLatin1Char('x')), QStringLiteral("10.0.0.2"), TAdmission::Admitted},
        {QString(65, QLatin1Char('x')), QStringLiteral("10.0.0.2"), TAdmission::NameTooLong},
    };
    for (const Case& c : cases)
        EXPECT_EQ(t.Admit(c.name, c.address), c.result) << c.name.toStdString();

    for (int i = 1; i < TStudentTable::kMaxNamesPerAddress; ++i)
        t.Append(QStringLiteral("Same%1").arg(i), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(t.Admit(QStringLiteral("Fifth"), QStringLiteral("10.0.0.1")), TAdmission::AddressFull);
    for (int i = s.StudentCount; i < TStudentTable::kMaxStudents; ++i)
        t.Append(QStringLiteral("S%1").arg(i), QStringLiteral("10.1.%1.%2").arg(i / 250).arg(i % 250));
    EXPECT_EQ(t.Admit(QStringLiteral("Late"), QStringLiteral("10.9.9.9")), TAdmission::TableFull);
}

TEST(StudentTable, HeldWorkComesOutOnlyWhenTheLastHoldEnds) {
    TExaminerState s;
    TStudentTable t(s);
    t.Hold();
    t.Hold();
    t.Defer({true, QStringLiteral("A"), {}});
    t.Defer({false, QStringLiteral("a"), QStringLiteral("10.0.0.1")});
    EXPECT_TRUE(t.RemovalPending(QStringLiteral("a")));
    EXPECT_TRUE(t.Release().isEmpty());
    EXPECT_TRUE(t.Holding());
    const QList<TStudentTable::TPending> work = t.Release();
    ASSERT_EQ(work.size(), 2);
    EXPECT_TRUE(work[0].remove);
    EXPECT_FALSE(work[1].remove);
    EXPECT_FALSE(t.Holding());
    EXPECT_FALSE(t.RemovalPending(QStringLiteral("A")));
}
