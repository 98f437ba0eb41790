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

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        config.listenAddress = QHostAddress::LocalHost;
        config.listenPort = 0;
        config.frameDeadlineMs = config.lingerMs = config.ackTimeoutMs = 300;
    }

    void startReceiver() {
        receiver = std::make_unique<TMessageReceiver>(config);
        QObject::connect(receiver.get(), &TMessageReceiver::MessageReceived, &context,
                         [this](const QString& n, const QString& t, const QString& p) { got << n << t << p; });
        ASSERT_TRUE(receiver->Start());
    }

    // A raw connection from a loopback address; with a frame, kept open after its acknowledgement.
    std::unique_ptr<QTcpSocket> connectFrom(const QString& address, const QByteArray& frame = {}) {
        auto s = std::make_unique<QTcpSocket>();
        EXPECT_TRUE(s->bind(QHostAddress(address)));
        s->connectToHost(QHostAddress::LocalHost, receiver->Port());
        EXPECT_TRUE(s->waitForConnected(2000));
        if (!frame.isEmpty()) {
            s->write(frame);
            EXPECT_TRUE(QTest::qWaitFor([&] { return s->bytesAvailable() >= 16 || s->waitForReadyRead(10); }, 2000));
        }
        return s;
    }

    static bool waitClosed(QTcpSocket& s, int ms) {
        return QTest::qWaitFor([&] { return !s.waitForReadyRead(10) && s.state() == QAbstractSocket::UnconnectedState; }, ms);
    }

    TLinkConfig config;
    QObject context;
    QStringList got; // name, text, peer of each message handed over
    std::unique_ptr<TMessageReceiver> receiver;
};

} // namespace

TEST_F(LinkTest, AcknowledgesAndHandsOverNameTextAndDottedPeer) {
    startReceiver();
    TTestStation station(QHostAddress("127.0.0.5"), receiver->Port(), "Иванов");
    EXPECT_EQ(station.SendRaw(*vxg::link::EncodeMessage("Иванов", "Name!!")), "OK              ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got.isEmpty(); }, 2000));
    EXPECT_EQ(got, (QStringList{"Иванов", "Name!!", "127.0.0.5"}));
}

TEST_F(LinkTest, BadUnfinishedAndLingeringConnectionsAreClosedInTime) {
    config.frameDeadlineMs = 1000;
    startReceiver();
    TTestStation station(QHostAddress("127.0.0.6"), receiver->Port(), "X");
    // A length that is not four digits closes at once; a frame that never completes, by the deadline.
    const std::pair<QByteArray, int> cases[] = {{"00x2ab0006Name!!", 500}, {"0002ab00", 2500}, {"0002ab0099Name!!", 2500}};
    for (const auto& [bytes, withinMs] : cases) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(station.SendRaw(bytes, 5000).isEmpty()) << bytes.toStdString();
        EXPECT_LT(clock.elapsed(), withinMs) << bytes.toStdString();
    }
    QTest::qWait(50);
    EXPECT_TRUE(got.isEmpty());
    // A sender that keeps the connection open after the acknowledgement is closed by the linger.
    auto open = connectFrom("127.0.0.7", *vxg::link::EncodeMessage("A", "Help!!"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(waitClosed(*open, 3000));
    EXPECT_LT(clock.elapsed(), 1500);
}

TEST_F(LinkTest, CapsTheConnectionsOfOneAddressBeingRead) {
    config.maxConnectionsPerAddress = 3;
    config.frameDeadlineMs = config.lingerMs = 3000;
    startReceiver();
    // Acknowledged connections, still open, no longer count; three unfinished ones fill the cap.
    std::vector<std::unique_ptr<QTcpSocket>> open;
    for (int i = 0; i < 3; ++i)
        open.push_back(connectFrom("127.0.0.8", *vxg::link::EncodeMessage(QString::number(i), "Name!!")));
    for (int i = 0; i < 3; ++i)
        open.push_back(connectFrom("127.0.0.8"));
    QTest::qWait(100);
    auto extra = connectFrom("127.0.0.8");
    EXPECT_TRUE(waitClosed(*extra, 1000));
    // Another address is still served while the first one holds its three.
    EXPECT_TRUE(TTestStation(QHostAddress("127.0.0.9"), receiver->Port(), "B").Register());
    for (auto& s : open)
        EXPECT_EQ(s->state(), QAbstractSocket::ConnectedState);
}

TEST_F(LinkTest, SendWritesOneFrameAndRetriesOnceWithinItsBounds) {
    // station's answer (or none listening), success, connections made
    const std::tuple<std::optional<TTestStation::Mode>, bool, int> cases[] = {
        {TTestStation::Mode::Acknowledge, true, 1},
        {TTestStation::Mode::LowerCaseOk, false, 2},
        {TTestStation::Mode::Silent, false, 2}, // accepts, never answers: two bounded waits
        {std::nullopt, false, 0},
    };
    for (const auto& [mode, ok, connections] : cases) {
        TTestStation station(QHostAddress("127.0.0.11"), 0, "S");
        ASSERT_TRUE(station.Listen());
        quint16 port = station.Port();
        if (mode) {
            station.SetMode(*mode);
        } else { // a port nobody listens on
            TTestStation probe(QHostAddress("127.0.0.12"), 0, "P");
            ASSERT_TRUE(probe.Listen());
            port = probe.Port();
        }
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(SendFrame(mode ? "127.0.0.11" : "127.0.0.12", port, "00000006Stop!!", config), ok) << connections;
        EXPECT_LT(clock.elapsed(), 2 * config.ackTimeoutMs + 500) << connections;
        EXPECT_EQ(station.Connections(), connections) << ok;
        for (const QByteArray& frame : station.ReceivedFrames())
            EXPECT_EQ(frame, "00000006Stop!!");
    }
}
