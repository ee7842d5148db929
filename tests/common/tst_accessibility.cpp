#include "common/accessibility.h"

#include <QAccessible>
#include <QCalendarWidget>
#include <QLabel>
#include <QTest>
#include <QToolButton>

// What screen readers meet where Qt alone would give them an unnamed picture.
class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void pictureOfWordsReadsAsThem();
    void calendarArrowsAreNamed();
};

void AccessibilityTest::pictureOfWordsReadsAsThem() {
    QLabel picture;
    picture.setPixmap(QPixmap(40, 20));
    accessibility::readAsText(&picture, QStringLiteral("Zaznacz klasę do której chodzisz:"));
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&picture);
    QCOMPARE(read->role(), QAccessible::StaticText);
    QCOMPARE(read->text(QAccessible::Name), QStringLiteral("Zaznacz klasę do której chodzisz:"));
    QCOMPARE(read->textInterface()->text(0, 7), QStringLiteral("Zaznacz"));
}

void AccessibilityTest::calendarArrowsAreNamed() {
    QCalendarWidget calendar;
    accessibility::nameCalendarArrows(&calendar);
    QStringList names;
    for (const char* arrow : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"}) {
        auto* button = calendar.findChild<QToolButton*>(QLatin1String(arrow));
        QVERIFY(button);
        names << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
    }
    QCOMPARE(names, QStringList({"Poprzedni miesiąc", "Następny miesiąc"}));
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
