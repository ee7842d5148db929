#include "common/accessibility.h"
#include "common/results_file.h"
#include "teacher/class_tabs.h"
#include "teacher/print_preview.h"
#include "teacher/pupil_table.h"
#include "teacher/pupil_view.h"
#include "teacher/sort_header.h"
#include "teacher/teacher_window.h"

#include <QAccessible>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

// The teacher's window over class files on disk: finding a pupil by the search field and seeing
// their grades in the chart and, line by line as written, in the list; every action by keyboard,
// what a screen reader hears, the printout.
class TestPupilView : public QObject {
    Q_OBJECT

private slots:
    void findsAPupilAndShowsTheirGrades_data();
    void findsAPupilAndShowsTheirGrades();
    void keepsLinesThatAreNoGrades();
    void marksUncertainDates();
    void reachesEveryActionByKeyboard();
    void givesScreenReadersOneFocusAndTheNews();
    void printsEveryPageWithTheClassTheDayAndItsNumber();
    void drawsOnePointADayAtMost();
    void opensWithinTheScreen();

private:
    // The window over a folder that holds one class file, `content` as `schoolClass`'s.
    std::unique_ptr<teacher::TeacherWindow> openOver(const QString& schoolClass, const QByteArray& content);

    QTemporaryDir m_dir;
};

namespace {

const QDate kToday(2026, 12, 8);

// Class II: Łucja saved four times, once with her name typed differently and once with a date
// edited into words; a line was added by hand; Michał's name was typed with blanks around it.
const QByteArray kClassII = "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 2. Dnia: 7.09.2026\r\n"
                            "Ala Nowak. Ocena: 6. Dnia: 2026-09-08\r\n"
                            "\xB3ucja  zolc. Ocena: 4. Dnia: 14.09.2026\r\n"
                            "Poprawiono: Ala 5\r\n"
                            "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 5. Dnia: wczoraj\r\n"
                            "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 6. Dnia: 21 wrze\x9Cnia 2026\r\n"
                            "  Micha\xB3   \x8C"
                            "cibor. Ocena: 3. Dnia: 22.09.2026\r\n"
                            "Ala Nowakowska. Ocena: 1. Dnia: 22.09.2026\r\n";

QStringList items(const QAbstractItemView* list) {
    QStringList out;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        out.append(list->model()->index(i, 0).data().toString());
    return out;
}

QString decoded(const QByteArray& line) {
    return cyfrolia::textForDisplay(line);
}

QList<int> plotted(const teacher::PupilView* view, const char* series) {
    QList<int> out;
    for (QAbstractSeries* s : view->chartView->chart()->series()) {
        if (s->objectName() == QLatin1String(series)) {
            for (const QPointF& p : static_cast<QScatterSeries*>(s)->points())
                out.append(int(p.y()));
        }
    }
    return out;
}

QAbstractSeries* seriesNamed(const teacher::PupilView* view, const char* name) {
    for (QAbstractSeries* s : view->chartView->chart()->series()) {
        if (s->objectName() == QLatin1String(name))
            return s;
    }
    return nullptr;
}

// The accessible objects below `root` that carry the focused state, by the widget they are or
// whose item they are.
QList<QObject*> focusedBelow(QAccessibleInterface* root) {
    QList<QObject*> focused;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (!child)
            continue;
        if (child->state().focused)
            focused.append(child->object() ? child->object() : root->object());
        focused += focusedBelow(child);
    }
    return focused;
}

} // namespace

std::unique_ptr<teacher::TeacherWindow> TestPupilView::openOver(const QString& schoolClass,
                                                                const QByteArray& content) {
    for (const QString& k : cyfrolia::schoolClasses())
        QFile::remove(m_dir.filePath(cyfrolia::resultsFileName(k)));
    QFile file(m_dir.filePath(cyfrolia::resultsFileName(schoolClass)));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    file.close();
    auto window = std::make_unique<teacher::TeacherWindow>(m_dir.path() + QLatin1Char('/'), kToday);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the teacher's window was not shown");
    window->classes->setCurrentIndex(cyfrolia::schoolClasses().indexOf(schoolClass));
    return window;
}

