// While a modal window is open the keyboard is its own: the window it blocks, if the window
// manager activates it (mutter does so on closing another window), hands it back; one the modal
// window owns, or a free window beside it, keeps it.
#include "app/application.h"

#include <QDialog>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void keyboardStaysWithTheModalWindow_data();
    void keyboardStaysWithTheModalWindow();
};

void TestApplication::keyboardStaysWithTheModalWindow_data() {
    QTest::addColumn<QString>("activated");
    QTest::addColumn<QString>("keeps");
    QTest::newRow("blocked by it") << "menu"
                                   << "modal";
    QTest::newRow("its own") << "own"
                             << "own";
    QTest::newRow("free beside it") << "free"
                                    << "free";
}

void TestApplication::keyboardStaysWithTheModalWindow() {
    QFETCH(QString, activated);
    QFETCH(QString, keeps);
    // The menu, an exercise window modal to it, a window of the exercise window's own, and one
    // with no owner, as the save window is.
    QWidget menu;
    QDialog modal(&menu);
    modal.setWindowModality(Qt::WindowModal);
    QDialog own(&modal);
    QWidget free;
    const QMap<QString, QWidget*> windows{{"menu", &menu}, {"modal", &modal}, {"own", &own}, {"free", &free}};
    for (QWidget* window :
         {static_cast<QWidget*>(&menu), &free, static_cast<QWidget*>(&own), static_cast<QWidget*>(&modal)}) {
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    QSignalSpy focus(qApp, &QGuiApplication::focusWindowChanged);
    QWindow* const came = windows[activated]->windowHandle();
    came->requestActivate();
    const auto cameTo = [&focus](const QWindow* window) {
        return std::any_of(focus.cbegin(), focus.cend(), [window](const QList<QVariant>& change) {
            return change.first().value<QWindow*>() == window;
        });
    };
    QTRY_VERIFY(cameTo(came));
    QWindow* const expected = windows[keeps]->windowHandle();
    QTRY_COMPARE(QGuiApplication::focusWindow(), expected);
    // Nothing more follows: the one it came to stays with it.
    QCoreApplication::processEvents();
    QCOMPARE(QGuiApplication::focusWindow(), expected);
}

int main(int argc, char* argv[]) {
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
