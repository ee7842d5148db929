#include "results/results_icon.h"

#include "common/style.h"

#include <QPainter>
#include <QPixmap>

QIcon resultsWindowIcon() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const QColor navy = style::kNavy;
    // Each sign fills an 11 x 11 square in its quarter, drawn with 3-pixel bars.
    painter.fillRect(3, 7, 11, 3, navy); // plus
    painter.fillRect(7, 3, 3, 11, navy);
    painter.fillRect(18, 7, 11, 3, navy); // minus
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(navy, 3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(4, 20), QPointF(13, 29)); // times
    painter.drawLine(QPointF(13, 20), QPointF(4, 29));
    painter.setPen(Qt::NoPen);
    painter.setBrush(navy);
    painter.fillRect(18, 23, 11, 3, navy); // divide
    painter.drawEllipse(QPointF(23.5, 19.5), 1.8, 1.8);
    painter.drawEllipse(QPointF(23.5, 29.5), 1.8, 1.8);
    painter.end();
    return QIcon(picture);
}
