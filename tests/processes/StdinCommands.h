#pragma once
// The helper programs of the two-program test take their orders line by line on standard input
// and report "ready" on standard output when they have done their part of the start-up.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QString>
#include <cstdio>
#include <functional>
#include <unistd.h>

inline void SayReady() {
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
}

// Calls onQuit once a line "quit" (or the end of the input) arrives.
inline QSocketNotifier* OnQuitCommand(QObject* parent, std::function<void()> onQuit) {
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [notifier, onQuit] {
        char buffer[64];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0 || QByteArray(buffer, static_cast<int>(got)).contains("quit")) {
            notifier->setEnabled(false);
            onQuit();
        }
    });
    return notifier;
}
