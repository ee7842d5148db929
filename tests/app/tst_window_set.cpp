#include "app/window_set.h"
#include "common/picture_button.h"
#include "common/results_file.h"
#include "exercise/tform2.h"
#include "exercise/tform3.h"
#include "exercise/tform5.h"
#include "exercise/tform6.h"
#include "results/twyniki.h"
#include "results/tzapisz.h"
#include "shell/tform1.h"
#include "shell/tform7.h"
#include "support/modal_driver.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

#include <memory>

namespace {

void closeIt(QWidget* window) {
    window->close();
}

// Watches the menu reach the screen: when the window system first exposes it, a key press is
// queued behind the exposure, as a child's quick press would come. It notes whether the other
// windows were built at each moment.
class FirstInput : public QObject {
public:
    bool builtAtExpose = true;
    bool builtAtKey = false;
    bool keySeen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!form1 || watched != form1->windowHandle())
            return false;
        if (event->type() == QEvent::Expose && !m_queued) {
            m_queued = true;
            builtAtExpose = form2 != nullptr;
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                form1->windowHandle(), QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        } else if (event->type() == QEvent::KeyPress) {
            keySeen = true;
            builtAtKey = form2 != nullptr && wyniki != nullptr && zapisz != nullptr;
        }
        return false;
    }

private:
    bool m_queued = false;
};

} // namespace

// The windows reach each other only through the window set; these are its roads, in the order a
// fresh start takes them.
class TestWindowSet : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowSet> m_windows;
    QTemporaryDir m_dir;
    FirstInput m_firstInput;

private slots:
    void initTestCase() {
        qApp->installEventFilter(&m_firstInput);
        m_windows = std::make_unique<WindowSet>(WindowSet::Start::MenuFirst);
        QVERIFY(m_dir.isValid());
        for (const QString& k : cyfrolia::schoolClasses())
            QVERIFY(QFile(m_dir.filePath(cyfrolia::resultsFileName(k))).open(QIODevice::WriteOnly));
        wyniki->setResultsFolder(m_dir.path() + QLatin1Char('/'));
    }
    void cleanupTestCase() { m_windows.reset(); }

    // The menu is on screen before the other windows are built, and a key pressed the moment it
    // shows waits for them.
    void menuFirstThenEveryWindowBeforeInput() {
        QVERIFY(form1->isVisible());
        QVERIFY(!m_firstInput.builtAtExpose);
        QTRY_VERIFY(m_firstInput.keySeen);
        QVERIFY(m_firstInput.builtAtKey);
        qApp->removeEventFilter(&m_firstInput);
    }

    void openerAsksForAClassWhileNoneIsChosen() {
        QStringList seen = driveModals([] { form1->dodawanieClick(); }, closeIt);
        QCOMPARE(seen, QStringList({form7->objectName(), form2->objectName()}));
        QVERIFY(form7->klasa->toPlainText().isEmpty());
        // The chooser closed by its close box chose nothing: the next opener asks again.
        seen = driveModals([] { form1->odejmowanieClick(); }, closeIt);
        QCOMPARE(seen, QStringList({form7->objectName(), Form5->objectName()}));
    }

    void chosenClassPacesTheFourWindowsAndOpensThemStraight() {
        const QStringList seen = driveModals([] { form1->dodawanieClick(); },
                                             [](QWidget* window) {
                                                 if (window == form7)
                                                     form7->BitBtn1->click();
                                                 else
                                                     window->close();
                                             });
        QCOMPARE(seen, QStringList({form7->objectName(), form2->objectName()}));
        QCOMPARE(form7->klasa->toPlainText(), QStringLiteral("I"));
        QCOMPARE(form2->Timer2->interval(), 300);
        QCOMPARE(Form5->Timer1->interval(), 300);
        QCOMPARE(Form3->Timer2->interval(), 250);
        QCOMPARE(Form6->Timer2->interval(), 250);
        QCOMPARE(driveModals([] { form1->dzielenieClick(); }, closeIt), QStringList({Form6->objectName()}));
        QCOMPARE(driveModals([] { form1->mnozenieClick(); }, closeIt), QStringList({Form3->objectName()}));
    }

    void menuOpensItsOtherWindows() {
        QStringList seen = driveModals([] { form1->Image13Click(); }, closeIt);
        seen += driveModals([] { form1->wyn_wcisClick(); }, closeIt);
        seen += driveModals([] { form1->Image11Click(); }, closeIt);
        QCOMPARE(seen, QStringList({"form7", "wyniki", "AboutBox"}));
    }

    void saveTakesTheGradeAndTheChosenClass() {
        Form3->ocena->setText(QStringLiteral("4"));
        emit Form3->saveButton()->clicked(); // shown only with the summary
        QVERIFY(zapisz->isVisible());
        QCOMPARE(zapisz->klasa->toPlainText(), QStringLiteral("I"));
        QCOMPARE(zapisz->ocena->toPlainText(), QStringLiteral("4"));
        zapisz->close();
    }
};

QTEST_MAIN(TestWindowSet)
#include "tst_window_set.moc"
