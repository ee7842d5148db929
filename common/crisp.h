#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <functional>

class QImage;
class QLabel;
class QPainter;
class QWidget;

// Pictures made for the screen they are shown on: drawn with as many device pixels as the screen
// has for each logical pixel, so nothing is enlarged and blurred when the desktop is scaled.
namespace crisp {

// Draws a picture at `ratio` device pixels per logical pixel.
using Drawing = std::function<QPixmap(qreal ratio)>;

// A picture of `logical` size at `ratio`, filled with `ground`. A painter on it works in logical
// pixels.
QPixmap canvas(const QSize& logical, qreal ratio, const QColor& ground);

// The size of a picture in logical pixels.
QSize logicalSize(const QPixmap& picture);

// `source`, kept at a larger scale, smoothly reduced to `logical` size at `ratio`.
QPixmap reduced(const QImage& source, const QSize& logical, qreal ratio);

// Calls `draw` with the widget's ratio when the widget is first shown, and again whenever it is
// shown or moved to a screen of another ratio; nothing is drawn before then.
void whenShown(QWidget* widget, std::function<void(qreal ratio)> draw);

// Gives the label the picture `draw` makes, drawn as whenShown() says. A picture the build drew
// ahead for that ratio (the resource ":/drawn/<window>/<label>@<ratio>x", named after the label's
// window and the label) is shown instead of drawing it again: the menu reaches the screen without
// loading a single font.
void setPicture(QLabel* label, Drawing draw);

// Hands every picture setPicture() draws, with its resource name and in the form the resource
// keeps, to `keep`; the build's drawing of the menu ahead of time uses it.
void keepDrawings(std::function<void(const QString& name, const QByteArray& picture)> keep);

// An icon drawn from shapes at whatever size is asked for; `paint` draws into a box of `design`
// size. It offers the usual window icon sizes from 16 to 128 pixels.
QIcon drawnIcon(const QSizeF& design, std::function<void(QPainter&)> paint);

} // namespace crisp
