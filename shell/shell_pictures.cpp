#include "shell/shell_pictures.h"

#include "common/crisp.h"
#include "common/style.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

namespace shell_pictures {

namespace {

const QColor kCover(0, 71, 36);
const QColor kPage(199, 255, 227);
const QColor kInnerPage(210, 255, 232);
const QColor kSigns(179, 255, 217);
const QColor kGrid(166, 210, 255);
using style::kNavy;

constexpr qreal kCoverTop = 22;
constexpr qreal kCoverRight = 428;
constexpr qreal kCoverBottom = 494;
constexpr qreal kRingTop = 4;
constexpr qreal kRingWidth = 9;
constexpr qreal kHoleY = 54;
constexpr int kRingCount = 14;
constexpr qreal kFirstRing = 30;
constexpr qreal kRingStep = 28;

struct Tab {
    qreal top;
    QColor colour;
};
const Tab kTabs[] = {
    {110, QColor(0, 120, 0)},
    {176, QColor(0, 175, 175)},
    {242, QColor(15, 100, 190)},
    {308, QColor(145, 145, 90)},
};
constexpr qreal kTabHeight = 58;
constexpr qreal kTabRight = 444;

QPainterPath tabPath(const Tab& tab) {
    QPainterPath path;
    path.addRoundedRect(QRectF(kCoverRight - 16, tab.top, kTabRight - (kCoverRight - 16), kTabHeight), 9, 9);
    return path;
}

QRectF ringRect(int i) {
    const qreal cx = kFirstRing + i * kRingStep;
    return QRectF(cx - kRingWidth / 2, kRingTop, kRingWidth, kHoleY - kRingTop + 2);
}

QFont roundedBold(qreal pixels) {
    QFont font;
    font.setFamilies({QStringLiteral("Quicksand"), QStringLiteral("Arial Rounded MT Bold"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(qRound(pixels));
    font.setWeight(QFont::Bold);
    return font;
}

} // namespace

QPainterPath notebookOutline() {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, kCoverTop, kCoverRight, kCoverBottom - kCoverTop), 22, 22);
    for (const Tab& tab : kTabs)
        path = path.united(tabPath(tab));
    for (int i = 0; i < kRingCount; ++i) {
        QPainterPath ring;
        ring.addRoundedRect(ringRect(i), kRingWidth / 2, kRingWidth / 2);
        path = path.united(ring);
    }
    return path;
}

QPixmap notebookFace(qreal ratio) {
    QPixmap pixmap = crisp::canvas(QSize(446, 496), ratio, Qt::white);
    QPainter p(&pixmap);

    // The cover's edge is drawn hard so that it meets the mask pixel for pixel.
    QPainterPath cover;
    cover.addRoundedRect(QRectF(0, kCoverTop, kCoverRight, kCoverBottom - kCoverTop), 22, 22);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const Tab& tab : kTabs) {
        const QPainterPath path = tabPath(tab);
        p.fillPath(path, tab.colour);
    }
    p.fillPath(cover, kCover);

    p.setRenderHint(QPainter::Antialiasing, true);
    for (const Tab& tab : kTabs) {
        QLinearGradient shine(kCoverRight, 0, kTabRight, 0);
        shine.setColorAt(0, tab.colour.darker(130));
        shine.setColorAt(0.6, tab.colour.lighter(125));
        shine.setColorAt(1, tab.colour);
        p.setClipRect(QRectF(kCoverRight, 0, 100, 600));
        p.fillPath(tabPath(tab), shine);
        p.setClipping(false);
    }

    // A little light along the cover's top edge gives it thickness.
    QLinearGradient coverShade(0, kCoverTop, 0, kCoverBottom);
    coverShade.setColorAt(0, kCover.lighter(150));
    coverShade.setColorAt(0.06, kCover);
    coverShade.setColorAt(1, kCover.darker(120));
    p.setClipPath(cover);
    p.fillRect(QRectF(0, kCoverTop, kCoverRight, kCoverBottom - kCoverTop), coverShade);
    p.setClipping(false);

    // The page with a soft shadow below and to the right.
    const QRectF page(8, 38, 412, 448);
    QPainterPath pagePath;
    pagePath.addRoundedRect(page, 16, 16);
    p.fillPath(pagePath.translated(3, 3), QColor(0, 0, 0, 70));
    p.fillPath(pagePath, kPage);
    p.setPen(QPen(kPage.darker(125), 1));
    p.drawPath(pagePath);

    // Punched holes and the wire rings through them.
    for (int i = 0; i < kRingCount; ++i) {
        const QRectF ring = ringRect(i);
        const qreal cx = ring.center().x();
        p.setPen(Qt::NoPen);
        p.setBrush(kCover.darker(160));
        p.drawEllipse(QPointF(cx, kHoleY), 6, 5);
        QLinearGradient metal(ring.left(), 0, ring.right(), 0);
        metal.setColorAt(0, QColor(95, 100, 105));
        metal.setColorAt(0.45, QColor(245, 248, 250));
        metal.setColorAt(1, QColor(120, 125, 130));
        p.setBrush(metal);
        p.setPen(QPen(QColor(70, 75, 80), 1));
        p.drawRoundedRect(ring.adjusted(0.5, 0.5, -0.5, -0.5), kRingWidth / 2, kRingWidth / 2);
    }

