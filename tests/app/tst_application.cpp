// While a modal window is open the keyboard is its own: a window it blocks that the window manager
// activates (mutter does so on closing another window) hands it back, one the modal window owns
// keeps it.
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
    QTest::addColumn<bool>("ownedByModal");
    QTest::newRow("blocked by it") << false;
    QTest::newRow("its own") << true;
}

void TestApplication::keyboardStaysWithTheModalWindow() {
    QFETCH(bool, ownedByModal);
    QWidget menu;
    menu.show();
    QVERIFY(QTest::qWaitForWindowActive(&menu));
    QDialog modal(&menu);
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    QVERIFY(QTest::qWaitForWindowActive(&modal));
    QDialog own(&modal);
    own.show();
    QVERIFY(QTest::qWaitForWindowActive(&own));
    modal.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&modal));

    QSignalSpy focus(qApp, &QGuiApplication::focusWindowChanged);
    QWidget& activated = ownedByModal ? static_cast<QWidget&>(own) : menu;
    activated.windowHandle()->requestActivate();
    const auto cameTo = [&focus](const QWindow* window) {
        return std::any_of(focus.cbegin(), focus.cend(), [window](const QList<QVariant>& change) {
            return change.first().value<QWindow*>() == window;
        });
    };
    QTRY_VERIFY(cameTo(activated.windowHandle()));
    QWindow* const expected = ownedByModal ? own.windowHandle() : modal.windowHandle();
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
