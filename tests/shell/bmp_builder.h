#pragma once

// Builds Windows bitmap files in memory for the reader and scan tests.

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace bmp_builder {

inline void put16(QByteArray& b, int at, std::uint32_t v) {
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}

inline void put32(QByteArray& b, int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

// Bytes per stored row, padded to four.
inline int stride(int width, int bits) {
    return (width * bits + 31) / 32 * 4;
}

// Offset of the pixel rows.
inline int pixelOffset(const std::vector<std::uint32_t>& palette) {
    return 14 + 40 + int(palette.size()) * 4;
}

// A file with a 40-byte header and the palette written as given; the pixel rows are zero.
inline QByteArray emptyBmp(int width, int height, int bits, bool topDown,
                           const std::vector<std::uint32_t>& palette) {
    const int offset = pixelOffset(palette);
    QByteArray b(offset + stride(width, bits) * height, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, std::uint32_t(offset));
    put32(b, 14, 40);
    put32(b, 18, std::uint32_t(width));
    put32(b, 22, std::uint32_t(topDown ? -height : height));
    put16(b, 26, 1);
    put16(b, 28, std::uint32_t(bits));
    put32(b, 46, std::uint32_t(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i)
        put32(b, 54 + int(i) * 4, palette[i]);
    return b;
}

} // namespace bmp_builder
