#pragma once

// The program's nine windows: one global instance each, created once at start-up by the window
// set (app/) in this order; form1 is the main window. A window asks for another by a signal and
// gets what it needs as values; only the window set, which wires those signals, knows them all.
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
