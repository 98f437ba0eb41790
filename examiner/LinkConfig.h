#pragma once
#include <QHostAddress>

namespace vxg::link {

// How much of the received messages may wait at once (see TMessageQueue). Room for the
// registered students' own messages is set aside within total and bytes, so a flood from other
// addresses never takes it.
struct TQueueCaps {
    int perAddress = 64;
    int total = 20000;
    qint64 bytes = 64LL * 1024 * 1024;
    int students = 1000; // registered students with room set aside: as many as the table holds
};

} // namespace vxg::link

// Ports, limits and the clock of a testing. The programs use the defaults; tests use free ports
// and a short clock.
struct TLinkConfig {
    QHostAddress listenAddress = QHostAddress::AnyIPv4; // all local IPv4 addresses
    quint16 listenPort = 1026;                          // where the stations send (0: any free port)
    quint16 studentPort = 1024;                         // where the stations listen
    int ioTimeoutMs = 500;                              // host look-up, connect and write of a send
    int ackTimeoutMs = 2000;                            // wait for the 16-byte acknowledgement
    int frameDeadlineMs = 5000;                         // a received frame must be complete within this time
    int lingerMs = 1000;               // after the acknowledgement, the connection is closed by then
    int listenBacklog = 1024;          // a whole class connecting at once waits here, none is dropped
    int maxConnections = 512;          // connections being read (not yet acknowledged) at once, in all
    int maxConnectionsPerAddress = 16; // and from one address
    int minuteMs = 60000;              // one minute of the time limit
    int gaugeTickMs = 5000;            // one step of the time gauge
    vxg::link::TQueueCaps queue{};     // the received messages waiting for the window
};
