#pragma once
// The idle handler both programs use for the enabling of their commands: an update runs each
// time the event loop is about to wait for more events, but only while the window it belongs
// to is shown and enabled, no modal window is open and nobody has suspended it.
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace vxg {

class TIdleHandler : public QObject {
    Q_OBJECT
public:
    // window owns the handler; update runs inside the error guard.
    TIdleHandler(QWidget* window, std::function<void()> update);

    // Runs the update now when the conditions above allow it and emits Updated afterwards.
    // Returns whether it ran.
    bool Run();

    bool Suspended() const { return suspended_ > 0; }

signals:
    void Updated();

private:
    friend class TIdleSuspend;
    QPointer<QWidget> window_;
    std::function<void()> update_;
    int suspended_ = 0;
};

// Loops that keep the window responsive while they run hold one of these: the update runs
// again only after they end.
class TIdleSuspend {
public:
    explicit TIdleSuspend(TIdleHandler& handler) : handler_(handler) { ++handler_.suspended_; }
    ~TIdleSuspend() { --handler_.suspended_; }
    TIdleSuspend(const TIdleSuspend&) = delete;
    TIdleSuspend& operator=(const TIdleSuspend&) = delete;

private:
    TIdleHandler& handler_;
};

} // namespace vxg
