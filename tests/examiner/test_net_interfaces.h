#pragma once
// Network interfaces as the address choice sees them, made up for tests.
#include "NetAdapt.h"

#include <QHostAddress>
#include <initializer_list>

inline TNetInterfaceInfo MakeInterface(const QString& name, std::initializer_list<const char*> addresses,
                                       bool up = true, bool running = true, bool loopBack = false) {
    TNetInterfaceInfo info;
    info.Name = name;
    info.IsUp = up;
    info.IsRunning = running;
    info.IsLoopBack = loopBack;
    for (const char* a : addresses)
        info.Addresses.append(QHostAddress(QString::fromLatin1(a)));
    return info;
}
