#pragma once

#include <QList>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace detail {

// Bit j of the result is set when pixel j of the `count` (at most 64) pixels is inside.
inline std::uint64_t insideBits(const std::uint32_t* pixels, int count, std::uint32_t transparent) {
    std::uint64_t outside = 0;
    int j = 0;
#if defined(__SSE2__)
    const __m128i colour = _mm_set1_epi32(int(transparent));
    const __m128i rgb = _mm_set1_epi32(0xffffff);
    const auto equalFour = [&](int at) {
        const __m128i four =
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + at)), rgb);
        return unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(four, colour))));
    };
    for (; j + 16 <= count; j += 16) {
        const unsigned equal =
            equalFour(j) | equalFour(j + 4) << 4 | equalFour(j + 8) << 8 | equalFour(j + 12) << 12;
        outside |= std::uint64_t(equal) << j;
    }
    for (; j + 4 <= count; j += 4)
        outside |= std::uint64_t(equalFour(j)) << j;
#endif
    for (; j < count; ++j)
        outside |= std::uint64_t((pixels[j] & 0xffffffu) == transparent) << j;
    const std::uint64_t all = count == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << count) - 1;
    return ~outside & all;
}

} // namespace detail

// Calls sink(left, y, right) for every maximal run of pixels whose colour differs from
// `transparent` in any way (near-black counts as inside), row by row from the top and left to
// right within a row, so the runs come out in the banded order regions are built from.
// Pixels are 0x00RRGGBB; the top byte is ignored. `stride` counts pixels per row.
// The pixels are compared 64 at a time into a bit set whose edges give the runs: the scan
// runs at every showing of the menu and should cost well under a millisecond.
template <typename Sink>
void forEachMaskRun(const std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride,
                    std::uint32_t transparent, Sink&& sink) {
    transparent &= 0xffffffu;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + y * stride;
        int runStart = -1;
        for (int block = 0; block < width; block += 64) {
            const int count = std::min(64, width - block);
            const std::uint64_t inside = detail::insideBits(row + block, count, transparent);
            const std::uint64_t all = count == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << count) - 1;
            int pos = 0;
            while (pos < count) {
                const std::uint64_t wanted = (runStart < 0 ? inside : ~inside & all) >> pos;
                if (!wanted)
                    break; // the rest of the block continues the current state
                pos += std::countr_zero(wanted);
                if (runStart < 0) {
                    runStart = block + pos;
                } else {
                    sink(runStart, y, block + pos);
                    runStart = -1;
                }
            }
        }
        if (runStart >= 0)
            sink(runStart, y, width);
    }
}

// The runs of a whole bitmap as rectangles one row high.
QList<MaskRect> scanMask(const Bitmap& bitmap, std::uint32_t transparent);

} // namespace cyfrolia
