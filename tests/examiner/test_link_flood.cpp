// Stations that flood the link while the window is held up, through the real window and real
// loopback sockets: what is acknowledged counts, what the caps refuse is never acknowledged, and
// connections that never finish a frame keep no honest station out.
#include "test_testing_fixture.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

// Sends one message from each of count senders at address; returns how many were acknowledged.
int SendFrom(const QString& address, quint16 port, int count, const QString& name, const QString& text) {
    TTestStation st{QHostAddress(address), port, {}};
    int acknowledged = 0;
    for (int i = 0; i < count; ++i)
        acknowledged += st.SendAs(name + QString::number(i), text, 3000);
    return acknowledged;
}

// Connections from many loopback addresses that each write part of a frame and never the rest;
// every one the examiner closes is opened again at once, until the flood is dropped.
class UnfinishedFrames {
public:
    UnfinishedFrames(quint16 port, int addresses, int perAddress) : port_(port) {
        for (int a = 0; a < addresses; ++a)
            for (int i = 0; i < perAddress; ++i)
                Open(QStringLiteral("127.0.2.%1").arg(a + 1));
    }
    ~UnfinishedFrames() {
        running_ = false;
        for (QTcpSocket* s : open_)
            delete s;
    }
    int Connected() const { return connected_; }
    int ClosedByTheExaminer() const { return closed_; }

private:
    void Open(const QString& address) {
        auto* s = new QTcpSocket;
        open_.insert(s);
        s->bind(QHostAddress(address));
        QObject::connect(s, &QTcpSocket::connected, s, [this, s] {
            ++connected_;
            s->write("0004ab");
        });
        QObject::connect(
            s, &QTcpSocket::stateChanged, s, [this, s, address](QAbstractSocket::SocketState state) {
                if (state != QAbstractSocket::UnconnectedState || !running_)
                    return;
                ++closed_;
                open_.remove(s);
                s->deleteLater();
                QMetaObject::invokeMethod(
                    &context_, [this, address] { running_ ? Open(address) : void(); }, Qt::QueuedConnection);
            });
        s->connectToHost(QHostAddress::LocalHost, port_);
    }

    quint16 port_;
    bool running_ = true;
    QObject context_;
    QSet<QTcpSocket*> open_;
    int connected_ = 0;
    int closed_ = 0;
};

} // namespace

// While the window waits on a send, strangers fill the queue's bytes with answers under long
// names and then its count with short ones; a pupil's answers acknowledged after them count as
// those of a classmate who answered before the flood.
TEST_F(TestingWindowTest, AFloodOfOtherAddressesNeitherDropsNorCrowdsOutAcknowledgedAnswers) {
    link.queue = {.perAddress = 4, .total = 96, .bytes = 2 * 1024 * 1024, .students = 8};
    startTesting();
    TTestStation& classmate = registered(151, "Classmate");
    TTestStation& pupil = registered(152, "Pupil");
    TTestStation& holder = registered(153, "Holder");
    ASSERT_TRUE(w->GiveOutClick());
    ASSERT_TRUE(classmate.SendAnswers("1$2$3$4"));
    ASSERT_TRUE(settle([&] { return cell(5, 1) == "+"; }));

    int floodSent = 0;
    int floodAcknowledged = 0;
    bool pupilAcknowledged = false;
    holder.BeforeAcknowledging([&](const QString& text) {
        if (!text.startsWith("Lang!!") || floodSent > 0)
            return;
        // The window thread waits in this send: nothing leaves the queue meanwhile.
        const quint16 port = w->LinkPort();
        const QString longName(9990, u'x');
        for (int a = 1; a <= 24; ++a, floodSent += 4)
            floodAcknowledged +=
                SendFrom(QStringLiteral("127.0.1.%1").arg(a), port, 4, longName, "CurrentChecked!!1$1$1$1");
        for (int a = 101; a <= 120; ++a, floodSent += 4)
            floodAcknowledged +=
                SendFrom(QStringLiteral("127.0.1.%1").arg(a), port, 4, "S", "CurrentChecked!!1");
        pupilAcknowledged = pupil.SendAnswers("1$2$3$4");
    });
    ASSERT_TRUE(holder.Send("WhatLang!!"));
    ASSERT_TRUE(settle([&] { return floodSent > 0; }, 20000));
    EXPECT_TRUE(pupilAcknowledged);
    // The caps refused part of the flood, and what they refused got no acknowledgement.
    EXPECT_GT(floodAcknowledged, 0);
    EXPECT_LT(floodAcknowledged, floodSent);

    w->StopCommand(); // F3
    ASSERT_TRUE(pupil.WaitForMessages(3, 20000));
    ASSERT_TRUE(classmate.WaitForMessages(3, 5000));
    EXPECT_EQ(classmate.Received().mid(1), (QStringList{"Stop!!", "5$Ocenka!!$"}));
    EXPECT_EQ(pupil.Received().mid(1), (QStringList{"Stop!!", "5$Ocenka!!$"}));
    EXPECT_EQ(grid(2).mid(1, 5), (QStringList{"5", "+", "+", "+", "+"}));
}

// Addresses that each hold as many unfinished connections as one address may fill the cap in
// all and open a new one for each that is closed; an honest station's messages still get
// through, each within a few seconds.
TEST_F(TestingWindowTest, ConnectionsThatNeverFinishAFrameKeepNoHonestStationOut) {
    link.maxConnections = 48;
    link.maxConnectionsPerAddress = 4;
    link.frameDeadlineMs = 60000; // no unfinished frame runs out of time within the test
    startTesting();
    UnfinishedFrames flood(w->LinkPort(), 13, 4);
    ASSERT_TRUE(settle(
        [&] { return flood.Connected() >= link.maxConnections && flood.ClosedByTheExaminer() > 0; }, 10000));

    TTestStation& honest = station(160, "Honest");
    constexpr int kTries = 5;
    std::atomic<int> acknowledged = 0;
    std::atomic<qint64> slowestMs = 0;
    std::unique_ptr<QThread> sender(QThread::create([&] {
        for (int i = 0; i < kTries; ++i) {
            QElapsedTimer took;
            took.start();
            if (honest.Register())
                ++acknowledged;
            slowestMs = std::max<qint64>(slowestMs, took.elapsed());
        }
    }));
    const int closedBefore = flood.ClosedByTheExaminer();
    sender->start();
    ASSERT_TRUE(settle([&] { return sender->isFinished(); }, kTries * 4000));
    EXPECT_EQ(acknowledged, kTries);
    EXPECT_LT(slowestMs, 3000);
    EXPECT_GT(flood.ClosedByTheExaminer(), closedBefore); // the flood went on meanwhile
    EXPECT_TRUE(settle([&] { return s->StudentCount == 1; }));
}
