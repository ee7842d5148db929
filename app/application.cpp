#include "app/application.h"

#include "common/emblem.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QWidget>
#include <QWindow>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Cyfrolia"));
    setApplicationVersion(QStringLiteral("1.0"));
    setOrganizationName(QStringLiteral("Cyfrolia"));
    // Ties the windows to the launcher: the desktop entry's ID here (Wayland's application ID),
    // and on X11 the window class "Cyfrolia", which the entry names as StartupWMClass.
    setDesktopFileName(QStringLiteral("org.example.cyfrolia"));
    // The program's emblem marks its taskbar entry and every window without an icon of its own.
    setWindowIcon(emblem::icon());
    // A window its modal window blocks takes no keys: the keyboard is the modal window's. mutter,
    // closing the class chooser, gives it back to the menu even after the exercise window opened.
    // A free window beside it (the save window) keeps it.
    connect(this, &QGuiApplication::focusWindowChanged, this, [](QWindow* focused) {
        const QWidget* modal = QApplication::activeModalWidget();
        QWindow* modalWindow = modal ? modal->windowHandle() : nullptr;
        if (!focused || !modalWindow)
            return;
        for (const QWindow* owner = modalWindow->transientParent(); owner; owner = owner->transientParent())
            if (owner == focused) {
                modalWindow->requestActivate();
                return;
            }
    });
    // The interface is Polish whatever the user's language, Qt's own texts included (the edit
    // fields' menu, the calendar's tips, standard buttons); dates keep the user's own format.
    if (m_qtTexts.load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTexts);
}
