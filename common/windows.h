#pragma once

#include <QString>

class QWidget;

// The program's nine windows: one global instance each, created once at start-up by the window
// set (app/) in this order; form1 is the main window. Each subsystem defines its own windows and
// reaches another subsystem's windows only through the operations below, so that no subsystem
// includes another.
class Tform1;
class Tform2;
class TForm3;
class TForm5;
class TForm6;
class TAboutBox;
class Tform7;
class Tzapisz;
class Twyniki;

extern Tform1* form1;
extern Tform2* form2;
extern TForm3* Form3;
extern TForm5* Form5;
extern TForm6* Form6;
extern TAboutBox* AboutBox;
extern Tform7* form7;
extern Tzapisz* zapisz;
extern Twyniki* wyniki;

namespace windows {

// The class chooser (shell/): the chosen school class, "I" to "VI", or empty while none has been
// chosen; and the chooser shown modally.
QString schoolClass();
void showClassChooser();

// The openers of the four exercise windows (exercise/), for the menu's operation buttons.
void openAddition();
void openSubtraction();
void openMultiplication();
void openDivision();

// Gives the exercise windows (exercise/) the pace of a school class, in milliseconds.
void setPace(int additionAndSubtraction, int multiplicationAndDivision);

// Shows the save-result window (results/) beside an exercise window, with its grade.
void showSaveResult(QWidget* exerciseWindow, const QString& grade);

// The grades viewer (results/) and the About window (about/), shown modally.
void showGradesViewer();
void showAboutBox();

} // namespace windows
