#include "exercise/pictures.h"

#include "common/crisp.h"
#include "common/failure.h"
#include "common/jpeg_image.h"
#include "common/style.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace style;

namespace exercise_pictures {

namespace {

const QColor kOutline(10, 36, 120); // dark blue round the white letters

struct ButtonStyle {
    QColor top;
    QColor bottom;
    QColor frame;
    QColor edge; // the lower edge
    int edgeRows;
    int textPixels;
};

// Almost white at the top to bright blue, dark grey frame, black lower edge.
const ButtonStyle kStartStyle{
    QColor(248, 251, 255), QColor(30, 140, 247), QColor(72, 72, 72), Qt::black, 2, 22};
// White to bright blue with a dark navy lower edge.
const ButtonStyle kNavyStyle{
    QColor(255, 255, 255), QColor(30, 145, 255), QColor(3, 42, 81), QColor(3, 42, 81), 3, 21};

QColor mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

// White letters with a dark blue rim, centred on `area` by their capital height so that
// descenders (j, y) do not push the word up.
void drawOutlinedText(QPainter& p, const QRectF& area, const QString& text, const QFont& font, qreal rim) {
    const QFontMetricsF metrics(font);
    const qreal x = area.left() + (area.width() - metrics.horizontalAdvance(text)) / 2;
    const qreal baseline = area.top() + (area.height() + metrics.capHeight()) / 2;
    QPainterPath path;
    path.addText(QPointF(x, baseline), font, text);
    p.strokePath(path, QPen(kOutline, rim, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, Qt::white);
}

QPixmap glossyButton(const QSize& size, const QString& word, const ButtonStyle& style, const QColor& ground,
                     qreal ratio) {
    QPixmap pixmap = crisp::canvas(size, ratio, ground);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const qreal radius = 6;
    const QRectF whole(0, 0, size.width(), size.height());

    // The lower edge shows beneath the face.
    p.setPen(Qt::NoPen);
    p.setBrush(style.edge);
    p.drawRoundedRect(whole, radius, radius);

    // The face: a glossy shading with a brighter upper half.
    const QRectF face = whole.adjusted(0, 0, 0, -style.edgeRows);
    QLinearGradient shade(face.topLeft(), face.bottomLeft());
    shade.setColorAt(0.0, style.top);
    shade.setColorAt(0.45, mix(style.top, style.bottom, 0.35));
    shade.setColorAt(0.55, mix(style.top, style.bottom, 0.75));
    shade.setColorAt(1.0, style.bottom);
    p.setBrush(shade);
    p.drawRoundedRect(face, radius, radius);

    // One-pixel frame round the whole button.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(style.frame, 1));
    p.drawRoundedRect(whole.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    drawOutlinedText(p, face, word, pixelFont(QStringLiteral("Arial"), style.textPixels, true), 3);
    return pixmap;
}

} // namespace

QPixmap startButton(qreal ratio) {
    return glossyButton(QSize(104, 38), QStringLiteral("START"), kStartStyle, Qt::transparent, ratio);
}

QPixmap backButton(qreal ratio) {
    return glossyButton(QSize(141, 37), QStringLiteral("WSTECZ"), kNavyStyle, Qt::transparent, ratio);
}

QPixmap againButton(qreal ratio) {
    return glossyButton(QSize(142, 37), QStringLiteral("Od nowa"), kNavyStyle, Qt::transparent, ratio);
}

QPixmap drawnSaveButton(qreal ratio) {
    // A JPEG has no transparency, so the corners take the panel's colour.
    return glossyButton(kSaveButtonSize, QStringLiteral("Zapisz swój wynik"), kNavyStyle, kSkyBlue, ratio);
}

QPixmap saveButtonFrom(const QString& resource, QString* failure, qreal ratio) {
    const cyfrolia::Result<QImage> decoded = loadJpegResource(resource);
    if (decoded)
        return crisp::reduced(decoded.value(), kSaveButtonSize, ratio);
    if (failure)
        *failure = decoded.failure();
    return drawnSaveButton(ratio);
}

namespace {

struct SavePicture {
    QImage image; // twice the logical size; null when the JPEG could not be decoded
    QString failure;
};

// Decoded once for the four windows, when the first of them shows its summary.
const SavePicture& savePicture() {
    static const SavePicture picture = [] {
        SavePicture picture;
        cyfrolia::Result<QImage> decoded = loadJpegResource(kSaveButtonResource);
        if (decoded)
            picture.image = std::move(decoded).value();
        else
            picture.failure = decoded.failure();
        return picture;
    }();
    return picture;
}

} // namespace

QPixmap saveButton(qreal ratio) {
    const SavePicture& picture = savePicture();
    return picture.image.isNull() ? drawnSaveButton(ratio)
                                  : crisp::reduced(picture.image, kSaveButtonSize, ratio);
}

QString saveButtonFailure() {
    return savePicture().failure;
}

QPixmap minusSign(qreal ratio) {
    // Grey ground one row above the bar and two below; not transparent.
    QPixmap pixmap = crisp::canvas(QSize(49, 12), ratio, kLightGrey);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(0, 1, 49, 9), 4.5, 4.5);
    return pixmap;
}

QPixmap divisionSign(qreal ratio) {
    // Dot (11 high), 6 px gap, bar (9 thick), 6 px gap, dot: 43 rows exactly.
    QPixmap pixmap = crisp::canvas(QSize(49, 43), ratio, kSkyBlue);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(0, 17, 49, 9), 4.5, 4.5);
    const qreal dotLeft = (49 - 12) / 2.0;
    p.drawEllipse(QRectF(dotLeft, 0, 12, 11));
    p.drawEllipse(QRectF(dotLeft, 32, 12, 11));
    return pixmap;
}

namespace {

// The sign in a 32 x 32 box.
void paintIcon(QPainter& p, cyfrolia::Operation op) {
    using cyfrolia::Operation;
    p.setPen(Qt::NoPen);
    p.setBrush(kLightGrey);
    const QRectF across(0, 14, 32, 4);
    const QRectF down(14, 0, 4, 32);
    switch (op) {
    case Operation::Addition:
        p.drawRoundedRect(across, 2, 2);
        p.drawRoundedRect(down, 2, 2);
        break;
    case Operation::Subtraction:
        p.drawRoundedRect(across, 2, 2);
        break;
    case Operation::Multiplication:
        // Corner to corner: round caps half a bar wide end at the corners.
        p.setPen(QPen(kLightGrey, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2, 2), QPointF(30, 30));
        p.drawLine(QPointF(30, 2), QPointF(2, 30));
        break;
    case Operation::Division:
        p.drawRoundedRect(across, 2, 2);
        p.drawEllipse(QRectF(13, 5, 6, 6));
        p.drawEllipse(QRectF(13, 21, 6, 6));
        break;
    }
}

} // namespace

QPixmap iconPixmap(cyfrolia::Operation op) {
    return windowIcon(op).pixmap(QSize(32, 32), 1.0);
}

QIcon windowIcon(cyfrolia::Operation op) {
    return crisp::drawnIcon(QSizeF(32, 32), [op](QPainter& p) { paintIcon(p, op); });
}

QCursor sqlWaitCursor(qreal ratio) {
    QPixmap pixmap = crisp::canvas(QSize(32, 32), ratio, Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    // The hourglass: two caps and a glass that narrows to a neck at row 11.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(8, 1, 16, 2));
    p.drawRect(QRectF(8, 19, 16, 2));
    QPainterPath glass;
    glass.moveTo(10, 3);
    glass.lineTo(22, 3);
    glass.lineTo(22, 5);
    glass.lineTo(17.5, 11);
    glass.lineTo(22, 17);
    glass.lineTo(22, 19);
    glass.lineTo(10, 19);
    glass.lineTo(10, 17);
    glass.lineTo(14.5, 11);
    glass.lineTo(10, 5);
    glass.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(glass);

    // Sand: a little left above, a heap below and the stream between.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 96, 0));
    p.drawPolygon(QPolygonF({QPointF(13, 6), QPointF(19, 6), QPointF(16, 9.5)}));
    p.drawPolygon(QPolygonF({QPointF(11.5, 18.5), QPointF(20.5, 18.5), QPointF(16, 14)}));
    p.fillRect(QRectF(15.5, 10, 1, 5), QColor(128, 96, 0));

    // The letters, black with a white rim so they show on any colour.
    QFont font = pixelFont(QStringLiteral("Arial"), 10, true);
    const QFontMetricsF metrics(font);
    const QString sql = QStringLiteral("SQL");
    QPainterPath letters;
    letters.addText(QPointF((32 - metrics.horizontalAdvance(sql)) / 2, 30), font, sql);
    p.strokePath(letters, QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(letters, Qt::black);
    p.end();

    // The hot spot sits at the neck of the hourglass, in logical pixels.
    return QCursor(pixmap, 16, 11);
}

} // namespace exercise_pictures
