#include "PieGauge.h"

#include <QPainter>
#include <algorithm>

TPieGauge::TPieGauge(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Gauge1"));
}

void TPieGauge::SetProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == progress_)
        return;
    progress_ = percent;
    update();
}

void TPieGauge::SetForeColor(const QColor& color) {
    if (color == foreColor_)
        return;
    foreColor_ = color;
    update();
}

void TPieGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);

    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(circle);

    if (progress_ > 0) {
        p.setBrush(foreColor_);
        // Qt counts angles in 1/16 degree, counter-clockwise from three o'clock.
        const int span = -progress_ * 360 * 16 / 100;
        if (progress_ >= 100)
            p.drawEllipse(circle);
        else
            p.drawPie(circle, 90 * 16, span);
    }

    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    const QString text = QString::number(progress_) + QLatin1Char('%');
    // Drawn with a light halo so that the figure stays legible over either colour.
    p.setPen(Qt::white);
    for (const QPointF d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
        p.drawText(circle.translated(d), Qt::AlignCenter, text);
    p.setPen(Qt::black);
    p.drawText(circle, Qt::AlignCenter, text);
}
