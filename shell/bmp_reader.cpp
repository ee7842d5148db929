#include "shell/bmp_reader.h"

#include "common/failure.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

namespace cyfrolia {

namespace {

// Larger pictures are not masks of a window; refusing them keeps a hostile header from
// making us allocate gigabytes.
constexpr std::int64_t kMaxSide = 32768;
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 26;
constexpr std::int64_t kMaxFileSize = std::int64_t(1) << 30;

[[noreturn]] void notValid() {
    throw Failure(QString::fromLatin1(kBitmapNotValid));
}

class Reader {
public:
    explicit Reader(const QByteArray& data)
        : m_data(reinterpret_cast<const unsigned char*>(data.constData())), m_size(data.size()) {}

    std::int64_t size() const { return m_size; }

    std::uint32_t u8(std::int64_t at) const { return need(at, 1), m_data[at]; }
    std::uint32_t u16(std::int64_t at) const {
        need(at, 2);
        return std::uint32_t(m_data[at]) | std::uint32_t(m_data[at + 1]) << 8;
    }
    std::uint32_t u32(std::int64_t at) const {
        need(at, 4);
        return std::uint32_t(m_data[at]) | std::uint32_t(m_data[at + 1]) << 8 |
               std::uint32_t(m_data[at + 2]) << 16 | std::uint32_t(m_data[at + 3]) << 24;
    }
    std::int32_t i32(std::int64_t at) const { return std::int32_t(u32(at)); }
    const unsigned char* bytes(std::int64_t at, std::int64_t count) const {
        return need(at, count), m_data + at;
    }

private:
    void need(std::int64_t at, std::int64_t count) const {
        if (at < 0 || count < 0 || at > m_size || count > m_size - at)
            notValid();
    }

    const unsigned char* m_data;
    std::int64_t m_size;
};

// One colour channel described by a bit-field mask, scaled to 0..255.
struct Channel {
    int shift = 0;
    int bits = 0;
    std::uint32_t mask = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (!m)
            return;
        while (!(m & 1)) {
            m >>= 1;
            ++shift;
        }
        while (m & 1) {
            m >>= 1;
            ++bits;
        }
    }

    std::uint32_t operator()(std::uint32_t value) const {
        if (!bits)
            return 0;
        const std::uint32_t v = (value & mask) >> shift;
        const std::uint32_t max = bits >= 32 ? 0xffffffffu : (1u << bits) - 1;
        return std::uint32_t((std::uint64_t(v) * 255 + max / 2) / max);
    }
};

enum Compression : std::uint32_t { kRgb = 0, kBitFields = 3 };

} // namespace

