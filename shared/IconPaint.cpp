#include "IconPaint.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>

QPixmap PaintedPixmap(int side, qreal design, const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / design, side / design);
    draw(p);
    return pixmap;
}

void IconPage(QPainter& p, const QRectF& r, const QColor& fill, TPageMarks marks) {
    const QPointF earTop(r.right() - 5, r.top());
    const QPointF earSide(r.right(), r.top() + 5);
    p.setPen(QPen(kIconInk, 1));
    p.setBrush(fill);
    p.drawPolygon(QPolygonF{r.topLeft(), earTop, earSide, r.bottomRight(), r.bottomLeft()});
    if (marks == TPageMarks::Folded) {
        const QPointF corner(earTop.x(), earSide.y());
        p.drawLine(earTop, corner);
        p.drawLine(corner, earSide);
        return;
    }
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (qreal y = r.top() + 7; y < r.bottom() - 2; y += 3)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void IconArrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& color, qreal width) {
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot((to - from).x(), (to - from).y()));
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - d * (2 * width) + n * (1.6 * width));
    p.drawLine(to, to - d * (2 * width) - n * (1.6 * width));
}

void IconCross(QPainter& p, const QRectF& r, qreal width) {
    p.setPen(QPen(QColor(200, 0, 0), width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void IconFolder(QPainter& p, const QColor& fill, bool open) {
    p.setPen(QPen(QColor(120, 80, 0), 1));
    p.setBrush(fill.darker(115));
    p.drawRect(QRectF(2.5, 6.5, 19, 14));
    p.drawRect(QRectF(2.5, 4.5, 8, 3));
    p.setBrush(fill);
    if (open)
        p.drawPolygon(
            QPolygonF{QPointF(5.5, 10.5), QPointF(22.5, 10.5), QPointF(19.5, 20.5), QPointF(2.5, 20.5)});
    else
        p.drawRect(QRectF(2.5, 9.5, 19, 11));
}

void IconLetter(QPainter& p, const QRectF& r, const QString& text, const QColor& fill, const QColor& ink) {
    p.setPen(QPen(fill.darker(140), 1));
    p.setBrush(fill);
    p.drawEllipse(r);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(static_cast<int>(r.height() * 0.7));
    p.setFont(f);
    p.setPen(ink);
    p.drawText(r, Qt::AlignCenter, text);
}
