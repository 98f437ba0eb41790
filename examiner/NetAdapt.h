#pragma once
// The examiner's own IPv4 address for the student stations, and the address file "1.nna" that
// tells them where the examiner is.
//
// The address is the first IPv4 address of a network interface that is up, running and not the
// loopback. The host name's own lookup is of no use here: on Linux it usually gives 127.0.1.1,
// which no student station could reach.
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// What the choice needs to know of one interface; filled from QNetworkInterface or by tests.
struct TNetInterfaceInfo {
    QString Name;
    bool IsUp = false;
    bool IsRunning = false;
    bool IsLoopBack = false;
    QList<QHostAddress> Addresses; // in the order the system lists them
};

// The interfaces of this computer, in the order the system lists them (or as the lister
// installed with SetInterfaceLister gives them).
QList<TNetInterfaceInfo> LocalInterfaces();

// Where LocalInterfaces() takes its list from; an empty function puts the system's own back.
// The start-up tests give a fixed list, so that the adaptation they check does not depend on
// the network of the machine they run on.
void SetInterfaceLister(std::function<QList<TNetInterfaceInfo>()> lister);

// The first IPv4 address, in list order, of an interface that is up, running and not the
// loopback; loopback addresses are passed over wherever they occur. Nothing when there is none.
std::optional<QHostAddress> ChooseExaminerAddress(const QList<TNetInterfaceInfo>& interfaces);

// The 16 bytes of "1.nna" for a dotted address: its four numbers as signed 32-bit little-endian
// integers, the first number at offset 0. The address is cut into its numbers with NthField
// after a "." is appended, so a piece that is missing or not a number gives 0.
QByteArray AddressFileBytes(const QString& dottedAddress);
