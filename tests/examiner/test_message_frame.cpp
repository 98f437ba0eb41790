// The frame codec byte for byte, the received-message queue's bounds, the waiting boxes' and the
// student table's admission rules, without sockets or windows.
#include "ExaminerState.h"
#include "MessageFrame.h"
#include "MessageQueue.h"
#include "StudentTable.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace vxg::link;

TEST(MessageFrame, EncodesByteForByteInCp1251AndNeverCutsAField) {
    const std::tuple<QString, QString, QByteArray> cases[] = {
        {"", "Stop!!", "00000006Stop!!"},
        {"", "Lang!!200", "00000009Lang!!200"},
        {"", "7$Ocenka!!$", "000000117$Ocenka!!$"},
        {"", "", "00000000"},
        {"Иванов", "ВЫШЕЛ!!",
         "0006\xC8\xE2\xE0\xED\xEE\xE2"
         "0007\xC2\xDB\xD8\xC5\xCB!!"},
    };
    for (const auto& [name, text, wire] : cases)
        EXPECT_EQ(EncodeMessage(name, text), wire) << text.toStdString();
    EXPECT_EQ(EncodeFrame({}, QByteArray(9999, 'a'))->left(8), "00009999");
    EXPECT_FALSE(EncodeFrame({}, QByteArray(10000, 'a')));
    EXPECT_FALSE(EncodeFrame(QByteArray(10000, 'a'), {}));
    // The acknowledgement is "OK" and 14 blanks; a reply holding "OK" anywhere, in capitals, is one.
    EXPECT_EQ(Acknowledgement(), "OK              ");
    const std::pair<QByteArray, bool> replies[] = {
        {"  OK            ", true}, {"ok              ", false}, {"", false}};
    for (const auto& [reply, ok] : replies)
        EXPECT_EQ(IsAcknowledged(reply), ok) << reply.toStdString();
}

TEST(MessageFrame, JudgesALengthFieldAsSoonAsItsFourBytesArrive) {
    const std::pair<QByteArray, TFrameParse::Status> cases[] = {
        {"00x1", TFrameParse::Bad},
        {"-001", TFrameParse::Bad},
        {"0002ab00", TFrameParse::Incomplete},
        {"0002ab+005", TFrameParse::Bad}, // before any text came
        {"0002ab9999", TFrameParse::Incomplete},
        {"0002ab0003xyzEXTRA", TFrameParse::Complete},
    };
    for (const auto& [buffer, status] : cases)
        EXPECT_EQ(ParseFrame(buffer).status, status) << buffer.toStdString();
    const TFrameParse done = ParseFrame("0002ab0003xyzEXTRA");
    EXPECT_EQ(std::tuple(done.name, done.text, done.used),
              std::tuple(QByteArray("ab"), QByteArray("xyz"), qsizetype(13)));
    const QByteArray frame = *EncodeMessage("Петров", "CurrentChecked!!1$2$3$4"); // every prefix waits
    for (qsizetype n = 0; n < frame.size(); ++n)
        EXPECT_EQ(ParseFrame(frame.left(n)).status, TFrameParse::Incomplete) << n;
}

TEST(MessageQueue, KeepsArrivalOrderAndBoundsWhatWaits) {
    const QString a = "127.0.0.2";
    const std::tuple<QString, QString, QString, bool> arrivals[] = {
        {"A", "name!!", a, false}, // no known kind: the tests are exact
        {"A", "CurrentChecked!!1", a, true},
        {"B", "CurrentChecked!!2", "127.0.0.3", true},
        {"a", "CurrentChecked!!1$2", a, false}, // a newer set of A replaces his older one
        {"A", "Ready!!", a, true},
        {"A", "CurrentChecked!!3", a, true}, // after his Ready: kept apart
        {"A", "CurrentChecked!!4", a, false},
        {"A", "Help!!", a, true},
        {"C", "Help!!", a, false}, // one help box per address
        {"", "WhatLang!!", a, true},
        {"", "WhatLang!!", a, false}, // one language reply per address
    };
    TMessageQueue q;
    for (const auto& [name, text, peer, kept] : arrivals)
        EXPECT_EQ(q.Enqueue({name, text, peer}), kept) << name.toStdString() << ' ' << text.toStdString();
    QStringList order;
    while (auto m = q.TakeNext()) {
        order << m->name + ':' + m->text;
        if (m->kind == TMsgKind::LangQuery && m->peer == a) { // a reply being sent still counts
            EXPECT_FALSE(q.Enqueue({"", "WhatLang!!", a}));
            EXPECT_TRUE(q.Enqueue({"", "WhatLang!!", "127.0.0.9"}));
        }
        q.Done();
    }
    EXPECT_EQ(order, (QStringList{"A:CurrentChecked!!1$2", "B:CurrentChecked!!2", "A:Ready!!",
                                  "A:CurrentChecked!!4", "A:Help!!", ":WhatLang!!", ":WhatLang!!"}));
    EXPECT_TRUE(q.Enqueue({"", "WhatLang!!", a}));

    // One address cannot fill it.
    int kept = 0;
    for (int i = 0; i < 1000; ++i)
        kept += q.Enqueue({QString::number(i), "Name!!", "127.0.0.4"});
    EXPECT_EQ(kept, TQueueCaps{}.perAddress);
}

