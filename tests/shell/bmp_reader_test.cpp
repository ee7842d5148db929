#include "bmp_builder.h"
#include "common/failure.h"
#include "shell/bmp_reader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <unistd.h>

using cyfrolia::Bitmap;

namespace {

using bmp_builder::put16;
using bmp_builder::put32;

// A Windows bitmap with a 40-byte header. `pixel(x, y)` gives 0xRRGGBB (or a palette index
// for paletted depths); rows are stored bottom-up unless topDown.
QByteArray makeBmp(int width, int height, int bits, const std::function<std::uint32_t(int, int)>& pixel,
                   bool topDown = false, const std::vector<std::uint32_t>& palette = {}) {
    const int stride = bmp_builder::stride(width, bits);
    const int offset = bmp_builder::pixelOffset(palette);
    QByteArray b = bmp_builder::emptyBmp(width, height, bits, topDown, palette);
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        char* dst = b.data() + offset + row * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = pixel(x, y);
            switch (bits) {
            case 1:
                dst[x / 8] = char(dst[x / 8] | (v & 1) << (7 - x % 8));
                break;
            case 8:
                dst[x] = char(v);
                break;
            case 24:
                dst[3 * x] = char(v & 0xff);
                dst[3 * x + 1] = char((v >> 8) & 0xff);
                dst[3 * x + 2] = char((v >> 16) & 0xff);
                break;
            case 32:
                dst[4 * x] = char(v & 0xff);
                dst[4 * x + 1] = char((v >> 8) & 0xff);
                dst[4 * x + 2] = char((v >> 16) & 0xff);
                break;
            }
        }
    }
    return b;
}

std::uint32_t checker(int x, int y) {
    return (x + y) % 2 ? 0xffffff : 0x000000;
}

class BmpReader : public testing::Test {
protected:
    QString write(const QString& name, const QByteArray& content) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    static std::string failureOf(const QString& path,
                                 cyfrolia::BmpPixels form = cyfrolia::BmpPixels::Expanded) {
        try {
            cyfrolia::readBmpFile(path, form);
        } catch (const cyfrolia::Failure& failure) {
            return failure.message().toStdString();
        }
        return "no failure";
    }

    QTemporaryDir m_dir;
};

TEST_F(BmpReader, MissingFileGivesTheSystemReasonWithTheFullPath) {
    const QString path = m_dir.filePath(QStringLiteral("forma.bmp"));
    EXPECT_EQ(failureOf(path), "Cannot open file \"" + path.toStdString() + "\". No such file or directory");
    EXPECT_EQ(failureOf(path, cyfrolia::BmpPixels::KeepIndexed), failureOf(path));
    EXPECT_EQ(cyfrolia::errorDialogText(QString::fromStdString(failureOf(path))).toStdString(),
              "Cannot open file \"" + path.toStdString() + "\". No such file or directory.");
}

TEST_F(BmpReader, FolderUnderTheNameCannotBeOpened) {
    const QString path = m_dir.filePath(QStringLiteral("forma.bmp"));
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_EQ(failureOf(path), "Cannot open file \"" + path.toStdString() + "\". Is a directory");
}

TEST_F(BmpReader, FileUnderAFileGivesNotADirectory) {
    const QString parent = write(QStringLiteral("program"), QByteArray("x"));
    const QString path = parent + QStringLiteral("/forma.bmp");
    EXPECT_EQ(failureOf(path), "Cannot open file \"" + path.toStdString() + "\". Not a directory");
}

TEST_F(BmpReader, UnreadableFileGivesPermissionDenied) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const QString path = write(QStringLiteral("forma.bmp"), makeBmp(2, 2, 24, checker));
    QFile::setPermissions(path, QFileDevice::Permissions());
    EXPECT_EQ(failureOf(path), "Cannot open file \"" + path.toStdString() + "\". Permission denied");
}

