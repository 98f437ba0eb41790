#include "EditorIcons.h"

#include "IconPaint.h"
#include "VelmoraArt.h"

#include <QPainter>
#include <QPolygonF>

namespace {

constexpr int kSide = 24;

void page(QPainter& p, const QRectF& r, const QColor& fill = Qt::white) {
    IconPage(p, r, fill, TPageMarks::Ruled);
}

void window(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kIconInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(QColor(0, 0, 160));
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 3));
}

void drawIcon(QPainter& p, int index) {
    switch (index) {
    case 0: // cut
        p.setPen(QPen(kIconInk, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3, 15, 6, 6));
        p.drawEllipse(QRectF(15, 15, 6, 6));
        p.drawLine(QPointF(8, 15), QPointF(17, 3));
        p.drawLine(QPointF(16, 15), QPointF(7, 3));
        break;
    case 1: // copy
        page(p, QRectF(2.5, 2.5, 12, 15));
        page(p, QRectF(9.5, 6.5, 12, 15));
        break;
    case 2: // paste
        p.setPen(QPen(QColor(90, 60, 20), 1));
        p.setBrush(QColor(196, 150, 90));
        p.drawRect(QRectF(3.5, 4.5, 14, 17));
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRectF(7.5, 2.5, 6, 4));
        page(p, QRectF(10.5, 9.5, 11, 13));
        break;
    case 4:  // new topic
    case 13: // new question
        page(p, QRectF(4.5, 2.5, 15, 19));
        p.setPen(QPen(QColor(0, 150, 0), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 13), QPointF(17, 22));
        p.drawLine(QPointF(12.5, 17.5), QPointF(21.5, 17.5));
        break;
    case 5: // open
        IconFolder(p, QColor(240, 200, 80), true);
        break;
    case 8: // tile horizontal: one above the other
        window(p, QRectF(2.5, 2.5, 19, 8));
        window(p, QRectF(2.5, 13.5, 19, 8));
        break;
    case 9: // tile vertical: side by side
        window(p, QRectF(2.5, 2.5, 8, 19));
        window(p, QRectF(13.5, 2.5, 8, 19));
        break;
    case 10: // cascade
        window(p, QRectF(2.5, 2.5, 13, 11));
        window(p, QRectF(6.5, 6.5, 13, 11));
        window(p, QRectF(10.5, 10.5, 11, 11));
        break;
    case 11: // previous
        IconArrow(p, QPointF(20, 12), QPointF(4, 12), QColor(0, 0, 170), 3);
        break;
    case 12: // next
        IconArrow(p, QPointF(4, 12), QPointF(20, 12), QColor(0, 0, 170), 3);
        break;
    case 14: // delete question
        page(p, QRectF(3.5, 2.5, 14, 19));
        IconCross(p, QRectF(12, 12, 9, 9), 3);
        break;
    case 15: // exit: a door and an arrow out of it
        p.setPen(QPen(kIconInk, 1));
        p.setBrush(QColor(150, 100, 50));
        p.drawRect(QRectF(3.5, 2.5, 10, 19));
        IconArrow(p, QPointF(9, 12), QPointF(22, 12), QColor(200, 0, 0), 3);
        break;
    case 16: // close topic
        page(p, QRectF(3.5, 2.5, 15, 19));
        IconCross(p, QRectF(7, 8, 8, 9));
        break;
    case 17: // parameters: sliders
        p.setPen(QPen(kIconInk, 2));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(3, 5 + i * 7), QPointF(21, 5 + i * 7));
        p.setBrush(QColor(0, 120, 200));
        p.setPen(QPen(kIconInk, 1));
        p.drawRect(QRectF(13.5, 2.5, 4, 6));
        p.drawRect(QRectF(5.5, 9.5, 4, 6));
        p.drawRect(QRectF(10.5, 16.5, 4, 6));
        break;
    case 18: // about the editor
        IconLetter(p, QRectF(2.5, 2.5, 19, 19), QStringLiteral("i"), QColor(0, 90, 200), Qt::white);
        break;
    case 19: // the examiner, the suite
        p.drawPixmap(QRectF(0, 0, kSide, kSide), VelmoraEmblem(kSide), QRectF(0, 0, kSide, kSide));
        break;
    case 21: // help
        IconLetter(p, QRectF(2.5, 2.5, 19, 19), QStringLiteral("?"), QColor(255, 220, 0), QColor(0, 0, 120));
        break;
    case 22: // save
        p.setPen(QPen(kIconInk, 1));
        p.setBrush(QColor(40, 60, 160));
        p.drawRect(QRectF(2.5, 2.5, 19, 19));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 2.5, 11, 8));
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(QRectF(6.5, 14.5, 11, 7));
        break;
    case 23: // print
        page(p, QRectF(6.5, 1.5, 11, 9));
        p.setPen(QPen(kIconInk, 1));
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(2.5, 9.5, 19, 9));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 15.5, 11, 7));
        break;
    case 24: // language
        IconLetter(p, QRectF(1.5, 2.5, 14, 14), QStringLiteral("A"), QColor(0, 150, 0), Qt::white);
        IconLetter(p, QRectF(9.5, 8.5, 14, 14), QStringLiteral("Я"), QColor(200, 0, 0), Qt::white);
        break;
    default:
        break;
    }
}

} // namespace

QIcon EditorIcon(int index) {
    return QIcon(PaintedPixmap(kSide, kSide, [index](QPainter& p) { drawIcon(p, index); }));
}

QPixmap EditorProgramPixmap(int side) {
    return PaintedPixmap(side, kSide, [](QPainter& p) {
        page(p, QRectF(3.5, 1.5, 15, 20), QColor(255, 255, 230));
        // A pencil across the page.
        p.setPen(QPen(QColor(120, 60, 0), 1));
        p.setBrush(QColor(240, 170, 0));
        p.drawPolygon(QPolygonF{QPointF(10, 20), QPointF(20, 6), QPointF(23, 8), QPointF(13, 22)});
        p.setBrush(QColor(60, 40, 20));
        p.drawPolygon(QPolygonF{QPointF(10, 20), QPointF(13, 22), QPointF(9.5, 23.5)});
    });
}
