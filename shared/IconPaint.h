#pragma once
#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <functional>

// What both programs' tool bar icons and program pictures are drawn from. Icons are designed
// in a square of 24 units; the primitives take coordinates in that square.

inline const QColor kIconInk(50, 50, 50);

// A transparent pixmap `side` pixels square, drawn antialiased by `draw` in a square of
// `design` units.
QPixmap PaintedPixmap(int side, qreal design, const std::function<void(QPainter&)>& draw);

enum class TPageMarks { Ruled, Folded };
// A sheet with its top right corner turned down, showing lines of text or the fold.
void IconPage(QPainter& p, const QRectF& r, const QColor& fill, TPageMarks marks);
// A straight arrow; its open head grows with the line width.
void IconArrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& color, qreal width);
// A red cross from corner to corner of r.
void IconCross(QPainter& p, const QRectF& r, qreal width = 2.5);
// A folder seen from the front, open or closed.
void IconFolder(QPainter& p, const QColor& fill, bool open);
// A letter on a round badge.
void IconLetter(QPainter& p, const QRectF& r, const QString& text, const QColor& fill, const QColor& ink);
