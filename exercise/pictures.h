#pragma once

#include "exercise/operation.h"

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The exercise windows' pictures, drawn after their descriptions.
namespace exercise_pictures {

QPixmap startButton();  // "START", 104 x 38
QPixmap backButton();   // "WSTECZ", 141 x 37
QPixmap againButton();  // "Od nowa", 142 x 37
QPixmap saveButton();   // "Zapisz swój wynik", 234 x 38, decoded from the JPEG in the resources
QPixmap minusSign();    // subtraction operator, 49 x 12
QPixmap divisionSign(); // division operator, 49 x 43
QIcon windowIcon(cyfrolia::Operation op); // 32 x 32, light grey sign on a transparent ground
QCursor sqlWaitCursor(); // hourglass with the letters SQL beneath it

} // namespace exercise_pictures
