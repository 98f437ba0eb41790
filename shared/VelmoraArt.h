#pragma once
// The suite's own pictures: the emblem (a test card with a tick) and the splash picture, both
// kept to the sixteen colours of the classic VGA palette.
#include <QImage>
#include <QPixmap>
#include <QVector>

// The sixteen colours every picture of the suite is drawn in.
QVector<QRgb> VelmoraPalette();

// The emblem, size x size pixels, transparent around the card.
QPixmap VelmoraEmblem(int size);

// The 400 x 300 picture of the splash window.
QImage VelmoraSplashImage();
