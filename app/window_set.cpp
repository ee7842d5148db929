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

#include <QEventLoop>
#include <QWidget>
#include <QWindow>

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

// The roads between the windows: the menu opens the others, an exercise window asks for a class
// first while none is chosen, the class sets the pace, and a finished series goes to the saver.
static void connectWindows() {
    ExerciseWindow* const exercises[] = {form2, Form5, Form3, Form6};
    const auto open = [](ExerciseWindow* window) { return [window] { window->open(form7->schoolClass()); }; };
    QObject::connect(form1, &Tform1::openAddition, form2, open(form2));
    QObject::connect(form1, &Tform1::openSubtraction, Form5, open(Form5));
    QObject::connect(form1, &Tform1::openMultiplication, Form3, open(Form3));
    QObject::connect(form1, &Tform1::openDivision, Form6, open(Form6));
    QObject::connect(form1, &Tform1::openClassChooser, form7, &AppWindow::showModal);
    QObject::connect(form1, &Tform1::openGrades, wyniki, &AppWindow::showModal);
    QObject::connect(form1, &Tform1::openAbout, AboutBox, &AppWindow::showModal);
    QObject::connect(form7, &Tform7::classChosen, form2,
                     [](const QString&, int additionAndSubtraction, int other) {
                         form2->setPace(additionAndSubtraction);
                         Form5->setPace(additionAndSubtraction);
                         Form3->setPace(other);
                         Form6->setPace(other);
                     });
    for (ExerciseWindow* window : exercises) {
        QObject::connect(window, &ExerciseWindow::classNeeded, form7, &AppWindow::showModal);
        QObject::connect(window, &ExerciseWindow::saveRequested, zapisz, [window](const QString& grade) {
            zapisz->showResult(window, form7->schoolClass(), grade);
        });
    }
}

// Returns once the window's first frame is drawn: Qt draws it as the window system first exposes
// the window. Input meanwhile waits in the queue for the windows it may lead to.
static void waitForFirstFrame(QWidget* window) {
    QWindow* const handle = window->windowHandle();
    if (!handle || handle->isExposed())
        return;
    class Exposed : public QObject {
    public:
        explicit Exposed(QEventLoop* loop) : m_loop(loop) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
                m_loop->quit(); // after this event, whose handling draws the frame
            return false;
        }

    private:
        QEventLoop* m_loop;
    };
    QEventLoop loop;
    Exposed exposed(&loop);
    handle->installEventFilter(&exposed);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    handle->removeEventFilter(&exposed);
}

WindowSet::WindowSet(Start start) {
    // The links' hover watcher exists before any window and outlives them all.
    CreateLinkWatcher();
    form1 = new Tform1;
    if (start == Start::MenuFirst) {
        form1->show();
        waitForFirstFrame(form1);
    }
    // The windows shown modally from the menu are its children, so their modality blocks the
    // menu alone; the save-result window stays a free window, usable beside an exercise window.
    form2 = new Tform2(form1);
    Form3 = new TForm3(form1);
    Form5 = new TForm5(form1);
    Form6 = new TForm6(form1);
    AboutBox = new TAboutBox(form1);
    form7 = new Tform7(form1);
    zapisz = new Tzapisz;
    wyniki = new Twyniki(form1);

    connectWindows();

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
