#pragma once

#include "exercise/operation.h"

#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The exercise windows' pictures, drawn after their descriptions.
namespace exercise_pictures {

// Where the save button's picture is kept.
inline const QString kSaveButtonResource = QStringLiteral(":/images/zapisz_swoj_wynik.jpg");

QPixmap startButton(); // "START", 104 x 38
QPixmap backButton();  // "WSTECZ", 141 x 37
QPixmap againButton(); // "Od nowa", 142 x 37

// "Zapisz swój wynik", 234 x 38, decoded once from the JPEG in the resources. Should that fail,
// the drawn picture stands in so the window stays usable, and saveButtonFailure() tells why.
QPixmap saveButton();
QString saveButtonFailure();

// The JPEG at `resource` decoded as the save button's picture, or the drawn stand-in with the
// reason in `failure`.
QPixmap saveButtonFrom(const QString& resource, QString* failure);

// The same picture drawn here, on the sky-blue ground of the summary panel; the JPEG was made
// from it.
QPixmap drawnSaveButton();

QPixmap minusSign();                        // subtraction operator, 49 x 12
QPixmap divisionSign();                     // division operator, 49 x 43
QPixmap iconPixmap(cyfrolia::Operation op); // 32 x 32, light grey sign on a transparent ground
QIcon windowIcon(cyfrolia::Operation op);
QCursor sqlWaitCursor(); // hourglass with the letters SQL beneath it

} // namespace exercise_pictures
