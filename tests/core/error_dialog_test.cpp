// A handler that stops at a failing step reports it in the general error dialog, and the program
// carries on.
#include "app/application.h"
#include "common/error_dialog.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class ErrorDialogTest : public QObject {
    Q_OBJECT
private slots:
    void failureInAHandlerIsReportedAndTheLoopGoesOn_data();
    void failureInAHandlerIsReportedAndTheLoopGoesOn();
};

void ErrorDialogTest::failureInAHandlerIsReportedAndTheLoopGoesOn_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QStringLiteral("Bitmap image is not valid") << QStringLiteral("Bitmap image is not valid.");
    QTest::newRow("stop") << QStringLiteral("Cannot open file \"/x\". Gone.") << QStringLiteral("Cannot open file \"/x\". Gone.");
    QTest::newRow("bang") << QStringLiteral("Uwaga!") << QStringLiteral("Uwaga!");
}

void ErrorDialogTest::failureInAHandlerIsReportedAndTheLoopGoesOn()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    bool stepAfterFailure = false;
    bool nextHandlerRan = false;
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;

    QTimer::singleShot(0, qApp, [&] {
        // Reads the dialog once it is up, then dismisses it.
        QTimer::singleShot(50, qApp, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    text = box->text();
                    title = box->windowTitle();
                    icon = box->icon();
                    buttons = int(box->buttons().size());
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
        showErrorDialog(message);
        stepAfterFailure = true;
    });
    QTimer::singleShot(20, qApp, [&] { nextHandlerRan = true; });
    QTRY_VERIFY(nextHandlerRan);
    QTRY_VERIFY(!text.isEmpty());
    QCOMPARE(text, shown);
    QCOMPARE(title, QStringLiteral("Cyfrolia 1.0"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, 1);
    QVERIFY(stepAfterFailure);
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    ErrorDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "error_dialog_test.moc"
