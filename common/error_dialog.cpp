#include "common/error_dialog.h"

#include "common/failure.h"

#include <QApplication>
#include <QMessageBox>

void showErrorDialog(const QString& message, QWidget* parent) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Cyfrolia 1.0"), cyfrolia::errorDialogText(message),
                    QMessageBox::Ok, parent ? parent : QApplication::activeWindow());
    box.setObjectName(QStringLiteral("errorDialog"));
    box.exec();
    // As when any of the program's windows closes, the keyboard goes back to the one beneath.
    if (QWidget* beneath = box.parentWidget(); beneath && beneath->isVisible())
        beneath->window()->activateWindow();
}
