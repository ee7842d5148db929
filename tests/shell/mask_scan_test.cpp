#include "shell/bmp_reader.h"
#include "shell/mask_scan.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using cyfrolia::Bitmap;
using cyfrolia::MaskRect;

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xffffff;

// Rows drawn as text: '.' is black (cut away), '#' white, 'n' near-black RGB(0,0,1),
// 'r' a colour that differs from black in red only.
Bitmap fromRows(const std::vector<std::string>& rows) {
    Bitmap bitmap;
    bitmap.height = int(rows.size());
    bitmap.width = rows.empty() ? 0 : int(rows.front().size());
    for (const std::string& row : rows) {
        for (char c : row)
            bitmap.pixels.push_back(c == '.' ? kBlack : c == 'n' ? 0x000001 : c == 'r' ? 0x010000 : kWhite);
    }
    return bitmap;
}

struct ScanCase {
    const char* name;
    std::vector<std::string> rows;
    std::vector<MaskRect> expected;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

class MaskScan : public testing::TestWithParam<ScanCase> {};

TEST_P(MaskScan, YieldsTheRowRuns) {
    const ScanCase& c = GetParam();
    const QList<MaskRect> rects = cyfrolia::scanMask(fromRows(c.rows), kBlack);
    ASSERT_EQ(std::size_t(rects.size()), c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
        const MaskRect& got = rects[qsizetype(i)];
        EXPECT_EQ(got, c.expected[i])
            << "rect " << i << ": " << got.left << "," << got.top << " - " << got.right << "," << got.bottom;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MaskScan,
    testing::Values(ScanCase{"FullRowFromColumnZeroToTheEnd", {"#####"}, {{0, 0, 5, 1}}},
                    ScanCase{"RunAtColumnZero", {"##..."}, {{0, 0, 2, 1}}},
                    ScanCase{"RunEndingAtTheLastPixel", {"...##"}, {{3, 0, 5, 1}}},
                    ScanCase{"SingleInsidePixelBetweenOutside", {".#."}, {{1, 0, 2, 1}}},
                    ScanCase{"SingleInsidePixelAtRowEnd", {"..#"}, {{2, 0, 3, 1}}},
                    ScanCase{"NearBlackIsInside", {".n."}, {{1, 0, 2, 1}}},
                    ScanCase{"AnyChannelCountsAsDifferent", {"r.n"}, {{0, 0, 1, 1}, {2, 0, 3, 1}}},
                    ScanCase{"AllBlackGivesNothing", {"...", "..."}, {}},
                    ScanCase{"OnePixel", {"#"}, {{0, 0, 1, 1}}}, ScanCase{"OneBlackPixel", {"."}, {}},
                    ScanCase{"SeveralRunsPerRowInScanOrder",
                             {"#.##.#", "......", ".####."},
                             {{0, 0, 1, 1}, {2, 0, 4, 1}, {5, 0, 6, 1}, {1, 2, 5, 1 + 2}}},
                    ScanCase{"RunsDoNotCrossRows", {"..##", "##.."}, {{2, 0, 4, 1}, {0, 1, 2, 2}}}),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST(MaskScan, OtherTransparentColoursAndTheTopByteIgnored) {
    Bitmap bitmap;
    bitmap.width = 4;
    bitmap.height = 1;
    // The top byte is not part of the colour: 0xff00ff00 is the transparent green.
    bitmap.pixels = {0x00ff00, 0xff00ff00, 0x000000, 0x00ff00};
    const QList<MaskRect> rects = cyfrolia::scanMask(bitmap, 0x00ff00);
    ASSERT_EQ(rects.size(), 1);
    EXPECT_EQ(rects[0], (MaskRect{2, 0, 3, 1}));
}

TEST(MaskScan, StrideSkipsPaddingPixels) {
    // Two rows of three pixels stored five apart; the padding is white and must not show.
    const std::uint32_t pixels[] = {kBlack, kWhite, kBlack, kWhite, kWhite,
                                    kWhite, kBlack, kBlack, kWhite, kWhite};
    std::vector<MaskRect> rects;
    cyfrolia::forEachMaskRun(pixels, 3, 2, 5, kBlack, [&](int left, int y, int right) {
        rects.push_back(MaskRect{left, y, right, y + 1});
    });
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0], (MaskRect{1, 0, 2, 1}));
    EXPECT_EQ(rects[1], (MaskRect{0, 1, 1, 2}));
}

} // namespace

namespace {

// The plain pixel-by-pixel reading of the rule, to hold the fast scan against.
std::vector<MaskRect> referenceRuns(const Bitmap& bitmap, std::uint32_t transparent) {
    std::vector<MaskRect> rects;
    for (int y = 0; y < bitmap.height; ++y) {
        int start = -1;
        for (int x = 0; x <= bitmap.width; ++x) {
            const bool inside = x < bitmap.width && bitmap.pixel(x, y) != transparent;
            if (inside && start < 0)
                start = x;
            if (!inside && start >= 0) {
                rects.push_back(MaskRect{start, y, x, y + 1});
                start = -1;
            }
        }
    }
    return rects;
}

class MaskScanAgainstReference : public testing::TestWithParam<int> {};

// Widths around the scan's 64-pixel blocks, with runs that cross block edges.
TEST_P(MaskScanAgainstReference, SameRuns) {
    const int width = GetParam();
    std::uint32_t seed = 12345u + std::uint32_t(width);
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = 40;
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            // Long runs on some rows, noise on others, whole rows inside or outside on a few.
            const bool inside = y % 5 == 0   ? true
                                : y % 5 == 1 ? false
                                : y % 5 == 2 ? (x / 37) % 2 == 0
                                             : (seed >> 16) % 3 != 0;
            bitmap.pixels.push_back(inside ? ((seed >> 8) % 2 ? 0xffffffu : 0x000001u) : 0u);
        }
    }
    const QList<MaskRect> rects = cyfrolia::scanMask(bitmap, kBlack);
    const std::vector<MaskRect> expected = referenceRuns(bitmap, kBlack);
    ASSERT_EQ(std::size_t(rects.size()), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(rects[qsizetype(i)], expected[i]) << "rect " << i;
}

INSTANTIATE_TEST_SUITE_P(Widths, MaskScanAgainstReference,
                         testing::Values(1, 3, 4, 5, 63, 64, 65, 127, 128, 129, 446),
                         [](const auto& info) { return "Width" + std::to_string(info.param); });

} // namespace
