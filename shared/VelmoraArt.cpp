#include "VelmoraArt.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace {

// VGA colours by their usual names.
const QColor kBlack(0, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kGreen(0, 128, 0);
const QColor kTeal(0, 128, 128);
const QColor kMaroon(128, 0, 0);
const QColor kPurple(128, 0, 128);
const QColor kOlive(128, 128, 0);
const QColor kSilver(192, 192, 192);
const QColor kGray(128, 128, 128);
const QColor kBlue(0, 0, 255);
const QColor kLime(0, 255, 0);
const QColor kAqua(0, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kFuchsia(255, 0, 255);
const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);

// Ordered-dither thresholds 0..15.
constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Drawn on a 32 x 32 grid; the painter is scaled to the wanted size.
void paintEmblem(QPainter& p) {
    p.setPen(QPen(kNavy, 1.5));
    p.setBrush(kWhite);
    p.drawRect(QRectF(5, 3, 20, 26));

    p.setPen(QPen(kGray, 1));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < 4; ++row) {
        const qreal y = 9 + row * 5;
        p.drawRect(QRectF(8, y - 1.5, 3, 3));
        p.drawLine(QPointF(13, y), QPointF(22, y));
    }

    QPainterPath tick;
    tick.moveTo(12, 17);
    tick.lineTo(17, 24);
    tick.lineTo(29, 6);
    p.setPen(QPen(kGreen, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

// Maps every pixel to the nearest palette colour, so the picture is a true 16-colour one.
QImage toPalette(const QImage& image) {
    return image
        .convertToFormat(QImage::Format_Indexed8, VelmoraPalette(), Qt::ThresholdDither | Qt::AvoidDither)
        .convertToFormat(QImage::Format_RGB32);
}

QFont pixelFont(int pixelSize, bool bold, bool italic) {
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace

QVector<QRgb> VelmoraPalette() {
    QVector<QRgb> colours;
    for (const QColor& c : {kBlack, kMaroon, kGreen, kOlive, kNavy, kPurple, kTeal, kGray, kSilver, kRed,
                            kLime, kYellow, kBlue, kFuchsia, kAqua, kWhite})
        colours.append(c.rgb());
    return colours;
}

QPixmap VelmoraEmblem(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        paintEmblem(p);
    }
    return QPixmap::fromImage(image);
}

QImage VelmoraSplashImage() {
    constexpr int kWidth = 400;
    constexpr int kHeight = 300;

    // A calm navy-to-teal sky, dithered the way a 16-colour bitmap shows a gradient.
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int level = 17 * y / kHeight; // 0 (all navy) .. 16 (all teal)
        for (int x = 0; x < kWidth; ++x)
            line[x] = kBayer4[y % 4][x % 4] < level ? kTeal.rgb() : kNavy.rgb();
    }

    {
        QPainter p(&image);
        p.setPen(QPen(kSilver, 1));
        p.drawRect(6, 6, kWidth - 13, kHeight - 13);
        p.setPen(QPen(kGray, 1));
        p.drawRect(9, 9, kWidth - 19, kHeight - 19);

        p.save();
        p.translate(36, 86);
        p.scale(4.0, 4.0);
        paintEmblem(p);
        p.restore();

        p.setPen(kYellow);
        p.setFont(pixelFont(30, true, false));
        p.drawText(QRect(176, 70, 200, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VXG"));

        p.setPen(kWhite);
        p.setFont(pixelFont(44, true, true));
        p.drawText(QRect(170, 110, 224, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmora"));

        p.setPen(kAqua);
        p.drawLine(176, 186, 360, 186);
        p.setFont(pixelFont(14, false, true));
        p.drawText(QRect(176, 192, 200, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Tallowen series"));
    }
    // The emblem was drawn smooth; bring its edges back onto the palette.
    return toPalette(image);
}
