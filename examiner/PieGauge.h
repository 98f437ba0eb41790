#pragma once
// A round gauge that fills a pie slice, clockwise from twelve o'clock, for a percentage and
// prints the percentage in its middle. The examiner shows with it how much of the time limit
// has passed.
#include <QColor>
#include <QWidget>

class TPieGauge : public QWidget {
    Q_OBJECT
public:
    explicit TPieGauge(QWidget* parent = nullptr);

    int Progress() const { return progress_; }
    // Brought into 0..100; the same value again repaints nothing.
    void SetProgress(int percent);

    QColor ForeColor() const { return foreColor_; }
    void SetForeColor(const QColor& color);

    QSize sizeHint() const override { return {81, 81}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int progress_ = 0;
    QColor foreColor_ = Qt::red;
};