// A class of stations sending long names while the window is held up: what waits stays within
// its bytes, and each arrival costs the same however long the queue (no scan by name).
TEST(MessageQueue, BoundsTheBytesWaitingAndFindsSendersWithoutScanning) {
    QStringList names; // 9,990 characters each, alike but for the end
    for (int i = 0; i < 64; ++i)
        names << QString(9980, u'ж') + QString::number(1000000000 + i);
    TMessageQueue q;
    QElapsedTimer clock;
    clock.start();
    for (int a = 0; a < 320; ++a) {
        const QString peer = QStringLiteral("10.0.%1.%2").arg(a / 250).arg(a % 250);
        for (const QString& name : names)
            q.Enqueue({name, "Name!!", peer});
    }
    // A scan of the queue by name at every arrival took 25 s here; a look-up by hash, well under 1 s.
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_GT(q.Size(), 1000);
    EXPECT_LT(q.Size() * names[0].size() * 2, 64 * 1024 * 1024);
}

TEST(MessageQueue, CapsTheCountAndGivesTheGradingTheAnswersNoReadyPrecedes) {
    TMessageQueue capped({.perAddress = 2, .total = 3});
    for (int a = 1; a <= 5; ++a)
        capped.Enqueue({"A", "Name!!", QStringLiteral("10.0.0.%1").arg(a)});
    EXPECT_EQ(capped.Size(), 3);

    TMessageQueue q;
    const std::pair<QString, QString> arrivals[] = {
        {"A", "CurrentChecked!!1"}, {"B", "Name!!"},
        {"A", "Ready!!"},           {"a", "CurrentChecked!!2"},
        {"C", "CurrentChecked!!3"}, {"B", "CurrentChecked!!4"},
    };
    for (const auto& [name, text] : arrivals)
        ASSERT_TRUE(q.Enqueue({name, text, "10.0.0.1"}));
    auto order = [](const auto& messages) {
        QStringList out;
        for (const TReceived& m : messages)
            out << m.name + ':' + m.text;
        return out;
    };
    EXPECT_EQ(order(q.TakeAnswersBeforeReady()),
              (QStringList{"A:CurrentChecked!!1", "C:CurrentChecked!!3", "B:CurrentChecked!!4"}));
    // The rest keep their order, and a newer set of answers still joins A's waiting one.
    EXPECT_FALSE(q.Enqueue({"A", "CurrentChecked!!5", "10.0.0.1"}));
    std::vector<TReceived> rest;
    while (auto m = q.TakeNext())
        rest.push_back(*m);
    EXPECT_EQ(order(rest), (QStringList{"B:Name!!", "A:Ready!!", "a:CurrentChecked!!5"}));
    EXPECT_EQ(q.Bytes(), 0);
}

TEST(MessageQueue, ABoxWaitsOnceAndOneAddressCannotFillTheirQueue) {
    TBoxQueue boxes;
    EXPECT_TRUE(boxes.Enqueue({TMsgKind::Help, "A", "10.0.0.1"}));
    EXPECT_FALSE(boxes.Enqueue({TMsgKind::Help, "A", "10.0.0.1"})); // already waiting
    int kept = 1;
    for (int i = 0; i < 20; ++i)
        kept += boxes.Enqueue({TMsgKind::Left, QString::number(i), "10.0.0.1"});
    EXPECT_EQ(kept, TBoxQueue::kPerAddress);
    EXPECT_TRUE(boxes.Enqueue({TMsgKind::Help, "A", "10.0.0.2"}));
}

TEST(StudentTable, FindsNamesWithoutRegardToCaseAndAdmitsOnlyNamesThatFit) {
    TExaminerState s;
    TStudentTable t(s);
    t.Append("Иванов", "10.0.0.1");
    t.Append("Ёлкин", "10.0.0.6");
    EXPECT_EQ(t.IndexOf("ИВАНОВ"), 0);
    EXPECT_EQ(t.IndexOf("ёлкин"), 1);
    EXPECT_EQ(t.IndexOf("Иванова"), -1);
    EXPECT_EQ(t.IndexFrom("иванов", "10.0.0.1"), 0);
    EXPECT_EQ(t.IndexFrom("иванов", "10.0.0.9"), -1); // only from where he registered
    const std::pair<QString, TAdmission> cases[] = {
        {"Petrov", TAdmission::Admitted},
        {"иВАНОВ", TAdmission::NameTaken}, // registered from 10.0.0.1
        {"", TAdmission::EmptyName},
        {"Pet\nrov", TAdmission::ControlCharacter},
        {QString(64, 'x'), TAdmission::Admitted},
        {QString(65, 'x'), TAdmission::NameTooLong},
    };
    for (const auto& [name, result] : cases)
        EXPECT_EQ(t.Admit(name, "10.0.0.2"), result) << name.toStdString();

    for (int i = 1; i < TStudentTable::kMaxNamesPerAddress; ++i)
        t.Append(QStringLiteral("Same%1").arg(i), "10.0.0.1");
    EXPECT_EQ(t.Admit("Fifth", "10.0.0.1"), TAdmission::AddressFull);
    EXPECT_EQ(t.Admit("ИВАНОВ", "10.0.0.1"), TAdmission::Known);
    for (int i = s.StudentCount; i < TStudentTable::kMaxStudents; ++i)
        t.Append(QStringLiteral("S%1").arg(i), QStringLiteral("10.1.%1.%2").arg(i / 250).arg(i % 250));
    EXPECT_EQ(t.Admit("Late", "10.9.9.9"), TAdmission::TableFull);
}