void TestPupilView::findsAPupilAndShowsTheirGrades_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("rows");       // names in the table, in order
    QTest::addColumn<QString>("counts");         // what the count says
    QTest::addColumn<QStringList>("lines");      // the first row's lines, as written
    QTest::addColumn<QList<int>>("chartGrades"); // the first row's dated grades, in date order

    const QStringList lucja = {decoded("\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 2. Dnia: 7.09.2026"),
                               decoded("\xB3ucja  zolc. Ocena: 4. Dnia: 14.09.2026"),
                               decoded("\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 5. Dnia: wczoraj"),
                               decoded("\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 6. Dnia: 21 wrze\x9Cnia 2026")};
    const QString ala = QStringLiteral("Ala Nowak. Ocena: 6. Dnia: 2026-09-08");
    QTest::newRow("everyone, by name")
        << QString() << QStringList{"Ala Nowak", "Ala Nowakowska", "Łucja Żółć", "Michał Ścibor"}
        << "Uczniów: 4, zapisanych ocen: 7." << QStringList{ala} << QList<int>{6};
    QTest::newRow("case and blanks aside")
        << "  ŁUCJA   żółć " << QStringList{"Łucja Żółć"} << "Pasuje uczniów: 1 z 4, ich ocen: 4." << lucja
        << QList<int>{2, 4, 6};
    QTest::newRow("without Polish letters")
        << "lucja zolc" << QStringList{"Łucja Żółć"} << "Pasuje uczniów: 1 z 4, ich ocen: 4." << lucja
        << QList<int>{2, 4, 6};
    QTest::newRow("part of a name") << "nowak" << QStringList{"Ala Nowak", "Ala Nowakowska"}
                                    << "Pasuje uczniów: 2 z 4, ich ocen: 2." << QStringList{ala}
                                    << QList<int>{6};
    QTest::newRow("nobody") << "Zenek" << QStringList{} << "Pasuje uczniów: 0 z 4, ich ocen: 0."
                            << QStringList{} << QList<int>{};
}

void TestPupilView::findsAPupilAndShowsTheirGrades() {
    QFETCH(QString, typed);
    QFETCH(QStringList, rows);
    QFETCH(QString, counts);
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, chartGrades);

    const auto opened = openOver(QStringLiteral("II"), kClassII);
    teacher::TeacherWindow& window = *opened;
    QVERIFY(window.failure->isHidden());

    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(window.search->hasFocus());
    window.search->insert(typed); // as typed (QTest types only ASCII)
    QTableView* table = window.pupils;
    QStringList shown;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        shown.append(table->model()->index(row, teacher::PupilTable::Name).data().toString());
    QCOMPARE(shown, rows);
    QCOMPARE(window.counts->text(), counts);

    // The first row found is shown at once; Down goes on from the search field into the table.
    QCOMPARE(items(window.pupilView->lines), lines);
    QTest::keyClick(window.search, Qt::Key_Down);
    QCOMPARE(table->hasFocus(), !rows.isEmpty());
    QCOMPARE(plotted(window.pupilView, "points"), chartGrades);
    if (!rows.isEmpty()) {
        // A screen reader finds whose lines these are, and the summary says what the chart leaves out.
        QVERIFY(window.pupilView->lines->accessibleName().endsWith(rows.first()));
        QCOMPARE(window.pupilView->summary->text().contains(QStringLiteral("bez czytelnej daty")),
                 chartGrades.size() < lines.size());
    }
}

