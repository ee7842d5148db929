#include "common/jpeg_image.h"

#include "common/failure.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings of a damaged but readable file are not shown. A file that ends early is different:
// libjpeg would pad it with grey, so it counts as not valid.
void onMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        onError(info);
}

} // namespace

cyfrolia::Result<QImage> decodeJpeg(const QByteArray& data) {
    if (data.isEmpty())
        return cyfrolia::Failed{QStringLiteral("JPEG image is empty")};

    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;

    // Everything that needs cleaning after a longjmp lives outside this frame's locals.
    QImage image;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return cyfrolia::Failed{
            QStringLiteral("JPEG image is not valid: %1").arg(QString::fromLocal8Bit(errors.message))};
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);

    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return cyfrolia::Failed{QStringLiteral("JPEG image is too large")};
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image.convertToFormat(QImage::Format_RGB32);
}

cyfrolia::Result<QImage> loadJpegResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cyfrolia::Failed{cyfrolia::cannotOpenFileMessage(path, file.errorString())};
    return decodeJpeg(file.readAll());
}
