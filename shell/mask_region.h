#pragma once

#include "common/failure.h"

#include <QImage>
#include <QRegion>
#include <QSize>
#include <QString>

namespace cyfrolia {

// The text of a file that is not a bitmap we can read.
inline constexpr const char* kBitmapNotValid = "Bitmap image is not valid";

// Reads the menu's mask bitmap, or says why not: "Cannot open file ..." with the system's reason,
// or "Bitmap image is not valid" for anything Qt cannot decode as a BMP, a header promising more
// pixels than the file holds, and one asking for more than Qt's allocation limit.
Result<QImage> readMaskBitmap(const QString& path);

// The pixels of `mask` whose colour differs from `transparent` in any way (near-black stays
// inside), within the `window` rectangle at the origin. The mask is clipped first: a large noisy
// mask would otherwise give more rectangles than the window system takes. Needs a
// QGuiApplication, as QBitmap does.
QRegion maskRegion(const QImage& mask, QRgb transparent, const QSize& window);

// The same outline for a screen of `ratio` device pixels per logical pixel, in device pixels: each
// inside pixel of the mask enlarged, less the device pixels where `face`, the window's picture
// drawn at that ratio, shows `ground`. The mask follows the face only to the logical pixel; this
// cuts where the face's own edge lies.
QRegion deviceMaskRegion(const QImage& mask, QRgb transparent, const QSize& window, qreal ratio,
                         const QImage& face, QRgb ground);

} // namespace cyfrolia
