// Reading the menu's mask file and turning it into the window's shape, case by case.
#include "shell/mask_region.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <functional>

namespace {

const QSize kWindow(446, 495);

// The system's own words, in the language of the locale the test runs under.
QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray bmpOf(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return data;
}

QImage filled(const QSize& size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A BMP header of the given size with 24-bit pixels and no pixel data behind it.
QByteArray headerOnly(qint32 width, qint32 height) {
    QByteArray b = bmpOf(filled(QSize(1, 1), qRgb(255, 255, 255))).left(54);
    qToLittleEndian(width, b.data() + 18);
    qToLittleEndian(height, b.data() + 22);
    qToLittleEndian(quint16(24), b.data() + 28);
    return b;
}

QImage checkerboard(int side) {
    QImage image(side, side, QImage::Format_Mono);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, (x + y) % 2);
    return image;
}

// The union of the image's pixels that are not black, one rectangle per run.
QRegion runsOf(const QImage& image, const QSize& within) {
    QRegion region;
    const int width = qMin(image.width(), within.width());
    for (int y = 0; y < qMin(image.height(), within.height()); ++y) {
        for (int x = 0; x < width;) {
            if ((image.pixel(x, y) & 0xffffff) == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && (image.pixel(x, y) & 0xffffff) != 0)
                ++x;
            region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

} // namespace

// Puts the case's file in place under the given name and gives the path to read.
using MakeFile = std::function<QString(const QString& name)>;

class MaskRegionTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    MakeFile file(const QByteArray& content) {
        return [this, content](const QString& name) {
            const QString path = m_dir.filePath(name);
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
                qFatal("cannot write %s", qPrintable(path));
            return path;
        };
    }

    MakeFile nothing() {
        return [this](const QString& name) { return m_dir.filePath(name); };
    }

    MakeFile folder() {
        return [this](const QString& name) {
            QDir(m_dir.path()).mkdir(name);
            return m_dir.filePath(name);
        };
    }

private slots:
    void readsAndShapes_data() {
        QTest::addColumn<MakeFile>("make");
        QTest::addColumn<QString>("failure"); // %1 stands for the path
        QTest::addColumn<QRegion>("region");

        const QString cannotOpen = QStringLiteral("Cannot open file \"%1\". ");
        const QString notValid = QStringLiteral("Bitmap image is not valid");
        const QRegion none;
        QTest::newRow("missing file") << nothing() << cannotOpen + systemReason(ENOENT) << none;
        QTest::newRow("folder under the name") << folder() << cannotOpen + systemReason(EISDIR) << none;
        QTest::newRow("empty file") << file({}) << notValid << none;
        QTest::newRow("PNG under the name")
            << file(QByteArray::fromHex("89504e470d0a1a0a0000000d49484452")) << notValid << none;
        QTest::newRow("text") << file("Zaznacz klasę\r\n") << notValid << none;
        QTest::newRow("huge header") << file(headerOnly(100000, 100000)) << notValid << none;
        QTest::newRow("header lying within the limit") << file(headerOnly(2000, 2000)) << notValid << none;
        QTest::newRow("pixels cut short")
            << file(bmpOf(filled(QSize(20, 20), qRgb(255, 255, 255))).left(54 + 60 * 10)) << notValid << none;

        QImage framed = filled(kWindow, qRgb(0, 0, 0));
        for (int y = 10; y < 485; ++y)
            for (int x = 10; x < 436; ++x)
                framed.setPixel(x, y, qRgb(0, 0, 1));
        QTest::newRow("near-black inside") << file(bmpOf(framed)) << QString() << QRegion(10, 10, 426, 475);
        QTest::newRow("all black") << file(bmpOf(filled(kWindow, qRgb(0, 0, 0)))) << QString() << none;
        QTest::newRow("smaller than the window") << file(bmpOf(filled(QSize(100, 50), qRgb(255, 255, 255))))
                                                 << QString() << QRegion(0, 0, 100, 50);
        // 2048 x 2048 alternating pixels are two million rectangles; the window keeps its own.
        const QImage board = checkerboard(2048);
        QTest::newRow("larger checkerboard clipped")
            << file(bmpOf(board)) << QString() << runsOf(board, kWindow);
        const QString shipped = QStringLiteral(CYFROLIA_ASSETS_DIR "/forma.bmp");
        QTest::newRow("shipped outline") << MakeFile([shipped](const QString&) { return shipped; })
                                         << QString() << runsOf(QImage(shipped), kWindow);
    }

    void readsAndShapes() {
        QFETCH(MakeFile, make);
        QFETCH(QString, failure);
        QFETCH(QRegion, region);
        const QString path = make(QStringLiteral("%1.bmp").arg(QTest::currentDataTag()));

        const cyfrolia::Result<QImage> mask = cyfrolia::readMaskBitmap(path);
        QCOMPARE(mask.failure(), failure.contains(QLatin1String("%1")) ? failure.arg(path) : failure);
        QCOMPARE(bool(mask), failure.isEmpty());
        if (!mask)
            return;
        const QRegion shape = cyfrolia::maskRegion(mask.value(), qRgb(0, 0, 0), kWindow);
        QVERIFY2(
            (shape ^ region).isEmpty(),
            qPrintable(
                QStringLiteral("%1 rectangles against %2").arg(shape.rectCount()).arg(region.rectCount())));
    }
};

QTEST_MAIN(MaskRegionTest)
#include "tst_mask_region.moc"
