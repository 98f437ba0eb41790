// The frame codec byte for byte, the received-message queue's bounds, the waiting boxes' and the
// student table's admission rules, without sockets or windows.
#include "ExaminerState.h"
#include "MessageFrame.h"
#include "MessageQueue.h"
#include "StudentTable.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <map>

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
    const std::tuple<QString, QString, QString, TOffer> arrivals[] = {
        {"A", "name!!", a, TOffer::Absorbed}, // no known kind: the tests are exact
        {"A", "CurrentChecked!!1", a, TOffer::Queued},
        {"B", "CurrentChecked!!2", "127.0.0.3", TOffer::Queued},
        {"a", "CurrentChecked!!1$2", a, TOffer::Absorbed}, // a newer set of A replaces his older one
        {"A", "Ready!!", a, TOffer::Queued},
        {"A", "CurrentChecked!!3", a, TOffer::Queued}, // after his Ready: kept apart
        {"A", "CurrentChecked!!4", a, TOffer::Absorbed},
        {"A", "Help!!", a, TOffer::Queued},
        {"A", "CurrentChecked!!5", a, TOffer::Absorbed}, // a help request between changes nothing
        {"C", "Help!!", a, TOffer::Refused},             // one help box per address
        {"", "WhatLang!!", a, TOffer::Queued},
        {"", "WhatLang!!", a, TOffer::Absorbed}, // one language reply per address
    };
    TMessageQueue q;
    for (const auto& [name, text, peer, offer] : arrivals)
        EXPECT_EQ(q.Enqueue({name, text, peer}), offer) << name.toStdString() << ' ' << text.toStdString();
    QStringList order;
    while (auto m = q.TakeNext()) {
        order << m->name + ':' + m->text;
        if (m->kind == TMsgKind::LangQuery && m->peer == a) { // a reply being sent still counts
            EXPECT_EQ(q.Enqueue({"", "WhatLang!!", a}), TOffer::Absorbed);
            EXPECT_EQ(q.Enqueue({"", "WhatLang!!", "127.0.0.9"}), TOffer::Queued);
        }
        q.Done();
    }
    EXPECT_EQ(order, (QStringList{"A:CurrentChecked!!1$2", "B:CurrentChecked!!2", "A:Ready!!",
                                  "A:CurrentChecked!!5", "A:Help!!", ":WhatLang!!", ":WhatLang!!"}));
    EXPECT_EQ(q.Enqueue({"", "WhatLang!!", a}), TOffer::Queued);

    // One address cannot fill it.
    int kept = 0;
    for (int i = 0; i < 1000; ++i)
        kept += q.Enqueue({QString::number(i), "Name!!", "127.0.0.4"}) == TOffer::Queued;
    EXPECT_EQ(kept, TQueueCaps{}.perAddress);
}

namespace {

// The memory the messages a queue holds take at the least (their characters), taken out one by
// one as the window takes them; the queue's own count must cover it and end at nothing.
qint64 DrainedBytes(TMessageQueue& q) {
    const qint64 counted = q.Bytes();
    qint64 held = 0;
    while (const auto m = q.TakeNext()) {
        held += (m->name.size() + m->text.size() + m->peer.size()) * qint64(sizeof(QChar));
        q.Done();
    }
    EXPECT_GE(counted, held);
    EXPECT_EQ(q.Bytes(), 0);
    return held;
}

QString Peer(int a) {
    return QStringLiteral("10.%1.%2.%3").arg(a / 62500).arg(a / 250 % 250).arg(a % 250);
}

} // namespace

// A class of stations sending long names while the window is held up: what waits stays within
// its bytes, and each arrival costs the same however long the queue (no scan by name).
TEST(MessageQueue, BoundsTheBytesWaitingAndFindsSendersWithoutScanning) {
    QStringList names; // 9,990 characters each, alike but for the end
    for (int i = 0; i < 64; ++i)
        names << QString(9980, u'ж') + QString::number(1000000000 + i);
    TMessageQueue q;
    QElapsedTimer clock;
    clock.start();
    for (int a = 0; a < 320; ++a)
        for (const QString& name : names)
            q.Enqueue({name, "Name!!", Peer(a)});
    // A scan of the queue by name at every arrival took 25 s here; a look-up by hash, well under 1 s.
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_GT(q.Size(), 1000);
    EXPECT_LE(DrainedBytes(q), TQueueCaps{}.bytes);
}

