#include "common/jpeg_image.h"

#include "common/failure.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <cerrno>

cyfrolia::Result<QImage> decodeJpeg(const QByteArray& data) {
    if (data.isEmpty())
        return cyfrolia::Failed{QStringLiteral("JPEG image is empty")};
    // A file cut short would be padded with grey: without its end marker it counts as not valid.
    if (!data.endsWith("\xFF\xD9"))
        return cyfrolia::Failed{QStringLiteral("JPEG image is not valid: it ends early")};
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    QImage image = reader.read();
    if (image.isNull())
        return cyfrolia::Failed{QStringLiteral("JPEG image is not valid: %1").arg(reader.errorString())};
    return image.convertToFormat(QImage::Format_RGB32);
}

cyfrolia::Result<QImage> loadJpegResource(const QString& path) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return cyfrolia::Failed{cyfrolia::cannotOpenFileMessage(path, cyfrolia::systemReason(file, errno))};
    return decodeJpeg(file.readAll());
}
