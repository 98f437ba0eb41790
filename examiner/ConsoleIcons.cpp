#include "ConsoleIcons.h"

#include "IconPaint.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace {

constexpr int kSide = 24;

void drawBox(QPainter& p) {
    p.setPen(QPen(QColor(70, 50, 20), 1));
    p.setBrush(QColor(196, 150, 90));
    p.drawRect(QRectF(3.5, 9.5, 17, 11));
    p.setBrush(QColor(220, 180, 120));
    p.drawRect(QRectF(2.5, 6.5, 19, 4));
    p.setBrush(QColor(90, 60, 20));
    p.drawRect(QRectF(9.5, 12.5, 5, 2));
}

void paintIcon(QPainter& p, TConsoleIcon kind) {
    switch (kind) {
    case TConsoleIcon::OpenTopic:
        IconFolder(p, QColor(255, 210, 80), true);
        break;
    case TConsoleIcon::CloseTopic:
        IconFolder(p, QColor(255, 210, 80), false);
        IconCross(p, QRectF(12, 12, 8, 8));
        break;
    case TConsoleIcon::Options: {
        p.setPen(QPen(QColor(50, 50, 50), 1.5));
        for (int i = 0; i < 3; ++i) {
            const qreal y = 6 + i * 6;
            p.drawLine(QPointF(3, y), QPointF(21, y));
            const qreal x = (i == 1) ? 15 : (i == 0 ? 8 : 11);
            p.setBrush(QColor(0, 90, 200));
            p.drawRect(QRectF(x - 2, y - 3, 4, 6));
        }
        break;
    }
    case TConsoleIcon::LoadArhiv:
        drawBox(p);
        IconArrow(p, QPointF(12, 4), QPointF(12, 13), QColor(0, 140, 0), 2.5);
        break;
    case TConsoleIcon::CloseArhiv:
        drawBox(p);
        IconCross(p, QRectF(13, 13, 7, 7));
        break;
    case TConsoleIcon::QuickHelp:
        IconLetter(p, QRectF(2.5, 2.5, 19, 19), QStringLiteral("?"), QColor(40, 110, 220), Qt::white);
        break;
    case TConsoleIcon::Exit:
        p.setPen(QPen(QColor(90, 60, 30), 1));
        p.setBrush(QColor(170, 120, 70));
        p.drawRect(QRectF(4.5, 2.5, 11, 19));
        p.setBrush(QColor(240, 200, 80));
        p.drawEllipse(QRectF(12, 11, 2, 2));
        IconArrow(p, QPointF(10, 12), QPointF(22, 12), QColor(200, 0, 0), 2.5);
        break;
    case TConsoleIcon::GiveOut:
        IconPage(p, QRectF(2.5, 5.5, 11, 15), Qt::white, TPageMarks::Folded);
        IconPage(p, QRectF(6.5, 3.5, 11, 15), QColor(255, 255, 200), TPageMarks::Folded);
        IconArrow(p, QPointF(12, 17), QPointF(22, 17), QColor(0, 140, 0), 2.5);
        break;
    case TConsoleIcon::Stop: {
        QPolygonF oct;
        for (int i = 0; i < 8; ++i) {
            const double a = (22.5 + 45.0 * i) * std::numbers::pi / 180.0;
            oct << QPointF(12 + 10 * std::cos(a), 12 + 10 * std::sin(a));
        }
        p.setPen(QPen(QColor(120, 0, 0), 1));
        p.setBrush(QColor(220, 20, 20));
        p.drawPolygon(oct);
        p.setPen(QPen(Qt::white, 2.5));
        p.drawLine(QPointF(7, 12), QPointF(17, 12));
        break;
    }
    case TConsoleIcon::SaveResults:
        p.setPen(QPen(QColor(20, 40, 90), 1));
        p.setBrush(QColor(40, 80, 170));
        p.drawRect(QRectF(3.5, 3.5, 17, 17));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 3.5, 11, 7));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(7.5, 14.5, 9, 6));
        break;
    case TConsoleIcon::Print:
        p.setPen(QPen(QColor(50, 50, 50), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 2.5, 11, 7));
        p.setBrush(QColor(150, 150, 150));
        p.drawRect(QRectF(2.5, 8.5, 19, 9));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 14.5, 11, 7));
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.drawLine(QPointF(8, 17.5), QPointF(16, 17.5));
        p.drawLine(QPointF(8, 19.5), QPointF(14, 19.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 180, 0));
        p.drawEllipse(QRectF(17, 10.5, 2.5, 2.5));
        break;
    case TConsoleIcon::NewAtt: {
        IconPage(p, QRectF(4.5, 2.5, 14, 19), Qt::white, TPageMarks::Folded);
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const double a = (-90.0 + 36.0 * i) * std::numbers::pi / 180.0;
            const double r = (i % 2 == 0) ? 6.0 : 2.6;
            const QPointF pt(16 + r * std::cos(a), 16 + r * std::sin(a));
            if (i == 0)
                star.moveTo(pt);
            else
                star.lineTo(pt);
        }
        star.closeSubpath();
        p.setPen(QPen(QColor(160, 110, 0), 1));
        p.setBrush(QColor(255, 200, 0));
        p.drawPath(star);
        break;
    }
    }
}

QPixmap drawPixmap(TConsoleIcon kind, bool disabled) {
    const QPixmap pm = PaintedPixmap(kSide, kSide, [kind](QPainter& p) { paintIcon(p, kind); });
    if (!disabled)
        return pm;
    // Grey and faded, as disabled tool buttons are expected to look.
    QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int g = 128 + qGray(line[x]) / 3;
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
    }
    return QPixmap::fromImage(img);
}

} // namespace

QIcon ConsoleIcon(TConsoleIcon kind) {
    QIcon icon;
    icon.addPixmap(drawPixmap(kind, false), QIcon::Normal);
    icon.addPixmap(drawPixmap(kind, true), QIcon::Disabled);
    return icon;
}

QPixmap ExaminerProgramPixmap(int side) {
    return PaintedPixmap(side, 32, [](QPainter& p) {
        p.setPen(QPen(QColor(0, 50, 120), 1.5));
        p.setBrush(QColor(30, 100, 200));
        p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 20.5, 19, 5));
        QFont f;
        f.setBold(true);
        f.setPixelSize(19);
        p.setFont(f);
        p.setPen(QColor(255, 220, 0));
        p.drawText(QRectF(0, 0, 32, 22), Qt::AlignCenter, QStringLiteral("V"));
    });
}
