#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG with libjpeg. Throws cyfrolia::Failure with a readable message when the data
// is not a JPEG it can decode.
QImage decodeJpeg(const QByteArray& data);

// Decodes a JPEG stored in the program's resources (for example ":/images/zapisz.jpg").
QImage loadJpegResource(const QString& path);
