#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cyfrolia {

// A decoded bitmap, rows top to bottom. Either every pixel as 0x00RRGGBB in `pixels`, or, for a
// palette file read with BmpPixels::KeepIndexed, the packed rows as stored (1, 4 or 8 bits per
// pixel, the leftmost pixel in the highest bits of a byte) with their palette and `pixels` empty.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    int indexBits = 0;              // 1, 4 or 8 when the rows are kept indexed
    std::ptrdiff_t indexStride = 0; // bytes per row in indexRows
    std::vector<std::uint8_t> indexRows;
    std::vector<std::uint32_t> palette; // 1 << indexBits entries; those the file lacks are black

    bool isIndexed() const { return indexBits != 0; }

    std::uint32_t index(int x, int y) const {
        const std::uint8_t* row = indexRows.data() + std::ptrdiff_t(y) * indexStride;
        switch (indexBits) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u;
        default:
            return row[x];
        }
    }

    std::uint32_t pixel(int x, int y) const {
        if (isIndexed())
            return palette[index(x, y)];
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

enum class BmpPixels {
    Expanded,    // every bitmap decoded to 0x00RRGGBB pixels
    KeepIndexed, // 1, 4 and 8-bit bitmaps keep their packed rows and palette
};

// The text of a file that is not a bitmap we can read.
inline constexpr const char* kBitmapNotValid = "Bitmap image is not valid";

// Decodes a Windows bitmap file held in memory: uncompressed 1, 4, 8, 16, 24 and 32 bits per
// pixel, with or without bit-field masks, bottom-up or top-down. Anything else, and any header
// that promises more than the data holds, throws Failure(kBitmapNotValid) before allocating.
Bitmap decodeBmp(const QByteArray& data, BmpPixels form = BmpPixels::Expanded);

// Reads and decodes a bitmap file. A file that cannot be opened or read throws the usual
// "Cannot open file" failure with the system's reason.
Bitmap readBmpFile(const QString& path, BmpPixels form = BmpPixels::Expanded);

} // namespace cyfrolia
