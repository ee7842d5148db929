#include "shell/mask_region.h"

#include <QBitmap>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <cerrno>
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

} // namespace cyfrolia
