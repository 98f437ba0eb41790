// The limits that keep a bad or hostile station from holding the receiver, over real loopback
// sockets. The bounded send with its one retry is seen through the window (test_testing_faults).
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
    void startReceiver(int deadlineMs, int lingerMs = 300, int perAddress = 16, int inAll = 512) {
        TLinkConfig config;
        config.listenAddress = QHostAddress::LocalHost;
        config.listenPort = 0;
        config.frameDeadlineMs = deadlineMs;
        config.lingerMs = lingerMs;
        config.maxConnectionsPerAddress = perAddress;
        config.maxConnections = inAll;
        receiver = std::make_unique<TMessageReceiver>(config);
        QObject::connect(
            receiver.get(), &TMessageReceiver::MessageReceived, &context,
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
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return s->bytesAvailable() >= 16 || s->waitForReadyRead(10); }, 2000));
        }
        return s;
    }

    static bool waitClosed(QTcpSocket& s, int ms) {
        return QTest::qWaitFor(
            [&] { return !s.waitForReadyRead(10) && s.state() == QAbstractSocket::UnconnectedState; }, ms);
    }

    QObject context;
    QStringList got; // name, text, peer of each message handed over
    std::unique_ptr<TMessageReceiver> receiver;
};

} // namespace

TEST_F(LinkTest, BadUnfinishedAndLingeringConnectionsAreClosedInTime) {
    // A frame deadline far past every limit below: nothing here is closed by it.
    startReceiver(60000);
    // A length that is not four digits closes at once.
    TTestStation first(QHostAddress("127.0.0.6"), receiver->Port(), "X");
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(first.SendRaw("00x2ab0006Name!!", 20000).isEmpty());
    EXPECT_LT(clock.elapsed(), 10000);
    // A sender that keeps its connection open after the acknowledgement is closed by the linger.
    auto open = connectFrom("127.0.0.7", *vxg::link::EncodeMessage("A", "Help!!"));
    EXPECT_TRUE(waitClosed(*open, 10000));
    EXPECT_EQ(got, (QStringList{"A", "Help!!", "127.0.0.7"}));

    // A frame that never completes is closed by its deadline, neither before it nor never.
    const int deadlineMs = 1000;
    startReceiver(deadlineMs);
    TTestStation second(QHostAddress("127.0.0.6"), receiver->Port(), "X");
    for (const QByteArray bytes : {"0002ab00", "0002ab0099Name!!"}) {
        clock.restart();
        EXPECT_TRUE(second.SendRaw(bytes, 20000).isEmpty()) << bytes.toStdString();
        EXPECT_GE(clock.elapsed(), deadlineMs) << bytes.toStdString();
        EXPECT_LT(clock.elapsed(), deadlineMs + 10000) << bytes.toStdString();
    }
    EXPECT_EQ(got.size(), 3);
}

TEST_F(LinkTest, CapsTheConnectionsOfOneAddressBeingRead) {
    startReceiver(60000, 60000, 3); // neither the deadline nor the linger closes anything here
    // Acknowledged connections, still open, no longer count; three unfinished ones fill the cap.
    std::vector<std::unique_ptr<QTcpSocket>> open;
    for (int i = 0; i < 6; ++i)
        open.push_back(
            connectFrom("127.0.0.8", i < 3 ? *vxg::link::EncodeMessage(QString::number(i), "Name!!") : ""));
    // The receiver takes connections in the order they were made: the three unfinished ones are
    // being read when the extra one comes.
    auto extra = connectFrom("127.0.0.8");
    EXPECT_TRUE(waitClosed(*extra, 10000));
    // Another address is still served while the first one holds its three.
    EXPECT_TRUE(TTestStation(QHostAddress("127.0.0.9"), receiver->Port(), "B").Register());
    for (auto& s : open)
        EXPECT_EQ(s->state(), QAbstractSocket::ConnectedState);
}

TEST_F(LinkTest, WhenAllPlacesAreTakenTheConnectionThatWaitedLongestForItsFrameMakesRoom) {
    startReceiver(60000, 60000, 1, 2);
    // Two unfinished frames from two addresses fill the cap in all.
    auto first = connectFrom("127.0.0.12");
    auto second = connectFrom("127.0.0.13");
    // One more from an address at its own cap makes no room: it is closed itself.
    auto again = connectFrom("127.0.0.12");
    EXPECT_TRUE(waitClosed(*again, 10000));
    EXPECT_EQ(first->state(), QAbstractSocket::ConnectedState);
    // Another address gets in, and the connection that waited longest goes.
    auto third = connectFrom("127.0.0.14");
    EXPECT_TRUE(waitClosed(*first, 10000));
    third->write(*vxg::link::EncodeMessage("C", "Name!!"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return third->bytesAvailable() >= 16 || third->waitForReadyRead(10); }, 5000));
    EXPECT_EQ(second->state(), QAbstractSocket::ConnectedState);
    EXPECT_TRUE(QTest::qWaitFor([&] { return got.size() == 3; }, 2000));
    EXPECT_EQ(got, (QStringList{"C", "Name!!", "127.0.0.14"}));
}
