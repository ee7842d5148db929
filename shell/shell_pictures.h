#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPixmap>
#include <QString>

// The pictures of the main menu and the class chooser. Each is drawn at `ratio` device pixels per
// logical pixel; the sizes given are logical.
namespace shell_pictures {

// The menu's outline in window coordinates: the green cover with rounded corners, the index
// tabs on its right and the rings of the spiral above it. forma.bmp is this path filled.
QPainterPath notebookOutline();

// Image10: the whole face of the menu, 446 x 496.
QPixmap notebookFace(qreal ratio = 1);

// Image9: the inner page with faint rows of arithmetic signs, 542 x 366.
QPixmap innerPage(qreal ratio = 1);

// A glossy lozenge button: raised when normal, pressed for the hover look.
QPixmap lozengeButton(const QSize& size, const QColor& colour, const QString& word, bool pressed,
                      qreal ratio = 1);

// tlo: squared paper with the handwritten request, 511 x 400.
QPixmap squaredPaper(qreal ratio = 1);

} // namespace shell_pictures
