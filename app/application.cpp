#include "app/application.h"

#include "common/emblem.h"

#include <QIcon>
#include <QLibraryInfo>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Cyfrolia"));
    setApplicationVersion(QStringLiteral("1.0"));
    setOrganizationName(QStringLiteral("Cyfrolia"));
    // The program's emblem marks its taskbar entry and every window without an icon of its own.
    setWindowIcon(emblem::icon());
    // The interface is Polish whatever the user's language, Qt's own texts included (the edit
    // fields' menu, the calendar's tips, standard buttons); dates keep the user's own format.
    if (m_qtTexts.load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTexts);
}
