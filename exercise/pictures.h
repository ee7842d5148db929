#pragma once

#include "exercise/operation.h"

#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The exercise windows' pictures, drawn after their descriptions at `ratio` device pixels per
// logical pixel; the sizes given are logical.
namespace exercise_pictures {

// Where the save button's picture is kept, at twice its logical size.
inline const QString kSaveButtonResource = QStringLiteral(":/images/zapisz_swoj_wynik.jpg");
inline constexpr QSize kSaveButtonSize{234, 38};

QPixmap startButton(qreal ratio = 1); // "START", 104 x 38
QPixmap backButton(qreal ratio = 1);  // "WSTECZ", 141 x 37
QPixmap againButton(qreal ratio = 1); // "Od nowa", 142 x 37

// "Zapisz swój wynik", 234 x 38, reduced from the JPEG in the resources, which is decoded once.
// Should that fail, the drawn picture stands in so the window stays usable, and
// saveButtonFailure() tells why.
QPixmap saveButton(qreal ratio = 1);
QString saveButtonFailure();

// The JPEG at `resource` decoded as the save button's picture, or the drawn stand-in with the
// reason in `failure`.
QPixmap saveButtonFrom(const QString& resource, QString* failure, qreal ratio = 1);

// The same picture drawn here, on the sky-blue ground of the summary panel; the JPEG was made
// from it at twice the size.
QPixmap drawnSaveButton(qreal ratio = 1);

QPixmap minusSign(qreal ratio = 1);         // subtraction operator, 49 x 12
QPixmap divisionSign(qreal ratio = 1);      // division operator, 49 x 43
QPixmap iconPixmap(cyfrolia::Operation op); // 32 x 32, light grey sign on a transparent ground
QIcon windowIcon(cyfrolia::Operation op);   // the same sign at every size
QCursor sqlWaitCursor(qreal ratio = 1);     // hourglass with the letters SQL beneath it, 32 x 32

} // namespace exercise_pictures
