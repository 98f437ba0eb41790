#pragma once
// The floor: the bare acknowledger. It receives on the examiner's port, acknowledges each frame
// as soon as it is complete and counts it, and does nothing else with it. Its give-out sends one
// ready-made card text to every registered address in turn (the same bytes a card of the
// benchmark's topic has), with the examiner's two bounded attempts.
#include "RawNet.h"
#include "ServerCore.h"

#include <memory>

namespace bench {

class FloorServer : public ServerCore {
    Q_OBJECT
public:
    FloorServer(quint16 port, quint16 stationPort, QObject* parent = nullptr);
    bool listening(QString* error) const;

protected:
    void giveOut() override;
    void stop() override;
    void quit() override;

private:
    // Counts a received message on this thread.
    void take(const QByteArray& text, quint32 peer);
    void sendCard(qsizetype k, int attempt, qint64 startNs, int handedOut);

    std::unique_ptr<RawAckServer> server_;
    quint16 stationPort_ = 0;
    QList<QHostAddress> registered_;
    QByteArray card_;
};

} // namespace bench
