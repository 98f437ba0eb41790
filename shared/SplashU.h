#pragma once
#include <QPixmap>
#include <QWidget>

// The splash window both programs show while they start: borderless, centred, 400 x 300, the
// client area exactly the picture.
class TSplashF : public QWidget {
    Q_OBJECT
public:
    explicit TSplashF(QWidget* parent = nullptr);
    // Waits 1000 ms on the calling thread (the window is painted before).
    void FormShow();
    // The picture, drawn by the program itself.
    static QPixmap Picture();

    QPixmap Image1;

protected:
    void paintEvent(QPaintEvent* event) override;
};