struct BadCase {
    const char* name;
    std::function<QByteArray()> content;
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class BadBitmap : public BmpReader, public testing::WithParamInterface<BadCase> {};

TEST_P(BadBitmap, IsNotValid) {
    const QString path = write(QStringLiteral("forma.bmp"), GetParam().content());
    EXPECT_EQ(failureOf(path), "Bitmap image is not valid");
    EXPECT_EQ(failureOf(path, cyfrolia::BmpPixels::KeepIndexed), "Bitmap image is not valid");
}

QByteArray withHeaderField(QByteArray b, int at, std::uint32_t v, bool wide = true) {
    if (wide)
        put32(b, at, v);
    else
        put16(b, at, v);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadBitmap,
    testing::Values(
        BadCase{"Empty", [] { return QByteArray(); }},
        BadCase{"OnlyTheSignature", [] { return QByteArray("BM"); }},
        BadCase{"PngUnderTheName",
                [] {
                    return QByteArray::fromHex(
                        "89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489");
                }},
        BadCase{"TextFile", [] { return QByteArray("Zaznacz klasę\r\n"); }},
        BadCase{"TruncatedPixels", [] { return makeBmp(20, 20, 24, checker).left(14 + 40 + 60 * 10); }},
        BadCase{"TruncatedHeader", [] { return makeBmp(4, 4, 24, checker).left(30); }},
        BadCase{"HugeDimensions",
                [] {
                    return withHeaderField(withHeaderField(makeBmp(2, 2, 24, checker), 18, 100000), 22,
                                           100000);
                }},
        BadCase{"HugeWidthOneRow",
                [] { return withHeaderField(makeBmp(2, 1, 24, checker), 18, 0x7fffffff); }},
        BadCase{"MostNegativeHeight",
                [] { return withHeaderField(makeBmp(2, 2, 24, checker), 22, 0x80000000u); }},
        BadCase{"ZeroWidth", [] { return withHeaderField(makeBmp(2, 2, 24, checker), 18, 0); }},
        BadCase{"UnknownHeaderSize", [] { return withHeaderField(makeBmp(2, 2, 24, checker), 14, 20); }},
        BadCase{"UnsupportedDepth", [] { return withHeaderField(makeBmp(2, 2, 24, checker), 28, 7, false); }},
        BadCase{"RunLengthCompressed",
                [] {
                    return withHeaderField(makeBmp(2, 2, 8, checker, false, {0, 0xffffff}), 30, 1);
                }},
        BadCase{"PixelOffsetPastTheEnd",
                [] { return withHeaderField(makeBmp(2, 2, 24, checker), 10, 100000); }},
        BadCase{"PaletteLargerThanTheFileRoom",
                [] {
                    return withHeaderField(makeBmp(2, 2, 8, checker, false, {0, 0xffffff}), 46, 256);
                }}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

struct GoodCase {
    const char* name;
    std::function<QByteArray()> content;
    int width;
    int height;
};

void PrintTo(const GoodCase& c, std::ostream* os) {
    *os << c.name;
}

class GoodBitmap : public BmpReader, public testing::WithParamInterface<GoodCase> {};

// Every depth decodes the same picture: black where x + y is even, white elsewhere, top row first.
TEST_P(GoodBitmap, DecodesTopRowFirst) {
    const GoodCase& c = GetParam();
    const Bitmap bitmap = cyfrolia::readBmpFile(write(QStringLiteral("forma.bmp"), c.content()));
    ASSERT_EQ(bitmap.width, c.width);
    ASSERT_EQ(bitmap.height, c.height);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x)
            ASSERT_EQ(bitmap.pixel(x, y), checker(x, y)) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GoodBitmap,
    testing::Values(GoodCase{"OnePixel", [] { return makeBmp(1, 1, 24, checker); }, 1, 1},
                    GoodCase{"Rgb24WithRowPadding", [] { return makeBmp(5, 3, 24, checker); }, 5, 3},
                    GoodCase{"Rgb32", [] { return makeBmp(4, 3, 32, checker); }, 4, 3},
                    GoodCase{"TopDown", [] { return makeBmp(3, 4, 24, checker, true); }, 3, 4},
                    GoodCase{"Paletted8",
                             [] {
                                 return makeBmp(7, 2, 8,
                                                [](int x, int y) { return std::uint32_t((x + y) % 2); },
                                                false, {0, 0xffffff});
                             },
                             7, 2},
                    GoodCase{"Mono",
                             [] {
                                 return makeBmp(11, 3, 1,
                                                [](int x, int y) { return std::uint32_t((x + y) % 2); },
                                                false, {0, 0xffffff});
                             },
                             11, 3},
                    GoodCase{"LargerThanTheWindow", [] { return makeBmp(600, 700, 24, checker); }, 600, 700},
                    GoodCase{"SmallerThanTheWindow", [] { return makeBmp(100, 50, 24, checker); }, 100, 50}),
    [](const testing::TestParamInfo<GoodCase>& info) { return std::string(info.param.name); });

TEST_F(BmpReader, NearBlackSurvivesDecoding) {
    const Bitmap bitmap = cyfrolia::readBmpFile(
        write(QStringLiteral("forma.bmp"), makeBmp(2, 1, 24, [](int x, int) { return x ? 0x000001u : 0u; })));
    EXPECT_EQ(bitmap.pixel(0, 0), 0u);
    EXPECT_EQ(bitmap.pixel(1, 0), 1u);
}

} // namespace
