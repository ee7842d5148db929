// A handler that stops at a failing step reports it in the general error dialog, and the program
// carries on.
#include "app/application.h"
#include "common/error_dialog.h"
#include "support/modal_driver.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestErrorDialog : public QObject {
    Q_OBJECT
private slots:
    void failureInAHandlerIsReportedAndTheLoopGoesOn_data();
    void failureInAHandlerIsReportedAndTheLoopGoesOn();
};

void TestErrorDialog::failureInAHandlerIsReportedAndTheLoopGoesOn_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QStringLiteral("Bitmap image is not valid")
                            << QStringLiteral("Bitmap image is not valid.");
    QTest::newRow("stop") << QStringLiteral("Cannot open file \"/x\". Gone.")
                          << QStringLiteral("Cannot open file \"/x\". Gone.");
    QTest::newRow("bang") << QStringLiteral("Uwaga!") << QStringLiteral("Uwaga!");
}

void TestErrorDialog::failureInAHandlerIsReportedAndTheLoopGoesOn() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    bool stepAfterFailure = false;
    bool nextHandlerRan = false;
    ModalDriver driver;

    QTimer::singleShot(0, qApp, [&] {
        showErrorDialog(message);
        stepAfterFailure = true;
    });
    QTimer::singleShot(0, qApp, [&] { nextHandlerRan = true; });
    QTRY_VERIFY(nextHandlerRan);
    QTRY_COMPARE(driver.seen().size(), 1);
    const ModalDriver::Seen& box = driver.seen().first();
    QCOMPARE(box.text, shown);
    QCOMPARE(box.title, QStringLiteral("Cyfrolia 1.0"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(stepAfterFailure);
}

int main(int argc, char* argv[]) {
    Application app(argc, argv);
    TestErrorDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_error_dialog.moc"
