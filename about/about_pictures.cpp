#include "about/about_pictures.h"

#include "common/crisp.h"
#include "common/failure.h"
#include "common/jpeg_image.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace about_pictures {

QPixmap authorPicture(qreal ratio, QString* failure) {
    const cyfrolia::Result<QImage> decoded = loadJpegResource(kAuthorResource);
    if (decoded)
        return crisp::reduced(decoded.value(), kAuthorSize, ratio);
    if (failure)
        *failure = decoded.failure();
    return QPixmap();
}

QPixmap drawnAuthorPicture(qreal ratio) {
    QPixmap pixmap = crisp::canvas(kAuthorSize, ratio, QColor(58, 30, 12));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QFont font;
    font.setFamilies({QStringLiteral("Lobster Two"), QStringLiteral("Z003"), QStringLiteral("DejaVu Serif")});
    font.setPixelSize(17);
    font.setBold(true);
    font.setItalic(true);
    const QString name = QStringLiteral("Zespół Cyfrolii");
    const QFontMetricsF metrics(font);
    const qreal x = (kAuthorSize.width() - metrics.horizontalAdvance(name)) / 2;
    const qreal baseline = (kAuthorSize.height() + metrics.capHeight()) / 2;
    QPainterPath letters;
    letters.addText(QPointF(x, baseline), font, name);

    // Warm orange, lighter at the top, with a thin dark rim.
    QLinearGradient gold(0, baseline - metrics.ascent(), 0, baseline);
    gold.setColorAt(0, QColor(255, 196, 90));
    gold.setColorAt(1, QColor(236, 128, 24));
    p.strokePath(letters, QPen(QColor(110, 50, 10), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(letters, gold);
    return pixmap;
}

} // namespace about_pictures
