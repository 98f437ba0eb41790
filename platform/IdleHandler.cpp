#include "IdleHandler.h"

#include "ErrorGuard.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QWidget>

namespace vxg {

TIdleHandler::TIdleHandler(QWidget* window, std::function<void()> update)
    : QObject(window), window_(window), update_(std::move(update)) {
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TIdleHandler::Run);
}

bool TIdleHandler::Run() {
    if (suspended_ > 0 || !window_ || !window_->isVisible() || !window_->isEnabled() ||
        QApplication::activeModalWidget())
        return false;
    RunGuarded(update_);
    emit Updated();
    return true;
}

} // namespace vxg
