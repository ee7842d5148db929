#pragma once

#include <QRegion>

class QWidget;

// Cuts a shown top-level window to a region given in the screen's own pixels. Qt takes a window's
// shape in logical pixels and enlarges each of them on a scaled screen, which a shape finer than a
// logical pixel needs to avoid. X11 only: elsewhere, or without the SHAPE extension, nothing is done
// and false is returned, and the window keeps the shape Qt gave it.
namespace device_shape {

bool cut(QWidget* window, const QRegion& devicePixels);

} // namespace device_shape