// Short answers fill the count, then every sender sends his answers again at the longest a frame
// carries: the newer text replaces the waiting one, within the same bytes, in the room the
// message waits in (a registered student's room set aside, or the room shared by the rest).
TEST(MessageQueue, EveryWayInKeepsToTheByteCap) {
    const TQueueCaps caps{.perAddress = 64, .total = 2400, .bytes = 4 * 1024 * 1024, .students = 100};
    const QString longest = "CurrentChecked!!" + QString(9999 - 16, u'1');
    TMessageQueue q(caps);
    auto sender = [&](int i) { return TReceived{QStringLiteral("Student%1").arg(i % 64), {}, Peer(i / 64)}; };
    QList<TSender> students;
    for (int k = 0; k < caps.students; ++k)
        students.append({sender(k).name, sender(k).peer});
    q.SetRegistered(students);
    const int senders = 2 * caps.total;
    for (int i = 0; i < senders; ++i) {
        TReceived m = sender(i);
        m.text = "CurrentChecked!!1";
        q.Enqueue(m);
    }
    const qsizetype waiting = q.Size();
    EXPECT_GT(waiting, caps.total / 2);
    EXPECT_EQ(q.Enqueue({"Late", "CurrentChecked!!1", Peer(senders)}), TOffer::Refused); // the count is full
    std::map<TOffer, int> replaced;
    for (int i = 0; i < senders; ++i) {
        TReceived m = sender(i);
        m.text = longest;
        ++replaced[q.Enqueue(m)];
    }
    EXPECT_EQ(q.Size(), waiting);
    EXPECT_GT(replaced[TOffer::Refused], 0);
    EXPECT_GT(replaced[TOffer::Absorbed], caps.students); // every student's, and more
    EXPECT_LE(DrainedBytes(q), caps.bytes);
}

TEST(MessageQueue, CapsTheCountAndGivesTheGradingTheAnswersNoReadyPrecedes) {
    TMessageQueue capped({.perAddress = 2, .total = 3, .students = 0});
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
        ASSERT_EQ(q.Enqueue({name, text, "10.0.0.1"}), TOffer::Queued);
    auto order = [](const auto& messages) {
        QStringList out;
        for (const TReceived& m : messages)
            out << m.name + ':' + m.text;
        return out;
    };
    EXPECT_EQ(order(q.TakeAnswersBeforeReady()),
              (QStringList{"A:CurrentChecked!!1", "C:CurrentChecked!!3", "B:CurrentChecked!!4"}));
    // The rest keep their order, and a newer set of answers still joins A's waiting one.
    EXPECT_EQ(q.Enqueue({"A", "CurrentChecked!!5", "10.0.0.1"}), TOffer::Absorbed);
    std::vector<TReceived> rest;
    while (auto m = q.TakeNext())
        rest.push_back(*m);
    EXPECT_EQ(order(rest), (QStringList{"B:Name!!", "A:Ready!!", "a:CurrentChecked!!5"}));
    EXPECT_EQ(q.Bytes(), 0);
}

// Strangers fill every cap; the students in the table still get their answers, ready, help and
// leave in, one waiting of each, and no more than that however they alternate.
TEST(MessageQueue, ARegisteredStudentFindsRoomWhateverOtherAddressesSend) {
    const TQueueCaps caps{.perAddress = 4, .total = 40, .bytes = 400 * 1024, .students = 2};
    TMessageQueue q(caps);
    q.SetRegistered({{"Pupil", "10.0.0.1"}, {"Other", "10.0.0.2"}});
    int flood = 0;
    for (int a = 10; a < 100; ++a)
        for (int i = 0; i < caps.perAddress; ++i)
            flood += q.Enqueue({QString(9990, u'x') + QString::number(i), "CurrentChecked!!1", Peer(a)}) ==
                     TOffer::Queued;
    for (int a = 100; a < 200; ++a)
        flood += q.Enqueue({"S", "Name!!", Peer(a)}) == TOffer::Queued;
    EXPECT_EQ(q.Enqueue({"S", "Name!!", Peer(300)}), TOffer::Refused);
    EXPECT_EQ(q.Enqueue({"Stranger", "CurrentChecked!!1", "10.0.0.1"}), TOffer::Refused);

    const std::tuple<QString, QString, TOffer> arrivals[] = {
        {"pupil", "CurrentChecked!!1$1$1$1", TOffer::Queued},
        {"Pupil", "CurrentChecked!!" + QString(9999 - 16, u'2'), TOffer::Absorbed},
        {"Pupil", "Help!!", TOffer::Queued},
        {"Pupil", "CurrentChecked!!1$2$3$4", TOffer::Absorbed},
        {"Pupil", "Ready!!", TOffer::Queued},
        {"Pupil", "CurrentChecked!!4$4$4$4", TOffer::Refused}, // after his Ready, no room is kept
        {"Pupil", "Ready!!", TOffer::Absorbed},
        {"Pupil", "ВЫШЕЛ!!", TOffer::Queued},
    };
    for (const auto& [name, text, offer] : arrivals)
        EXPECT_EQ(q.Enqueue({name, text, "10.0.0.1"}), offer) << text.left(30).toStdString();
    int alternating = 0;
    for (int i = 0; i < 1000; ++i)
        alternating +=
            q.Enqueue({"Other", i % 2 ? "Ready!!" : "CurrentChecked!!1", "10.0.0.2"}) == TOffer::Queued;
    EXPECT_EQ(alternating, 2);
    EXPECT_LE(q.Size(), caps.total);

    QStringList pupil;
    qint64 held = 0;
    while (const auto m = q.TakeNext()) {
        if (m->peer == "10.0.0.1")
            pupil << m->name + ':' + m->text;
        held += (m->name.size() + m->text.size() + m->peer.size()) * qint64(sizeof(QChar));
        q.Done();
    }
    EXPECT_EQ(pupil, (QStringList{"pupil:CurrentChecked!!1$2$3$4", "Pupil:Help!!", "Pupil:Ready!!",
                                  "Pupil:ВЫШЕЛ!!"}));
    EXPECT_GT(flood, 0);
    EXPECT_LE(held, caps.bytes);
}

