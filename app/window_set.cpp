#include "app/window_set.h"

#include "about/link.h"
#include "about/link_checker.h"
#include "about/tabout_box.h"
#include "exercise/tform2.h"
#include "exercise/tform3.h"
#include "exercise/tform5.h"
#include "exercise/tform6.h"
#include "results/twyniki.h"
#include "results/tzapisz.h"
#include "shell/tform1.h"
#include "shell/tform7.h"

#include <QWidget>

// Only for the end-to-end tests, which find controls on the accessibility bus by their names:
// with CYFROLIA_TEST_IDS=1 at start-up every control without a description of its own carries
// its name there. Qt 6.4 has no accessible id to put it in, and screen readers read
// descriptions aloud, so without the variable nothing is exposed.
static void exposeTestIds(QWidget* window) {
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets)
        if (w->accessibleDescription().isEmpty() && !w->objectName().isEmpty())
            w->setAccessibleDescription(w->objectName());
}

WindowSet::WindowSet() {
    // The links' hover watcher exists before any window and outlives them all.
    CreateLinkWatcher();
    // The windows shown modally from the menu are its children, so their modality blocks the
    // menu alone; the save-result window stays a free window, usable beside an exercise window.
    form1 = new Tform1;
    form2 = new Tform2(form1);
    Form3 = new TForm3(form1);
    Form5 = new TForm5(form1);
    Form6 = new TForm6(form1);
    AboutBox = new TAboutBox(form1);
    form7 = new Tform7(form1);
    zapisz = new Tzapisz;
    wyniki = new Twyniki(form1);

    if (qEnvironmentVariableIntValue("CYFROLIA_TEST_IDS") == 1)
        for (QWidget* window : {static_cast<QWidget*>(form1), static_cast<QWidget*>(zapisz)})
            exposeTestIds(window);
}

WindowSet::~WindowSet() {
    delete zapisz;
    delete form1; // and with it every window it owns
    form1 = nullptr;
    form2 = nullptr;
    Form3 = nullptr;
    Form5 = nullptr;
    Form6 = nullptr;
    AboutBox = nullptr;
    form7 = nullptr;
    zapisz = nullptr;
    wyniki = nullptr;
    FreeLinkWatcher();
}
