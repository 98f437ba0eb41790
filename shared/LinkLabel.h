#pragma once
#include <QLabel>

// A label that reads as a web link (blue, underlined, hand pointer) and reports a left click.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
