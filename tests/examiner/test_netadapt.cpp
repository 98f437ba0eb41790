// The choice of the examiner's address for the student stations and the bytes of "1.nna".
#include "NetAdapt.h"
#include "test_net_interfaces.h"

#include <QNetworkInterface>
#include <gtest/gtest.h>

namespace {

TNetInterfaceInfo loopback() {
    return MakeInterface(QStringLiteral("lo"), {"127.0.0.1", "::1"}, true, true, true);
}

QString chosen(const QList<TNetInterfaceInfo>& list) {
    const auto a = ChooseExaminerAddress(list);
    return a ? a->toString() : QStringLiteral("<none>");
}

TEST(NetAdapt, LoopbackInterfaceIsPassedOver) {
    EXPECT_EQ(chosen({loopback(), MakeInterface(QStringLiteral("eth0"), {"192.168.1.20"})}),
              QStringLiteral("192.168.1.20"));
}

TEST(NetAdapt, InterfacesThatAreDownOrNotRunningArePassedOver) {
    EXPECT_EQ(chosen({MakeInterface(QStringLiteral("eth0"), {"10.1.1.1"}, false, false),
                      MakeInterface(QStringLiteral("eth1"), {"10.2.2.2"}, true, false),
                      MakeInterface(QStringLiteral("wlan0"), {"10.3.3.3"})}),
              QStringLiteral("10.3.3.3"));
}

TEST(NetAdapt, FirstIPv4AddressInListOrderWins) {
    EXPECT_EQ(chosen({MakeInterface(QStringLiteral("eth0"), {"fe80::1", "172.16.0.4", "172.16.0.5"}),
                      MakeInterface(QStringLiteral("eth1"), {"10.0.0.9"})}),
              QStringLiteral("172.16.0.4"));
}

TEST(NetAdapt, InterfaceWithOnlyIPv6IsPassedOver) {
    EXPECT_EQ(chosen({MakeInterface(QStringLiteral("eth0"), {"2001:db8::5", "fe80::2"}),
                      MakeInterface(QStringLiteral("eth1"), {"10.0.0.5"})}),
              QStringLiteral("10.0.0.5"));
}

TEST(NetAdapt, LoopbackAddressOnAnotherInterfaceIsPassedOver) {
    // What the host name's own lookup gives on many Linux machines.
    EXPECT_EQ(chosen({MakeInterface(QStringLiteral("dummy0"), {"127.0.1.1", "10.4.4.4"})}),
              QStringLiteral("10.4.4.4"));
}

TEST(NetAdapt, NoUsableInterfaceGivesNothing) {
    EXPECT_FALSE(ChooseExaminerAddress({}).has_value());
    EXPECT_FALSE(
        ChooseExaminerAddress({loopback(), MakeInterface(QStringLiteral("eth0"), {"10.0.0.1"}, false)})
            .has_value());
    EXPECT_FALSE(ChooseExaminerAddress({MakeInterface(QStringLiteral("eth0"), {})}).has_value());
}

TEST(NetAdapt, AddressFileHoldsFourLittleEndianIntegers) {
    EXPECT_EQ(AddressFileBytes(QStringLiteral("10.0.0.5")).toHex(),
              QByteArray("0a000000000000000000000005000000"));
    EXPECT_EQ(AddressFileBytes(QStringLiteral("192.168.200.255")).toHex(),
              QByteArray("c0000000a8000000c8000000ff000000"));
    EXPECT_EQ(AddressFileBytes(QStringLiteral("1.2.3.4")).size(), 16);
}

TEST(NetAdapt, LocalChoiceIsNeverALoopbackAddress) {
    const auto a = ChooseExaminerAddress(LocalInterfaces());
    if (!a)
        GTEST_SKIP() << "no usable interface on this machine";
    EXPECT_EQ(a->protocol(), QAbstractSocket::IPv4Protocol);
    EXPECT_FALSE(a->isLoopback());
}

TEST(NetAdapt, AnInstalledListerReplacesTheSystemsListUntilRemoved) {
    SetInterfaceLister(
        [] { return QList<TNetInterfaceInfo>{MakeInterface(QStringLiteral("eth7"), {"10.7.7.7"})}; });
    const QList<TNetInterfaceInfo> fixed = LocalInterfaces();
    SetInterfaceLister({});
    ASSERT_EQ(fixed.size(), 1);
    EXPECT_EQ(fixed.first().Name, QStringLiteral("eth7"));

    QStringList systemNames;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
        systemNames << i.name();
    QStringList names;
    for (const TNetInterfaceInfo& i : LocalInterfaces())
        names << i.Name;
    EXPECT_EQ(names, systemNames);
}

} // namespace
