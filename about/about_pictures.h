#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// The About window's picture of the author's name: ornate orange letters on dark brown, kept as
// a JPEG at twice its logical size.
namespace about_pictures {

inline const QString kAuthorResource = QStringLiteral(":/images/about_author.jpg");
inline constexpr QSize kAuthorSize{100, 30};

// The JPEG reduced to the logical size at `ratio` device pixels per logical pixel; a null picture
// with the reason in `failure` when it cannot be decoded.
QPixmap authorPicture(qreal ratio, QString* failure);

// The picture as drawn here; the JPEG is made from it at ratio 2.
QPixmap drawnAuthorPicture(qreal ratio);

} // namespace about_pictures
