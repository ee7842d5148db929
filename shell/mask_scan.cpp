#include "shell/mask_scan.h"

#include "shell/bmp_reader.h"

namespace cyfrolia {

QList<MaskRect> scanMask(const Bitmap& bitmap, std::uint32_t transparent) {
    QList<MaskRect> rects;
    forEachBitmapRun(bitmap, transparent, [&rects](int left, int y, int right) {
        rects.append(MaskRect{left, y, right, y + 1});
    });
    return rects;
}

} // namespace cyfrolia
