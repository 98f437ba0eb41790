#include "SplashU.h"

#include "VelmoraArt.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QThread>

namespace {
constexpr int kWaitMs = 1000;
}

TSplashF::TSplashF(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), Image1(Picture()) {
    setFixedSize(Image1.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
}

void TSplashF::FormShow() {
    // The wait blocks the window thread, so whatever is on the screen now stays as it is:
    // make sure that is the picture.
    if (isVisible()) {
        repaint();
        QCoreApplication::processEvents();
    }
    QThread::msleep(kWaitMs);
}

QPixmap TSplashF::Picture() {
    return QPixmap::fromImage(VelmoraSplashImage());
}

void TSplashF::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.drawPixmap(0, 0, Image1);
}
