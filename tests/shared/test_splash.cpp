// The splash window: its shape, its picture and its one-second wait.
#include "SplashU.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(Splash, BorderlessFixedAndCentred) {
    TSplashF splash;
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::SplashScreen));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.size(), QSize(400, 300));
    EXPECT_EQ(splash.minimumSize(), QSize(400, 300));
    EXPECT_EQ(splash.maximumSize(), QSize(400, 300));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((splash.geometry().center() - screen.center()).manhattanLength(), 1);
}

TEST(Splash, PictureIsASixteenColourBitmap) {
    const QImage picture = TSplashF::Picture().toImage();
    ASSERT_EQ(picture.size(), QSize(400, 300));
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    EXPECT_LE(colours.size(), 16);
    EXPECT_GE(colours.size(), 4) << "a picture, not a plain fill";
}

TEST(Splash, ClientAreaIsExactlyThePicture) {
    TSplashF splash;
    splash.show();
    const QImage shown = splash.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = TSplashF::Picture().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, picture);
}

TEST(Splash, FormShowWaitsOneSecond) {
    TSplashF splash;
    splash.show();
    QElapsedTimer clock;
    clock.start();
    splash.FormShow();
    const qint64 waited = clock.elapsed();
    EXPECT_GE(waited, 1000);
    EXPECT_LT(waited, 3000);
    EXPECT_TRUE(splash.isVisible());
}

} // namespace
