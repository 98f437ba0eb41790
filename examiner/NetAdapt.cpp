#include "NetAdapt.h"

#include "MyTextUtils.h"

#include <QNetworkInterface>
#include <QtEndian>
#include <utility>

namespace {

std::function<QList<TNetInterfaceInfo>()>& interfaceLister() {
    static std::function<QList<TNetInterfaceInfo>()> lister;
    return lister;
}

QList<TNetInterfaceInfo> SystemInterfaces() {
    QList<TNetInterfaceInfo> result;
    const auto all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : all) {
        TNetInterfaceInfo info;
        info.Name = iface.name();
        const auto flags = iface.flags();
        info.IsUp = flags.testFlag(QNetworkInterface::IsUp);
        info.IsRunning = flags.testFlag(QNetworkInterface::IsRunning);
        info.IsLoopBack = flags.testFlag(QNetworkInterface::IsLoopBack);
        const auto entries = iface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries)
            info.Addresses.append(entry.ip());
        result.append(info);
    }
    return result;
}

} // namespace

QList<TNetInterfaceInfo> LocalInterfaces() {
    return interfaceLister() ? interfaceLister()() : SystemInterfaces();
}

void SetInterfaceLister(std::function<QList<TNetInterfaceInfo>()> lister) {
    interfaceLister() = std::move(lister);
}

std::optional<QHostAddress> ChooseExaminerAddress(const QList<TNetInterfaceInfo>& interfaces) {
    for (const TNetInterfaceInfo& iface : interfaces) {
        if (!iface.IsUp || !iface.IsRunning || iface.IsLoopBack)
            continue;
        for (const QHostAddress& address : iface.Addresses) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                return address;
        }
    }
    return std::nullopt;
}

QByteArray AddressFileBytes(const QString& dottedAddress) {
    const QString text = dottedAddress + QLatin1Char('.');
    QByteArray bytes(16, '\0');
    for (int i = 1; i <= 4; ++i) {
        const qint32 number = NthField(text, QLatin1Char('.'), i).toInt();
        qToLittleEndian<qint32>(number, bytes.data() + (i - 1) * 4);
    }
    return bytes;
}
