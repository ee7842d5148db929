#include "shell/mask_region.h"

#include <QBitmap>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace cyfrolia {

namespace {

// Qt's BMP reader fills the rows a short file lacks with whatever memory held; an uncompressed
// bitmap must hold all the rows its header promises.
bool promisesMoreThanItHolds(const QByteArray& head, qint64 fileSize, const QSize& size) {
    if (head.size() < 34)
        return true;
    const auto u32 = [&head](int at) { return qFromLittleEndian<quint32>(head.constData() + at); };
    const qint64 offset = u32(10);
    const qint64 bits = qFromLittleEndian<quint16>(head.constData() + 28);
    const quint32 compression = u32(30);
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed || u32(14) < 40)
        return false;
    const qint64 stride = (qint64(size.width()) * bits + 31) / 32 * 4;
    return offset + stride * size.height() > fileSize;
}

} // namespace

Result<QImage> readMaskBitmap(const QString& path) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return Failed{cannotOpenFileMessage(path, systemReason(file, errno))};
    const QByteArray head = file.peek(34);
    QImageReader reader(&file, "bmp");
    reader.setAutoDetectImageFormat(false); // a PNG under the name is not a bitmap
    QImage image;
    const QSize size = reader.size();
    if (size.isValid() && !promisesMoreThanItHolds(head, file.size(), size))
        image = reader.read(); // refuses images past QImageReader::allocationLimit() unallocated
    if (image.isNull())
        return Failed{QString::fromLatin1(kBitmapNotValid)};
    return image;
}

QRegion maskRegion(const QImage& mask, QRgb transparent, const QSize& window) {
    const QRect within = mask.rect().intersected(QRect(QPoint(0, 0), window));
    if (within.isEmpty())
        return {};
    // Only the colour counts, not a 32-bit file's alpha byte; and Qt copies and masks 32-bit
    // pixels fastest (a 1-bit copy goes pixel by pixel).
    QImage colours = mask.convertToFormat(QImage::Format_RGB32);
    if (within != colours.rect())
        colours = colours.copy(within);
    const QRegion inside(
        QBitmap::fromImage(colours.createMaskFromColor(transparent | 0xff000000u, Qt::MaskInColor)));
    // The bitmap gives one band per row; region algebra merges rows with the same runs, which
    // leaves the window system a third of the rectangles for the shipped outline.
    const QRegion whole(within);
    return whole - (whole - inside);
}

QRegion deviceMaskRegion(const QImage& mask, QRgb transparent, const QSize& window, qreal ratio,
                         const QImage& face, QRgb ground) {
    const QRect within = mask.rect().intersected(QRect(QPoint(0, 0), window));
    if (within.isEmpty())
        return {};
    const QImage colours = mask.convertToFormat(QImage::Format_RGB32);
    const QImage drawn = face.convertToFormat(QImage::Format_RGB32);
    const QSize device(int(std::ceil(within.width() * ratio - 0.01)),
                       int(std::ceil(within.height() * ratio - 0.01)));
    // White where the window stays, black where it is cut.
    QImage keep(device, QImage::Format_RGB32);
    const QRgb out = qRgb(0, 0, 0);
    const QRgb in = qRgb(255, 255, 255);
    for (int y = 0; y < device.height(); ++y) {
        const auto* maskRow = reinterpret_cast<const QRgb*>(
            colours.constScanLine(std::min(int(y / ratio), within.height() - 1)));
        const auto* faceRow =
            y < drawn.height() ? reinterpret_cast<const QRgb*>(drawn.constScanLine(y)) : nullptr;
        auto* keepRow = reinterpret_cast<QRgb*>(keep.scanLine(y));
        for (int x = 0; x < device.width(); ++x) {
            const bool inside =
                ((maskRow[std::min(int(x / ratio), within.width() - 1)] ^ transparent) & 0xffffff) != 0;
            const bool bare = faceRow && x < drawn.width() && ((faceRow[x] ^ ground) & 0xffffff) == 0;
            keepRow[x] = inside && !bare ? in : out;
        }
    }
    const QRegion inside(QBitmap::fromImage(keep.createMaskFromColor(out, Qt::MaskInColor)));
    const QRegion whole(QRect(QPoint(0, 0), device));
    return whole - (whole - inside);
}

} // namespace cyfrolia
