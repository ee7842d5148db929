#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QImage>

// Decodes a JPEG through Qt's JPEG plugin, or says why the data is not a JPEG it can decode.
cyfrolia::Result<QImage> decodeJpeg(const QByteArray& data);

// Decodes a JPEG stored in the program's resources (for example ":/images/zapisz.jpg").
cyfrolia::Result<QImage> loadJpegResource(const QString& path);
