// Palette bitmaps kept indexed must shape exactly like the same files expanded to colours.
#include "bmp_builder.h"
#include "shell/bmp_reader.h"
#include "shell/mask_scan.h"

#include <QFile>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

using bmp_builder::put32;
using cyfrolia::Bitmap;
using cyfrolia::BmpPixels;
using cyfrolia::MaskRect;

namespace {

// A 1, 4 or 8-bit Windows bitmap whose pixel (x, y) is palette index index(x, y). The palette
// entries are written as given, top byte included, and only those are in the file.
template <typename Index>
QByteArray makeIndexedBmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
                          bool topDown, Index index) {
    const int stride = bmp_builder::stride(width, bits);
    const int offset = bmp_builder::pixelOffset(palette);
    QByteArray b = bmp_builder::emptyBmp(width, height, bits, topDown, palette);
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        unsigned char* dst = reinterpret_cast<unsigned char*>(b.data()) + offset + row * stride;
        // Padding bits and bytes are set: they must never show as pixels.
        for (int k = (width * bits + 7) / 8; k < stride; ++k)
            dst[k] = 0xff;
        if (width * bits % 8)
            dst[width * bits / 8] = (unsigned char)(0xff >> (width * bits % 8));
        for (int x = 0; x < width; ++x) {
            const unsigned v = index(x, y) & ((1u << bits) - 1);
            const int bit = x * bits;
            dst[bit / 8] = (unsigned char)(dst[bit / 8] | v << (8 - bits - bit % 8));
        }
    }
    return b;
}

struct PaletteCase {
    const char* name;
    int bits;
    std::vector<std::uint32_t> palette; // may be shorter than 1 << bits: the rest reads as black
};

void PrintTo(const PaletteCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<std::uint32_t> palette8() {
    // Exact black, near-black in each channel and colours, with a stray top byte on some.
    std::vector<std::uint32_t> p;
    for (int i = 0; i < 200; ++i) {
        switch (i % 7) {
        case 0:
            p.push_back(0x000000);
            break;
        case 1:
            p.push_back(0x000001u << (8 * (i % 3)));
            break;
        case 2:
            p.push_back(0xff000000);
            break;
        case 3:
            p.push_back(0xffffff);
            break;
        default:
            p.push_back(std::uint32_t(i) * 0x010305u);
            break;
        }
    }
    return p;
}

const PaletteCase kPalettes[] = {
    {"Mono_BlackWhite", 1, {0x000000, 0xffffff}},
    {"Mono_WhiteBlack", 1, {0xffffff, 0x000000}},
    {"Mono_NearBlackBlack", 1, {0x000001, 0x000000}},
    {"Mono_BlackNearBlack", 1, {0x000000, 0x010000}},
    {"Mono_BothBlack", 1, {0x000000, 0xff000000}},
    {"Mono_BothInside", 1, {0x000100, 0xffffff}},
    {"Mono_OneEntry", 1, {0xffffff}},
    {"Nibble_Mixed",
     4,
     {0x000000, 0xffffff, 0x000001, 0x000100, 0x010000, 0x000000, 0xff000000, 0x123456, 0x00ff00, 0x0000ff,
      0x808080, 0x000000}},
    {"Nibble_Full",
     4,
     {0xffffff, 0x000000, 0x000001, 0x000000, 0xffffff, 0x000000, 0x010101, 0x000000, 0xffffff, 0x000000,
      0x000002, 0x000000, 0xffffff, 0x000000, 0x020000, 0x000000}},
    {"Byte_Mixed", 8, palette8()},
};

class IndexedScan : public testing::TestWithParam<std::tuple<PaletteCase, int, bool>> {};

// Indices run in stretches that cross byte and 64-pixel edges, with noise on some rows; every
// index of the depth appears, including those past a short palette.
unsigned testIndex(int x, int y, int bits) {
    const unsigned max = (1u << bits) - 1;
    switch (y % 4) {
    case 0:
        return unsigned(x / 5 + y) & max;
    case 1:
        return unsigned((x / 37) % 2 ? max : 0);
    case 2: {
        std::uint32_t h = std::uint32_t(x) * 2654435761u ^ std::uint32_t(y) * 40503u;
        h ^= h >> 13;
        return (h * 2246822519u >> 20) & max;
    }
    default:
        return unsigned(x * 7 + y) & max;
    }
}

TEST_P(IndexedScan, SameRunsAsTheExpandedPixels) {
    const auto& [c, width, topDown] = GetParam();
    const int height = 13;
    const QByteArray file = makeIndexedBmp(width, height, c.bits, c.palette, topDown,
                                           [bits = c.bits](int x, int y) { return testIndex(x, y, bits); });
    const Bitmap expanded = cyfrolia::decodeBmp(file);
    const Bitmap indexed = cyfrolia::decodeBmp(file, BmpPixels::KeepIndexed);
    ASSERT_FALSE(expanded.isIndexed());
    ASSERT_EQ(indexed.indexBits, c.bits);
    ASSERT_TRUE(indexed.pixels.empty());
    ASSERT_EQ(indexed.width, width);
    ASSERT_EQ(indexed.height, height);

    // The kept rows read back as the picture that was written.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned i = testIndex(x, y, c.bits);
            const std::uint32_t colour = i < c.palette.size() ? c.palette[i] & 0xffffff : 0;
            ASSERT_EQ(indexed.pixel(x, y), colour) << x << "," << y;
            ASSERT_EQ(expanded.pixel(x, y), colour) << x << "," << y;
        }
    }

    for (const std::uint32_t transparent : {0x000000u, 0xffffffu, 0x000001u}) {
        const QList<MaskRect> want = cyfrolia::scanMask(expanded, transparent);
        const QList<MaskRect> got = cyfrolia::scanMask(indexed, transparent);
        ASSERT_EQ(got.size(), want.size()) << "transparent " << std::hex << transparent;
        for (qsizetype i = 0; i < want.size(); ++i)
            ASSERT_EQ(got[i], want[i]) << "rect " << i << ", transparent " << std::hex << transparent;
    }
}