void TestPupilView::keepsLinesThatAreNoGrades() {
    const auto opened = openOver(QStringLiteral("I"), kClassII);
    teacher::TeacherWindow& window = *opened;
    QVERIFY(window.unread->isVisible());
    QCOMPARE(window.unread->accessibleName(), QStringLiteral("Wiersze bez oceny: 1"));
    // A mnemonic presses the button visibly: the click lands a moment later. The line comes with
    // its number in the file, to be found and mended there.
    QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);
    QTRY_COMPARE(items(window.pupilView->lines), QStringList{QStringLiteral("wiersz 4: Poprawiono: Ala 5")});
    QVERIFY(window.pupilView->lines->hasFocus());

    // Where there is no such line the button is hidden, and Alt+W types nothing.
    window.classes->setCurrentIndex(1);
    QVERIFY(window.unread->isHidden());
    window.search->setFocus();
    QTest::keyClick(window.search, Qt::Key_W, Qt::AltModifier);
    QCOMPARE(window.search->text(), QString());
}

void TestPupilView::marksUncertainDates() {
    // An American date on its own: February 6th or June 2nd, and nothing in the file tells.
    const auto opened = openOver(QStringLiteral("III"), "Zofia Fik. Ocena: 4. Dnia: 2/6/26\r\n");
    teacher::TeacherWindow& window = *opened;
    const QModelIndex date = window.pupils->model()->index(0, teacher::PupilTable::LastDate);
    QCOMPARE(date.data().toString(), QStringLiteral("6.02 lub 2.06.2026"));
    QCOMPARE(date.data(Qt::AccessibleTextRole).toString(),
             QStringLiteral("6 lutego lub 2 czerwca 2026, data niepewna"));
    QVERIFY(plotted(window.pupilView, "points").isEmpty());
    QCOMPARE(plotted(window.pupilView, "uncertain"), QList<int>{4});
    QCOMPARE(window.pupilView->pointTip(seriesNamed(window.pupilView, "uncertain"), 0),
             QStringLiteral("Ocena 4, 6.02 lub 2.06.2026 (data niepewna)"));
    QVERIFY(window.pupilView->summary->text().contains(QStringLiteral("niepewną datą")));
}

void TestPupilView::reachesEveryActionByKeyboard() {
    const auto opened = openOver(QStringLiteral("II"), kClassII);
    teacher::TeacherWindow& window = *opened;
    QTableView* table = window.pupils;
    table->setFocus();

    // Shift+F10 opens the sort menu as the menu key does.
    QTest::keyClick(table, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(window.sortMenu->isVisible());
    window.sortMenu->close();

    // The column titles sort from the keyboard: Right to "Ocen", Space, Space again.
    window.sortHeader->setFocus();
    QTest::keyClick(window.sortHeader, Qt::Key_Right);
    QTest::keyClick(window.sortHeader, Qt::Key_Space);
    QCOMPARE(window.sortHeader->sortIndicatorSection(), int(teacher::PupilTable::Count));
    QCOMPARE(table->model()->index(0, teacher::PupilTable::Count).data().toInt(), 1);
    QTest::keyClick(window.sortHeader, Qt::Key_Space);
    QCOMPARE(table->model()->index(0, teacher::PupilTable::Count).data().toInt(), 4);
    QVERIFY(window.sortHeader->accessibleName().contains(QStringLiteral("Ocen, malejąco")));

    // Enter opens the chosen pupil: their lines take the keyboard and the summary is said.
    QSignalSpy said(window.announcer, &Announcer::announced);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Return);
    QVERIFY(window.pupilView->lines->hasFocus());
    QCOMPARE(said.size(), 1);
    QCOMPARE(said.first().first().toString(), window.pupilView->summary->text());

    // Ctrl+Shift+Tab goes back a class, as X11 gives it (Backtab) and as typed.
    QTest::keyClick(&window, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(window.classes->currentIndex(), 0);
    QTest::keyClick(&window, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(window.classes->currentIndex(), 1);

    // Ctrl+P opens the print preview; there Ctrl+P opens the print dialog.
    QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
    teacher::PrintPreview* preview = nullptr;
    QTRY_VERIFY((preview = window.findChild<teacher::PrintPreview*>()) && preview->isVisible());
    QTRY_VERIFY(preview->isActiveWindow());
    QTest::keyClick(preview, Qt::Key_P, Qt::ControlModifier);
    QPrintDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = preview->findChild<QPrintDialog*>()) && dialog->isVisible());
    dialog->reject();
    preview->reject();
}

