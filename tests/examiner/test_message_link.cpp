// The receiver and the sender over real loopback sockets: acknowledgement and hand-over, the
// limits that keep a bad or hostile station from holding the receiver, and the bounded send
// with its one retry.
#include "MessageFrame.h"
#include "MessageLink.h"
#include "TestStation.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Received {
    QString name, text, peer;
};

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        config.listenAddress = QHostAddress::LocalHost;
        config.listenPort = 0;
        config.frameDeadlineMs = 300;
        config.lingerMs = 300;
        config.ackTimeoutMs = 300;
    }

    void startReceiver() {
        receiver = std::make_unique<TMessageReceiver>(config);
        QObject::connect(
            receiver.get(), &TMessageReceiver::MessageReceived, &context,
            [this](const QString& n, const QString& t, const QString& p) { got.append({n, t, p}); },
            Qt::QueuedConnection);
        ASSERT_TRUE(receiver->Start());
        ASSERT_NE(receiver->Port(), 0);
    }

    // A raw connection from a given loopback address to the receiver.
    std::unique_ptr<QTcpSocket> connectFrom(const char* address) {
        auto s = std::make_unique<QTcpSocket>();
        EXPECT_TRUE(s->bind(QHostAddress(QString::fromLatin1(address))));
        s->connectToHost(QHostAddress::LocalHost, receiver->Port());
        EXPECT_TRUE(s->waitForConnected(2000));
        return s;
    }

    static bool waitClosed(QTcpSocket& s, int ms) {
        return QTest::qWaitFor(
            [&] {
                s.waitForReadyRead(10);
                return s.state() == QAbstractSocket::UnconnectedState;
            },
            ms);
    }

    TLinkConfig config;
    QObject context;
    QList<Received> got;
    std::unique_ptr<TMessageReceiver> receiver;
};

} // namespace

TEST_F(LinkTest, AcknowledgesAndHandsOverNameTextAndDottedPeer) {
    startReceiver();
    TTestStation station(QHostAddress(QStringLiteral("127.0.0.5")), receiver->Port(), QStringLiteral("Иванов"));
    const QByteArray reply = station.SendRaw(*vxg::link::EncodeMessage(QStringLiteral("Иванов"), "Name!!"));
    EXPECT_EQ(reply, QByteArray("OK              "));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got.isEmpty(); }, 2000));
    EXPECT_EQ(got[0].name, QStringLiteral("Иванов"));
    EXPECT_EQ(got[0].text, QStringLiteral("Name!!"));
    EXPECT_EQ(got[0].peer, QStringLiteral("127.0.0.5"));
}

TEST_F(LinkTest, BadOrUnfinishedFramesAreDroppedWithoutAcknowledgement) {
    config.frameDeadlineMs = 1000;
    startReceiver();
    TTestStation station(QHostAddress(QStringLiteral("127.0.0.6")), receiver->Port(), QStringLiteral("X"));
    struct Case {
        QByteArray bytes;
        int mustCloseWithinMs;
    };
    // A length that is not four digits closes at once; a frame that never completes, by the deadline.
    for (const Case& c : QList<Case>{{"00x2ab0006Name!!", 500}, {"0002ab00", 2500}, {"0002ab0099Name!!", 2500}}) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(station.SendRaw(c.bytes, 5000).isEmpty()) << c.bytes.toStdString();
        EXPECT_LT(clock.elapsed(), c.mustCloseWithinMs) << c.bytes.toStdString();
    }
    QTest::qWait(50);
    EXPECT_TRUE(got.isEmpty());
}

TEST_F(LinkTest, ClosesAConnectionTheSenderKeepsOpenAfterTheAcknowledgement) {
    startReceiver();
    auto s = connectFrom("127.0.0.7");
    s->write(*vxg::link::EncodeMessage("A", "Help!!"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return s->waitForReadyRead(10) || s->bytesAvailable() >= 16; }, 2000));
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(waitClosed(*s, 3000));
    EXPECT_LT(clock.elapsed(), 1500);
}

