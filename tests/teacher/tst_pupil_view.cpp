#include "common/results_file.h"
#include "teacher/pupil_table.h"
#include "teacher/pupil_view.h"
#include "teacher/teacher_window.h"

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The teacher's window over class files on disk: finding a pupil by the search field and seeing
// their grades in the chart and, line by line as written, in the list.
class TestPupilView : public QObject {
    Q_OBJECT

private slots:
    void findsAPupilAndShowsTheirGrades_data();
    void findsAPupilAndShowsTheirGrades();
    void keepsLinesThatAreNoGrades();

private:
    // The window over a folder that holds one class file, `content` as `schoolClass`'s.
    std::unique_ptr<teacher::TeacherWindow> openOver(const QString& schoolClass, const QByteArray& content);

    QTemporaryDir m_dir;
};

namespace {

// Class II: Łucja saved four times, once with her name typed differently and once with a date
// edited into words; a line was added by hand.
const QByteArray kClassII = "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 2. Dnia: 7.09.2026\r\n"
                            "Ala Nowak. Ocena: 6. Dnia: 2026-09-08\r\n"
                            "\xB3ucja  \xBF\xF3\xB3\xE6. Ocena: 4. Dnia: 14.09.2026\r\n"
                            "Poprawiono: Ala 5\r\n"
                            "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 5. Dnia: wczoraj\r\n"
                            "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 6. Dnia: 21 wrze\x9Cnia 2026\r\n"
                            "Ala Nowakowska. Ocena: 1. Dnia: 22.09.2026\r\n";

QStringList items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

QString decoded(const QByteArray& line) {
    return cyfrolia::textForDisplay(line);
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
    auto window = std::make_unique<teacher::TeacherWindow>(m_dir.path() + QLatin1Char('/'));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the teacher's window was not shown");
    return window;
}

void TestPupilView::findsAPupilAndShowsTheirGrades_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("rows");       // names in the table, in order
    QTest::addColumn<QStringList>("lines");      // the first row's lines, as written
    QTest::addColumn<QList<int>>("chartGrades"); // the first row's dated grades, in date order

    const QStringList lucja = {decoded("\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 2. Dnia: 7.09.2026"),
                               decoded("\xB3ucja  \xBF\xF3\xB3\xE6. Ocena: 4. Dnia: 14.09.2026"),
                               decoded("\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 5. Dnia: wczoraj"),
                               decoded("\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 6. Dnia: 21 wrze\x9Cnia 2026")};
    QTest::newRow("everyone, by name")
        << QString() << QStringList{"Ala Nowak", "Ala Nowakowska", "Łucja Żółć"}
        << QStringList{"Ala Nowak. Ocena: 6. Dnia: 2026-09-08"} << QList<int>{6};
    QTest::newRow("case and blanks aside")
        << "  ŁUCJA   żółć " << QStringList{"Łucja Żółć"} << lucja << QList<int>{2, 4, 6};
    QTest::newRow("part of a name") << "nowak" << QStringList{"Ala Nowak", "Ala Nowakowska"}
                                    << QStringList{"Ala Nowak. Ocena: 6. Dnia: 2026-09-08"} << QList<int>{6};
    QTest::newRow("nobody") << "Zenek" << QStringList{} << QStringList{} << QList<int>{};
}

void TestPupilView::findsAPupilAndShowsTheirGrades() {
    QFETCH(QString, typed);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, chartGrades);

    const auto opened = openOver(QStringLiteral("II"), kClassII);
    teacher::TeacherWindow& window = *opened;
    QVERIFY(!window.failure->text().isEmpty()); // class I's file is missing
    window.classes->setCurrentIndex(1);
    QVERIFY(window.failure->isHidden());

    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(window.search->hasFocus());
    window.search->insert(typed); // as typed (QTest types only ASCII)
    QTableView* table = window.pupils;
    QStringList shown;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        shown.append(table->model()->index(row, teacher::PupilTable::Name).data().toString());
    QCOMPARE(shown, rows);

    table->setFocus();
    QTest::keyClick(table, Qt::Key_Home, Qt::ControlModifier);
    const QListWidget* list = window.pupilView->lines;
    QCOMPARE(items(list), lines);
    QList<int> plotted;
    for (QAbstractSeries* series : window.pupilView->chartView->chart()->series()) {
        if (auto* points = qobject_cast<QScatterSeries*>(series)) {
            for (const QPointF& p : points->points())
                plotted.append(int(p.y()));
        }
    }
    QCOMPARE(plotted, chartGrades);
    if (!rows.isEmpty()) {
        // A screen reader finds whose lines these are, and the summary says what the chart leaves out.
        QVERIFY(list->accessibleName().endsWith(rows.first()));
        QCOMPARE(window.pupilView->summary->text().contains(QStringLiteral("bez czytelnej daty")),
                 chartGrades.size() < lines.size());
    }
}

void TestPupilView::keepsLinesThatAreNoGrades() {
    const auto opened = openOver(QStringLiteral("I"), kClassII);
    teacher::TeacherWindow& window = *opened;
    QVERIFY(window.unread->isVisible());
    // A mnemonic presses the button visibly: the click lands a moment later.
    QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);
    QTRY_COMPARE(items(window.pupilView->lines), QStringList{QStringLiteral("Poprawiono: Ala 5")});
    QVERIFY(window.pupilView->lines->hasFocus());
}

QTEST_MAIN(TestPupilView)
#include "tst_pupil_view.moc"
