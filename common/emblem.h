#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

class QPainter;

// The program's emblem: white arithmetic signs (+, −, ×, ÷) two by two on dark blue, drawn from
// shapes so it is sharp at any size.
namespace emblem {

// The emblem's own proportions.
inline constexpr QSize kDesignSize{62, 63};

// Paints the emblem into a box of kDesignSize.
void paint(QPainter& painter);

// The emblem stretched to `logical` size, drawn at `ratio` device pixels per logical pixel.
QPixmap picture(const QSize& logical, qreal ratio);

// The emblem as an icon of every size.
QIcon icon();

} // namespace emblem
