#include "FloorServer.h"

#include "CardsAndGrading.h"
#include "Cp1251.h"

#include <QCoreApplication>
#include <QRandomGenerator>

namespace bench {

FloorServer::FloorServer(quint16 port, quint16 stationPort, QObject* parent)
    : ServerCore(parent), stationPort_(stationPort) {
    // Read and acknowledged on the acknowledger's thread, counted on this one: the same hand-over
    // as the examiner's receiver, without the processing.
    server_ = std::make_unique<RawAckServer>(
        QHostAddress::AnyIPv4, port, [this](const QByteArray&, const QByteArray& text, quint32 peer) {
            QMetaObject::invokeMethod(
                this, [this, text, peer] { take(text, peer); }, Qt::QueuedConnection);
        });
    TTestOptions options = FactoryTestOptions();
    options.GivenVopr = 100;
    QRandomGenerator generator(1);
    const TWorkQues topic = BenchTopic(120);
    card_ = vxg::cp1251::encode(CardMsgText(options, topic, DrawCardQuestions(100, 120, true, generator)));
}

void FloorServer::take(const QByteArray& text, quint32 peer) {
    if (text == "Name!!") {
        registered_.append(QHostAddress(peer));
        count(QStringLiteral("reg"));
    } else if (text.contains("CurrentChecked!!")) {
        count(QStringLiteral("stored"));
        if (text.endsWith('4'))
            count(QStringLiteral("final"));
    } else if (text == "Ready!!") {
        count(QStringLiteral("ready"));
    }
}

bool FloorServer::listening(QString* error) const {
    *error = server_->errorString();
    return server_->listening();
}

void FloorServer::giveOut() {
    sendCard(0, 1, NowNs(), 0);
}

void FloorServer::sendCard(qsizetype k, int attempt, qint64 startNs, int handedOut) {
    if (k >= registered_.size()) {
        Reply(QStringLiteral("gaveout %1 %2 %3").arg(startNs).arg(NowNs()).arg(handedOut));
        return;
    }
    SendFrame(this, QHostAddress::AnyIPv4, registered_.at(k), stationPort_, Frame({}, card_), 2000,
              [this, k, attempt, startNs, handedOut](bool ok) {
                  if (ok)
                      sendCard(k + 1, 1, startNs, handedOut + 1);
                  else if (attempt == 1)
                      sendCard(k, 2, startNs, handedOut);
                  else
                      sendCard(k + 1, 1, startNs, handedOut);
              });
}

void FloorServer::stop() {
    const qint64 now = NowNs();
    Reply(QStringLiteral("stopped %1 %2").arg(now).arg(now));
}

void FloorServer::quit() {
    QCoreApplication::quit();
}

} // namespace bench
