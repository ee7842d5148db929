#pragma once

#include <QRegion>
#include <QRgb>

class QWidget;

namespace cyfrolia {
struct Bitmap;
}

// The union of the mask's inside runs (every pixel not exactly `transparent`), built in one
// pass: rows with the same runs as the row above widen that band instead of adding rectangles.
QRegion maskRegion(const cyfrolia::Bitmap& bitmap, QRgb transparent);

// Gives `window` the shape of the bitmap's inside pixels, in window coordinates.
bool CreateVariousWindow(QRgb colour, const cyfrolia::Bitmap& bitmap, QWidget* window);
