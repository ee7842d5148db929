#include "app/application.h"

#include "common/emblem.h"

#include <QIcon>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Cyfrolia"));
    setApplicationVersion(QStringLiteral("1.0"));
    setOrganizationName(QStringLiteral("Cyfrolia"));
    // The program's emblem marks its taskbar entry and every window without an icon of its own.
    setWindowIcon(emblem::icon());
}