TEST_F(LinkTest, CapsTheConnectionsOfOneAddress) {
    config.maxConnectionsPerAddress = 3;
    config.frameDeadlineMs = 3000;
    startReceiver();
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 3; ++i)
        idle.push_back(connectFrom("127.0.0.8"));
    QTest::qWait(100);
    auto extra = connectFrom("127.0.0.8");
    EXPECT_TRUE(waitClosed(*extra, 1000));
    // Another address is still served while the first one holds its three.
    TTestStation other(QHostAddress(QStringLiteral("127.0.0.9")), receiver->Port(), QStringLiteral("B"));
    EXPECT_TRUE(other.Register());
    for (auto& s : idle)
        EXPECT_EQ(s->state(), QAbstractSocket::ConnectedState);
}

TEST_F(LinkTest, AnAcknowledgedConnectionNoLongerCountsAgainstTheCap) {
    config.maxConnectionsPerAddress = 3;
    config.lingerMs = 3000;
    startReceiver();
    // Three messages whose senders keep their connections open after the acknowledgement.
    std::vector<std::unique_ptr<QTcpSocket>> done;
    for (int i = 0; i < 3; ++i) {
        done.push_back(connectFrom("127.0.0.13"));
        done.back()->write(*vxg::link::EncodeMessage(QStringLiteral("N%1").arg(i), "Name!!"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return done.back()->waitForReadyRead(10) || done.back()->bytesAvailable() >= 16; }, 2000));
    }
    TTestStation same(QHostAddress(QStringLiteral("127.0.0.13")), receiver->Port(), QStringLiteral("Fourth"));
    EXPECT_TRUE(same.Register());
}

TEST_F(LinkTest, StopEndsTheThreadAndNothingMoreIsReceived) {
    startReceiver();
    const quint16 port = receiver->Port();
    receiver->Stop();
    TTestStation station(QHostAddress(QStringLiteral("127.0.0.10")), port, QStringLiteral("X"));
    EXPECT_FALSE(station.Register());
    EXPECT_EQ(receiver->Port(), 0);
}

TEST_F(LinkTest, SendWritesOneFrameAndRetriesOnceWithinItsBounds) {
    struct Case {
        TTestStation::Mode mode;
        bool listening;
        bool ok;
        int connections;
    };
    const QList<Case> cases{
        {TTestStation::Mode::Acknowledge, true, true, 1},
        {TTestStation::Mode::LowerCaseOk, true, false, 2},
        {TTestStation::Mode::Silent, true, false, 2}, // accepts, never answers: two bounded waits
        {TTestStation::Mode::Acknowledge, false, false, 0},
    };
    for (const Case& c : cases) {
        TTestStation station(QHostAddress(QStringLiteral("127.0.0.11")), 0, QStringLiteral("S"));
        station.SetMode(c.mode);
        quint16 port = 0;
        if (c.listening) {
            ASSERT_TRUE(station.Listen());
            port = station.Port();
        } else {
            TTestStation probe(QHostAddress(QStringLiteral("127.0.0.11")), 0, QStringLiteral("P"));
            ASSERT_TRUE(probe.Listen());
            port = probe.Port(); // free again once probe is gone: nobody listens there
        }
        QElapsedTimer clock;
        clock.start();
        const bool ok = SendFrame(QStringLiteral("127.0.0.11"), port, *vxg::link::EncodeMessage({}, "Stop!!"), config);
        const qint64 took = clock.elapsed();
        EXPECT_EQ(ok, c.ok) << int(c.mode);
        EXPECT_EQ(station.Connections(), c.connections) << int(c.mode);
        EXPECT_LT(took, 2 * config.ackTimeoutMs + 500) << int(c.mode);
        for (const QByteArray& frame : station.ReceivedFrames())
            EXPECT_EQ(frame, QByteArray("00000006Stop!!"));
    }
}

TEST_F(LinkTest, AnAbandonedSendMakesNoAttempt) {
    TTestStation station(QHostAddress(QStringLiteral("127.0.0.12")), 0, QStringLiteral("S"));
    ASSERT_TRUE(station.Listen());
    EXPECT_FALSE(SendFrame(QStringLiteral("127.0.0.12"), station.Port(), "00000006Stop!!", config, [] { return true; }));
    QTest::qWait(50);
    EXPECT_EQ(station.Connections(), 0);
}