INSTANTIATE_TEST_SUITE_P(Bitmaps, IndexedScan,
                         testing::Combine(testing::ValuesIn(kPalettes),
                                          testing::Values(1, 7, 8, 63, 64, 65, 446), testing::Bool()),
                         [](const testing::TestParamInfo<IndexedScan::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param)) +
                                    (std::get<2>(info.param) ? "_TopDown" : "_BottomUp");
                         });

TEST(IndexedScan, ShippedOutlineGivesTheSameRuns) {
    QFile file(QStringLiteral(CYFROLIA_ASSETS_DIR "/forma.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    const Bitmap expanded = cyfrolia::decodeBmp(data);
    const Bitmap indexed = cyfrolia::decodeBmp(data, BmpPixels::KeepIndexed);
    ASSERT_EQ(indexed.indexBits, 1);
    const QList<MaskRect> want = cyfrolia::scanMask(expanded, 0);
    const QList<MaskRect> got = cyfrolia::scanMask(indexed, 0);
    ASSERT_GT(want.size(), indexed.height);
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype i = 0; i < want.size(); ++i)
        ASSERT_EQ(got[i], want[i]) << "rect " << i;
}

TEST(IndexedScan, ColourFilesAreNeverKeptIndexed) {
    // A 24-bit file has no palette to judge: it is expanded whatever was asked.
    QByteArray b(14 + 40 + 4, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, 1);
    put32(b, 22, 1);
    b[26] = 1;
    b[28] = 24;
    b[54 + 2] = 0x01; // red 1: near-black
    const Bitmap bitmap = cyfrolia::decodeBmp(b, BmpPixels::KeepIndexed);
    EXPECT_FALSE(bitmap.isIndexed());
    EXPECT_EQ(bitmap.pixel(0, 0), 0x010000u);
    EXPECT_EQ(cyfrolia::scanMask(bitmap, 0).size(), 1);
}

} // namespace
