#include "results/results_icon.h"

#include "common/crisp.h"
#include "common/style.h"

#include <QPainter>

namespace {

// Each sign fills an 11 x 11 square in its quarter of a 32 x 32 box, drawn with 3-pixel bars.
void paintSigns(QPainter& painter) {
    const QColor navy = style::kNavy;
    painter.setPen(Qt::NoPen);
    painter.setBrush(navy);
    painter.drawRect(QRectF(3, 7, 11, 3)); // plus
    painter.drawRect(QRectF(7, 3, 3, 11));
    painter.drawRect(QRectF(18, 7, 11, 3)); // minus
    painter.setPen(QPen(navy, 3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(4, 20), QPointF(13, 29)); // times
    painter.drawLine(QPointF(13, 20), QPointF(4, 29));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(18, 23, 11, 3)); // divide
    painter.drawEllipse(QPointF(23.5, 19.5), 1.8, 1.8);
    painter.drawEllipse(QPointF(23.5, 29.5), 1.8, 1.8);
}

} // namespace

QIcon resultsWindowIcon() {
    return crisp::drawnIcon(QSizeF(32, 32), paintSigns);
}