void TestPupilView::givesScreenReadersOneFocusAndTheNews() {
    const auto opened = openOver(QStringLiteral("II"), kClassII);
    teacher::TeacherWindow& window = *opened;
    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(&window);
    QToolButton* clear = window.search->findChild<QToolButton*>();
    QVERIFY(clear);
    QCOMPARE(clear->accessibleName(), QStringLiteral("Wyczyść szukanie"));

    // Only the focused widget, or its current item, carries the focused state.
    for (QWidget* focus :
         {static_cast<QWidget*>(window.search), static_cast<QWidget*>(window.pupils),
          static_cast<QWidget*>(window.pupilView->lines), static_cast<QWidget*>(window.classes)}) {
        focus->setFocus();
        QVERIFY(focus->hasFocus());
        // The widget itself and its current item, if it has one.
        const QList<QObject*> focused = focusedBelow(top);
        QVERIFY(!focused.isEmpty() && focused.size() <= 2);
        for (QObject* object : focused)
            QCOMPARE(object, focus);
    }

    // Another class is announced by name; the table's row is what the keyboard is on.
    QSignalSpy said(window.announcer, &Announcer::announced);
    window.pupils->setFocus();
    QTest::keyClick(&window, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(said.size(), 1);
    QVERIFY(said.first().first().toString().startsWith(QStringLiteral("Klasa III")));
}

void TestPupilView::printsEveryPageWithTheClassTheDayAndItsNumber() {
    QByteArray many;
    for (int i = 0; i < 90; ++i)
        many += "Zofia Fik" + QByteArray::number(i) + ". Ocena: 4. Dnia: 2026-09-01\r\n";
    const auto opened = openOver(QStringLiteral("IV"), many);
    const QString pdf = m_dir.filePath(QStringLiteral("klasa.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QVERIFY(opened->printClass(&printer));

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QStringList pages =
        QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
    for (int n = 0; n < pages.size(); ++n) {
        const QString& page = pages.at(n);
        QVERIFY2(page.contains(QStringLiteral("Cyfrolia — wyniki klasy IV")), qPrintable(page.left(200)));
        QVERIFY(page.contains(QStringLiteral("Wydrukowano 8.12.2026")));
        QVERIFY(page.contains(QStringLiteral("Strona %1 z %2").arg(n + 1).arg(pages.size())));
        QVERIFY(page.contains(QStringLiteral("Zofia")));
    }
}

void TestPupilView::drawsOnePointADayAtMost() {
    // One pupil saving again and again: 3000 grades over 30 days are 30 points.
    QByteArray file;
    for (int i = 0; i < 3000; ++i)
        file += "Ala Kot. Ocena: " + QByteArray::number(i % 7) +
                ". Dnia: " + QDate(2026, 9, 1).addDays(i / 100).toString(Qt::ISODate).toLatin1() + "\r\n";
    const auto opened = openOver(QStringLiteral("V"), file);
    QCOMPARE(opened->pupilView->lines->model()->rowCount(), 3000);
    QCOMPARE(plotted(opened->pupilView, "points").size(), 30);
    QCOMPARE(opened->pupilView->pointTip(seriesNamed(opened->pupilView, "points"), 0),
             QStringLiteral("100 ocen, średnia 2,95, 1.09.2026"));
}

// Run at the scales the CMake file gives it: the whole window on the screen's room for windows.
void TestPupilView::opensWithinTheScreen() {
    const auto opened = openOver(QStringLiteral("I"), kClassII);
    const QRect room = opened->screen()->availableGeometry();
    QVERIFY2(room.contains(opened->frameGeometry()), qPrintable(QStringLiteral("%1x%2 at %3,%4 on %5x%6")
                                                                    .arg(opened->frameGeometry().width())
                                                                    .arg(opened->frameGeometry().height())
                                                                    .arg(opened->frameGeometry().x())
                                                                    .arg(opened->frameGeometry().y())
                                                                    .arg(room.width())
                                                                    .arg(room.height())));
}

QTEST_MAIN(TestPupilView)
#include "tst_pupil_view.moc"