    // Whatever the mask cuts away stays plain white, so no soft edge is left half outside.
    QPainterPath outside;
    outside.addRect(QRectF(0, 0, 446, 496));
    outside = outside.subtracted(notebookOutline());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(outside, Qt::white);
    return pixmap;
}

QPixmap innerPage(qreal ratio) {
    QPixmap pixmap = crisp::canvas(QSize(542, 366), ratio, kInnerPage);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QFont font = roundedBold(30);
    p.setFont(font);
    p.setPen(kSigns);
    const QString signs[] = {QStringLiteral("+"), QStringLiteral("\u2212"), QStringLiteral("\u00d7"),
                             QStringLiteral("\u00f7")};
    int row = 0;
    for (qreal y = 4; y < 366; y += 44, ++row) {
        int col = 0;
        for (qreal x = (row % 2) ? 26 : 4; x < 542; x += 46, ++col)
            p.drawText(QRectF(x, y, 40, 40), Qt::AlignCenter, signs[(col + row) % 4]);
    }
    return pixmap;
}

QPixmap lozengeButton(const QSize& size, const QColor& colour, const QString& word, bool pressed,
                      qreal ratio) {
    QPixmap pixmap = crisp::canvas(size, ratio, Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    const QRectF body = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -2.5);
    const qreal radius = body.height() / 2;

    // A soft shadow under the raised look only; pressed, the button sits flat on the page.
    if (!pressed) {
        QPainterPath shadow;
        shadow.addRoundedRect(body.translated(0, 1.5), radius, radius);
        p.fillPath(shadow, QColor(0, 0, 0, 60));
    }

    QPainterPath shape;
    shape.addRoundedRect(body, radius, radius);
    QLinearGradient fill(0, body.top(), 0, body.bottom());
    const QColor light = colour.lighter(165);
    const QColor dark = colour.darker(165);
    fill.setColorAt(0, pressed ? colour.darker(210) : light);
    fill.setColorAt(0.5, pressed ? colour.darker(115) : colour);
    fill.setColorAt(1, pressed ? colour.lighter(150) : dark);
    p.fillPath(shape, fill);
    p.setPen(QPen(colour.darker(220), 1.2));
    p.drawPath(shape);

    // The gloss: a pale band over the upper half when raised; pressed, the light falls on the
    // lower edge instead, as into a hollow.
    const qreal glossHeight = body.height() * (pressed ? 0.3 : 0.42);
    const QRectF glossRect(body.left() + radius * 0.6,
                           pressed ? body.bottom() - glossHeight - 2 : body.top() + 2,
                           body.width() - radius * 1.2, glossHeight);
    QPainterPath gloss;
    gloss.addRoundedRect(glossRect, glossRect.height() / 2, glossRect.height() / 2);
    QLinearGradient glow(0, glossRect.top(), 0, glossRect.bottom());
    glow.setColorAt(pressed ? 1 : 0, QColor(255, 255, 255, pressed ? 90 : 150));
    glow.setColorAt(pressed ? 0 : 1, QColor(255, 255, 255, pressed ? 0 : 20));
    p.fillPath(gloss, glow);

    // White bold text, as large as fits, with a dark edge to stand out on light colours.
    qreal pixels = 23;
    QFont font = roundedBold(pixels);
    while (pixels > 10 && QFontMetricsF(font).horizontalAdvance(word) > body.width() - radius * 1.1) {
        pixels -= 1;
        font = roundedBold(pixels);
    }
    p.setFont(font);
    const QRectF textRect = body.translated(0, pressed ? 1.5 : 0);
    p.setPen(colour.darker(250));
    p.drawText(textRect.translated(1, 1), Qt::AlignCenter, word);
    p.setPen(Qt::white);
    p.drawText(textRect, Qt::AlignCenter, word);
    return pixmap;
}

QPixmap squaredPaper(qreal ratio) {
    QPixmap pixmap = crisp::canvas(QSize(511, 400), ratio, Qt::white);
    QPainter p(&pixmap);
    // The grid in whole device pixels, so that at a fractional scale every line is equally thick.
    const int thickness = qMax(1, qRound(ratio));
    for (int x = 8; x < 511; x += 16)
        p.fillRect(QRectF(qRound(x * ratio) / ratio, 0, thickness / ratio, 400), kGrid);
    for (int y = 8; y < 400; y += 16)
        p.fillRect(QRectF(0, qRound(y * ratio) / ratio, 511, thickness / ratio), kGrid);

    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QString line = QStringLiteral("Zaznacz klasę do której chodzisz:");
    QFont hand;
    hand.setFamilies(
        {QStringLiteral("Dancing Script"), QStringLiteral("Z003"), QStringLiteral("ElementarzDwa")});
    hand.setWeight(QFont::Bold);
    int pixels = 34;
    hand.setPixelSize(pixels);
    while (pixels > 12 && QFontMetricsF(hand).horizontalAdvance(line) > 420) {
        hand.setPixelSize(--pixels);
    }
    p.setFont(hand);
    p.setPen(kNavy);
    p.drawText(QPointF(16, 38), line);
    return pixmap;
}

} // namespace shell_pictures
