#pragma once

#include "shell/bmp_reader.h"

#include <QList>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cyfrolia {

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

namespace detail {

// Calls sink(left, y, right) for every maximal run of set bits, where blockBits(y, block, count)
// gives the inside bits of the `count` (at most 64) pixels from column `block` of row y.
// Every form of bitmap goes through this one run extraction, so they all give the same runs.
template <typename BlockBits, typename Sink>
void forEachRunOfBits(int width, int height, BlockBits&& blockBits, Sink&& sink) {
    for (int y = 0; y < height; ++y) {
        int runStart = -1;
        for (int block = 0; block < width; block += 64) {
            const int count = std::min(64, width - block);
            const std::uint64_t all = count == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << count) - 1;
            const std::uint64_t inside = blockBits(y, block, count) & all;
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

// The first `count` (at most 8) bytes at p as a little-endian number.
inline std::uint64_t loadBytes(const std::uint8_t* p, int count) {
    std::uint64_t v = 0;
    if (count == 8 && std::endian::native == std::endian::little) {
        std::memcpy(&v, p, 8);
        return v;
    }
    for (int k = 0; k < count; ++k)
        v |= std::uint64_t(p[k]) << (8 * k);
    return v;
}

// Mirrors the bits within every byte: a 1-bit row keeps its leftmost pixel in bit 7, the run
// extraction wants it in bit 0.
inline std::uint64_t mirrorBytes(std::uint64_t v) {
    v = (v >> 1 & 0x5555555555555555u) | (v & 0x5555555555555555u) << 1;
    v = (v >> 2 & 0x3333333333333333u) | (v & 0x3333333333333333u) << 2;
    return (v >> 4 & 0x0f0f0f0f0f0f0f0fu) | (v & 0x0f0f0f0f0f0f0f0fu) << 4;
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
    detail::forEachRunOfBits(
        width, height,
        [&](int y, int block, int count) {
            return detail::insideBits(pixels + y * stride + block, count, transparent);
        },
        sink);
}

// The same runs from packed palette rows (`bits` 1, 4 or 8, leftmost pixel in the highest bits
// of a byte, `stride` bytes per row, top row first). Each of the 1 << bits palette entries is
// judged once, so the pixels are never expanded to colours: the menu's 1-bit outline is read
// 64 pixels per 8 bytes.
template <typename Sink>
void forEachIndexedMaskRun(const std::uint8_t* rows, int bits, int width, int height, std::ptrdiff_t stride,
                           const std::uint32_t* palette, std::uint32_t transparent, Sink&& sink) {
    transparent &= 0xffffffu;
    const auto inside = [&](int i) { return (palette[i] & 0xffffffu) != transparent; };
    if (bits == 1) {
        // A set bit takes entry 1's verdict, a clear bit entry 0's.
        const std::uint64_t whenSet = inside(1) ? ~std::uint64_t(0) : 0;
        const std::uint64_t whenClear = inside(0) ? ~std::uint64_t(0) : 0;
        detail::forEachRunOfBits(
            width, height,
            [&](int y, int block, int count) {
                const std::uint64_t set =
                    detail::mirrorBytes(detail::loadBytes(rows + y * stride + block / 8, (count + 7) / 8));
                return (set & whenSet) | (~set & whenClear);
            },
            sink);
        return;
    }
    // A byte holds two 4-bit pixels or one 8-bit pixel; a table gives its inside bits.
    std::uint8_t table[256];
    for (int b = 0; b < 256; ++b)
        table[b] = bits == 4 ? std::uint8_t(inside(b >> 4) | inside(b & 15) << 1) : std::uint8_t(inside(b));
    const int perByte = bits == 4 ? 2 : 1;
    detail::forEachRunOfBits(
        width, height,
        [&](int y, int block, int count) {
            const std::uint8_t* src = rows + y * stride + block / perByte;
            const int byteCount = (count + perByte - 1) / perByte;
            std::uint64_t result = 0;
            for (int k = 0; k < byteCount; ++k)
                result |= std::uint64_t(table[src[k]]) << (k * perByte);
            return result;
        },
        sink);
}

// The runs of either form of bitmap, read in the form it was decoded to.
template <typename Sink> void forEachBitmapRun(const Bitmap& bitmap, std::uint32_t transparent, Sink&& sink) {
    if (bitmap.isIndexed())
        forEachIndexedMaskRun(bitmap.indexRows.data(), bitmap.indexBits, bitmap.width, bitmap.height,
                              bitmap.indexStride, bitmap.palette.data(), transparent, sink);
    else
        forEachMaskRun(bitmap.pixels.data(), bitmap.width, bitmap.height, bitmap.width, transparent, sink);
}

// The runs of a whole bitmap as rectangles one row high.
QList<MaskRect> scanMask(const Bitmap& bitmap, std::uint32_t transparent);

} // namespace cyfrolia
