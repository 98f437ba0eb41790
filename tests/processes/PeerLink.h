#pragma once
// A test and the helper program it runs beside it (peer_examiner): one command a line on the
// helper's standard input, answered with lines of its own and "ok" (also once when it is ready).
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QSocketNotifier>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <unistd.h>

// Helper side: says it is ready, then hands each line to answer and prints the answer and "ok".
// The end of the input counts as "quit".
inline void ServeCommands(QObject* parent, std::function<QString(const QString&)> answer) {
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, parent);
    auto pending = std::make_shared<QByteArray>();
    const auto reply = [](const QString& text) {
        std::fputs((text + QStringLiteral("ok\n")).toUtf8().constData(), stdout);
        std::fflush(stdout);
    };
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [=] {
        char chunk[256];
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        *pending += got > 0 ? QByteArray(chunk, static_cast<int>(got)) : QByteArray("quit\n");
        notifier->setEnabled(false); // a command may run the event loop
        for (qsizetype end; (end = pending->indexOf('\n')) >= 0;) {
            const QString line = QString::fromUtf8(pending->left(end));
            pending->remove(0, end + 1);
            reply(answer(line));
            if (line == QLatin1String("quit"))
                return;
        }
        notifier->setEnabled(true);
    });
    reply({});
}

// A box the helper showed, as it reports it on one line: "<kind> <text>", line breaks as "\n".
inline QString BoxLine(int kind, QString text) {
    return QString::number(kind) + u' ' + text.replace(u'\n', QStringLiteral("\\n"));
}

// Test side: a helper program from the test programs' folder, in this test's environment
// (offscreen, its settings file). It is told to quit when the test lets it go.
class Peer {
public:
    Peer(const QString& program, const QStringList& args) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QDir(QCoreApplication::applicationDirPath()).filePath(program), args);
    }
    ~Peer() {
        if (process_.state() != QProcess::NotRunning && (order(QStringLiteral("quit")), !ended()))
            process_.kill(), process_.waitForFinished(1000);
    }
    bool ready() { return answer().has_value(); }
    void order(const QString& command) { process_.write((command + u'\n').toUtf8()); }
    // The answer's lines before "ok"; none when the helper did not answer in time.
    std::optional<QStringList> send(const QString& command) {
        order(command);
        return answer();
    }
    // Whether the helper ended by itself, in time and with success.
    bool ended() {
        return process_.waitForFinished(kWaitMs) && process_.exitStatus() == QProcess::NormalExit &&
               process_.exitCode() == 0;
    }

private:
    static constexpr int kWaitMs = 30000;
    std::optional<QStringList> answer() {
        QStringList lines;
        for (QDeadlineTimer deadline(kWaitMs);;) {
            while (process_.canReadLine()) {
                const QString line = QString::fromUtf8(process_.readLine()).chopped(1);
                if (line == QLatin1String("ok"))
                    return lines;
                lines << line;
            }
            if (!process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                return std::nullopt;
        }
    }
    QProcess process_;
};