Bitmap decodeBmp(const QByteArray& data, BmpPixels form) {
    const Reader in(data);
    if (in.size() < 14 + 12 || in.u8(0) != 'B' || in.u8(1) != 'M')
        notValid();
    const std::int64_t pixelOffset = in.u32(10);
    const std::uint32_t headerSize = in.u32(14);

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t coloursUsed = 0;
    int paletteEntrySize = 4;
    std::int64_t paletteOffset = 14 + std::int64_t(headerSize);
    std::uint32_t masks[3] = {0, 0, 0};

    if (headerSize == 12) {
        width = in.u16(18);
        height = in.u16(20);
        planes = in.u16(22);
        bitCount = in.u16(24);
        paletteEntrySize = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
               headerSize == 108 || headerSize == 124) {
        width = in.i32(18);
        height = in.i32(22);
        planes = in.u16(26);
        bitCount = in.u16(28);
        compression = in.u32(30);
        coloursUsed = in.u32(46);
        if (compression == kBitFields) {
            for (int i = 0; i < 3; ++i)
                masks[i] = in.u32(54 + 4 * i);
            if (headerSize == 40)
                paletteOffset += 12; // the masks follow the short header
        }
    } else {
        notValid();
    }

    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (planes != 1 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        width * height > kMaxPixels)
        notValid();

    const bool paletted = bitCount == 1 || bitCount == 4 || bitCount == 8;
    if (compression == kRgb) {
        if (!paletted && bitCount != 16 && bitCount != 24 && bitCount != 32)
            notValid();
        if (bitCount == 16) {
            masks[0] = 0x7c00;
            masks[1] = 0x03e0;
            masks[2] = 0x001f;
        } else if (bitCount == 32) {
            masks[0] = 0x00ff0000;
            masks[1] = 0x0000ff00;
            masks[2] = 0x000000ff;
        }
    } else if (compression == kBitFields) {
        if (bitCount != 16 && bitCount != 32)
            notValid();
    } else {
        notValid(); // run-length and embedded JPEG/PNG bitmaps are not masks we make
    }

    const std::int64_t stride = (width * bitCount + 31) / 32 * 4;
    if (pixelOffset < paletteOffset || stride * height > in.size() - pixelOffset)
        notValid();

    std::vector<std::uint32_t> palette;
    if (paletted) {
        const std::int64_t maxColours = std::int64_t(1) << bitCount;
        const std::int64_t count =
            coloursUsed == 0 ? maxColours : std::min<std::int64_t>(coloursUsed, maxColours);
        if (paletteOffset + count * paletteEntrySize > pixelOffset)
            notValid();
        palette.resize(std::size_t(maxColours), 0); // indices past the table read as black
        const unsigned char* p = in.bytes(paletteOffset, count * paletteEntrySize);
        for (std::int64_t i = 0; i < count; ++i, p += paletteEntrySize)
            palette[std::size_t(i)] = std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }

    Bitmap bitmap;
    bitmap.width = int(width);
    bitmap.height = int(height);

    if (paletted && form == BmpPixels::KeepIndexed) {
        // The mask scan reads the packed rows directly; only the row order is made top-down.
        bitmap.indexBits = int(bitCount);
        bitmap.indexStride = std::ptrdiff_t(stride);
        bitmap.palette = std::move(palette);
        bitmap.indexRows.resize(std::size_t(stride * height));
        for (std::int64_t row = 0; row < height; ++row) {
            const unsigned char* src = in.bytes(pixelOffset + row * stride, stride);
            const std::int64_t y = topDown ? row : height - 1 - row;
            std::memcpy(bitmap.indexRows.data() + y * stride, src, std::size_t(stride));
        }
        return bitmap;
    }

    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    bitmap.pixels.resize(std::size_t(width * height));
    for (std::int64_t row = 0; row < height; ++row) {
        const unsigned char* src = in.bytes(pixelOffset + row * stride, stride);
        const std::int64_t y = topDown ? row : height - 1 - row;
        std::uint32_t* dst = bitmap.pixels.data() + y * width;
        switch (bitCount) {
        case 1:
            for (std::int64_t x = 0; x < width; ++x)
                dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (std::int64_t x = 0; x < width; ++x)
                dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
            break;
        case 8:
            for (std::int64_t x = 0; x < width; ++x)
                dst[x] = palette[src[x]];
            break;
        case 16:
            for (std::int64_t x = 0; x < width; ++x) {
                const std::uint32_t v = std::uint32_t(src[2 * x]) | std::uint32_t(src[2 * x + 1]) << 8;
                dst[x] = red(v) << 16 | green(v) << 8 | blue(v);
            }
            break;
        case 24:
            for (std::int64_t x = 0; x < width; ++x)
                dst[x] =
                    std::uint32_t(src[3 * x + 2]) << 16 | std::uint32_t(src[3 * x + 1]) << 8 | src[3 * x];
            break;
        case 32:
            for (std::int64_t x = 0; x < width; ++x) {
                const unsigned char* s = src + 4 * x;
                const std::uint32_t v = std::uint32_t(s[0]) | std::uint32_t(s[1]) << 8 |
                                        std::uint32_t(s[2]) << 16 | std::uint32_t(s[3]) << 24;
                dst[x] = red(v) << 16 | green(v) << 8 | blue(v);
            }
            break;
        }
    }
    return bitmap;
}

Bitmap readBmpFile(const QString& path, BmpPixels form) {
    // stdio rather than QFile: the failure text must be the system's own reason.
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    const QByteArray nativePath = QFile::encodeName(path);
    errno = 0;
    std::unique_ptr<std::FILE, Closer> file(std::fopen(nativePath.constData(), "rb"));
    const auto cannotOpen = [&path] {
        throw Failure(
            cannotOpenFileMessage(path, QString::fromLocal8Bit(std::strerror(errno ? errno : EIO))));
    };
    if (!file)
        cannotOpen();

    QByteArray data;
    char chunk[65536];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        if (got > 0) {
            if (data.size() + std::int64_t(got) > kMaxFileSize)
                notValid();
            data.append(chunk, qsizetype(got));
        }
        if (got < sizeof chunk) {
            if (std::ferror(file.get()))
                cannotOpen(); // a folder under that name, or an I/O error
            break;
        }
    }
    return decodeBmp(data, form);
}

} // namespace cyfrolia
