#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace cyfrolia {

// A decoded bitmap: rows top to bottom, each pixel 0x00RRGGBB.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t pixel(int x, int y) const {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// The text of a file that is not a bitmap we can read.
inline constexpr const char* kBitmapNotValid = "Bitmap image is not valid";

// Decodes a Windows bitmap file held in memory: uncompressed 1, 4, 8, 16, 24 and 32 bits per
// pixel, with or without bit-field masks, bottom-up or top-down. Anything else, and any header
// that promises more than the data holds, throws Failure(kBitmapNotValid) before allocating.
Bitmap decodeBmp(const QByteArray& data);

// Reads and decodes a bitmap file. A file that cannot be opened or read throws the usual
// "Cannot open file" failure with the system's reason.
Bitmap readBmpFile(const QString& path);

} // namespace cyfrolia
