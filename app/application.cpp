#include "app/application.h"

#include "common/error_dialog.h"
#include "common/failure.h"

#include <QIcon>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Cyfrolia"));
    setApplicationVersion(QStringLiteral("1.0"));
    setOrganizationName(QStringLiteral("Cyfrolia"));
    // The program's emblem marks its taskbar entry and every window without an icon of its own.
    setWindowIcon(QIcon(QStringLiteral(":/images/about_emblem.png")));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const cyfrolia::Failure& failure) {
        showErrorDialog(failure.message());
    } catch (const std::exception& error) {
        showErrorDialog(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
