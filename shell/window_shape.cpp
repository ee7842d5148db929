#include "shell/window_shape.h"

#include "shell/bmp_reader.h"
#include "shell/mask_scan.h"

#include <QWidget>

#include <algorithm>
#include <vector>

QRegion maskRegion(const cyfrolia::Bitmap& bitmap, QRgb transparent) {
    // QRegion::setRects takes y-x banded rectangles that neither overlap nor touch sideways;
    // the scan yields exactly that, and merging equal neighbouring rows keeps it minimal.
    std::vector<QRect> rects;
    rects.reserve(std::size_t(bitmap.height) * 4);
    std::size_t bandStart = 0; // first rectangle of the band before the current row
    std::size_t rowStart = 0;  // first rectangle of the current row
    int currentY = -1;

    const auto closeRow = [&] {
        const std::size_t bandSize = rowStart - bandStart;
        const std::size_t rowSize = rects.size() - rowStart;
        const bool continues =
            bandSize == rowSize && bandSize > 0 && rects[bandStart].bottom() + 1 == rects[rowStart].top() &&
            std::equal(rects.begin() + std::ptrdiff_t(bandStart), rects.begin() + std::ptrdiff_t(rowStart),
                       rects.begin() + std::ptrdiff_t(rowStart), [](const QRect& a, const QRect& b) {
                           return a.left() == b.left() && a.right() == b.right();
                       });
        if (continues) {
            for (std::size_t i = bandStart; i < rowStart; ++i)
                rects[i].setBottom(rects[i].bottom() + 1);
            rects.resize(rowStart);
        } else {
            bandStart = rowStart;
        }
        rowStart = rects.size();
    };

    cyfrolia::forEachBitmapRun(bitmap, transparent & 0xffffffu, [&](int left, int y, int right) {
        if (y != currentY) {
            closeRow();
            currentY = y;
        }
        rects.emplace_back(left, y, right - left, 1);
    });
    closeRow();

    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), int(rects.size()));
    return region;
}

bool CreateVariousWindow(QRgb colour, const cyfrolia::Bitmap& bitmap, QWidget* window) {
    const QRegion region = maskRegion(bitmap, colour);
    // An empty mask leaves nothing to see or click, not the whole rectangle that
    // QWidget::setMask(QRegion()) would mean.
    window->setMask(region.isEmpty() ? QRegion(-1, -1, 1, 1) : region);
    window->update();
    return true;
}
