#include "common/emblem.h"

#include "common/crisp.h"

#include <QPainter>
#include <QPainterPath>

namespace emblem {

namespace {

const QColor kGround(0, 0, 110);
const QColor kDivider(90, 120, 220);

} // namespace

void paint(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(QPointF(0, 0), QSizeF(kDesignSize)), kGround);

    // The quarters are parted by a thin light-blue cross.
    p.fillRect(QRectF(30.5, 3, 1, 57), kDivider);
    p.fillRect(QRectF(3, 30.5, 56, 1), kDivider);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const qreal bar = 5.5;
    // Plus and minus in the upper quarters.
    p.drawRoundedRect(QRectF(6, 15.75 - bar / 2, 19.5, bar), 0.8, 0.8);
    p.drawRoundedRect(QRectF(15.75 - bar / 2, 6, bar, 19.5), 0.8, 0.8);
    p.drawRoundedRect(QRectF(37, 15.75 - bar / 2, 19.5, bar), 0.8, 0.8);
    // Times and divide in the lower ones.
    QPainterPath cross;
    cross.moveTo(8.5, 39.5);
    cross.lineTo(22.5, 53.5);
    cross.moveTo(22.5, 39.5);
    cross.lineTo(8.5, 53.5);
    p.strokePath(cross, QPen(Qt::white, 5, Qt::SolidLine, Qt::FlatCap));
    p.drawRoundedRect(QRectF(37, 46.5 - bar / 2, 19.5, bar), 0.8, 0.8);
    p.drawEllipse(QPointF(46.75, 39.25), 2.6, 2.6);
    p.drawEllipse(QPointF(46.75, 53.75), 2.6, 2.6);
    p.restore();
}

QPixmap picture(const QSize& logical, qreal ratio) {
    QPixmap pixmap = crisp::canvas(logical, ratio, kGround);
    QPainter p(&pixmap);
    p.scale(qreal(logical.width()) / kDesignSize.width(), qreal(logical.height()) / kDesignSize.height());
    paint(p);
    return pixmap;
}

QIcon icon() {
    return crisp::drawnIcon(QSizeF(kDesignSize), paint);
}

} // namespace emblem
