#pragma once

#include <QList>

#include <cstddef>
#include <cstdint>

namespace cyfrolia {

struct Bitmap;

// One run of inside pixels on one mask row; right and bottom are exclusive.
struct MaskRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const MaskRect&, const MaskRect&) = default;
};

// Calls sink(left, y, right) for every maximal run of pixels whose colour differs from
// `transparent` in any way (near-black counts as inside), row by row from the top and left to
// right within a row, so the runs come out in the banded order regions are built from.
// Pixels are 0x00RRGGBB; the top byte is ignored. `stride` counts pixels per row.
template <typename Sink>
void forEachMaskRun(const std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                    std::uint32_t transparent, Sink&& sink)
{
    transparent &= 0xffffffu;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + y * stride;
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & 0xffffffu) == transparent)
                ++x;
            if (x == width)
                break;
            const int start = x;
            while (x < width && (row[x] & 0xffffffu) != transparent)
                ++x;
            sink(start, y, x);
        }
    }
}

// The runs of a whole bitmap as rectangles one row high.
QList<MaskRect> scanMask(const Bitmap& bitmap, std::uint32_t transparent);

} // namespace cyfrolia