// Messages of every kind from strangers and students, while the window takes some and a grading
// takes the answers now and then: whatever was taken in is acted on, and a student's last set of
// answers taken in is the one the window sees last.
TEST(MessageQueue, NothingTakenInIsLostWhileTheCapsRefuseTheRest) {
    const TQueueCaps caps{.perAddress = 8, .total = 200, .bytes = 1024 * 1024, .students = 10};
    TMessageQueue q(caps);
    QList<TSender> students;
    for (int k = 0; k < caps.students; ++k)
        students.append({QStringLiteral("P%1").arg(k), Peer(k % 3)});
    q.SetRegistered(students);
    const QString texts[] = {"Name!!", "CurrentChecked!!", "Help!!", "Ready!!", "ВЫШЕЛ!!", "WhatLang!!"};
    QRandomGenerator random(18);
    QHash<QString, QString> lastAnswers; // sender -> the last answers text taken in
    QSet<QString> takenIn, actedOn;      // sender and kind; the address alone for a language query
    auto kindFrom = [](const TReceived& m, TMsgKind kind) {
        return (kind == TMsgKind::LangQuery ? m.peer : m.peer + '/' + m.name) + '/' +
               QString::number(int(kind));
    };
    auto actOn = [&](const TReceived& m) {
        const QString sender = m.peer + '/' + m.name;
        actedOn.insert(kindFrom(m, m.kind));
        if (m.kind == TMsgKind::Answers && lastAnswers.value(sender) == m.text)
            lastAnswers.remove(sender);
    };
    for (int step = 0; step < 20000; ++step) {
        const int who = random.bounded(40);
        TReceived m{QStringLiteral("P%1").arg(who), texts[random.bounded(6)], Peer(who % 7)};
        if (m.text.startsWith("Current"))
            m.text += QString(random.bounded(2) ? 9000 : 1, u'1') + QString::number(step);
        if (random.bounded(8) == 0)
            m.name += QString(9000, u'n');
        const QString sender = m.peer + '/' + m.name;
        const TOffer offer = q.Enqueue(m);
        if (offer != TOffer::Refused && KindOf(m.text) != TMsgKind::Unknown) {
            takenIn.insert(kindFrom(m, KindOf(m.text)));
            if (KindOf(m.text) == TMsgKind::Answers)
                lastAnswers.insert(sender, m.text);
        }
        ASSERT_LE(q.Bytes(), caps.bytes);
        ASSERT_LE(q.Size(), caps.total);
        if (random.bounded(4) == 0)
            if (const auto next = q.TakeNext()) {
                actOn(*next);
                q.Done();
            }
        if (random.bounded(2000) == 0)
            for (const TReceived& answers : q.TakeAnswersBeforeReady())
                actOn(answers);
    }
    while (const auto next = q.TakeNext()) {
        actOn(*next);
        q.Done();
    }
    EXPECT_EQ(actedOn, takenIn);
    EXPECT_TRUE(lastAnswers.isEmpty()) << lastAnswers.size();
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
