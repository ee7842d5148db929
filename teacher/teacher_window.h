#pragma once

#include "teacher/class_book.h"

#include <QDate>
#include <QMainWindow>

#include <optional>

class Announcer;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QTableView;

namespace teacher {

class ClassTabs;
class PupilFilter;
class PupilTable;
class PupilView;
class SortHeader;

// The teacher's window: one class at a time, its pupils in a table that sorts by any column and
// filters by name, the chosen pupil's grades over time, printing and export. It only reads the
// class files.
class TeacherWindow : public QMainWindow {
    Q_OBJECT
public:
    // Reads the class files in `folder` (with its trailing separator), the program's folder when
    // none is given. Dates after `today` are no readings; the day the files are read when none is
    // given.
    explicit TeacherWindow(const QString& folder = QString(), const QDate& today = QDate(),
                           QWidget* parent = nullptr);

    QString resultsFolder() const;

    // Reads the six class files afresh and shows the chosen class again.
    void load();
    void showClass(int index);
    int shownClass() const;
    const ClassBook& book(int index) const { return m_books.at(index); }

    void printClick();
    void exportClick();
    // Writes every class to `path`: a spreadsheet (.xlsx), or CSV where the name ends in ".csv".
    // False, with the reason on screen, where it fails.
    bool exportTo(const QString& path);
    // The shown class's table, in the order and with the filter on screen, on as many pages as it
    // takes, each with the class, the day of printing and its number.
    bool printClass(QPrinter* printer) const;
    // Shows the chosen pupil's lines and says the summary: Enter in the table.
    void openPupil();

    ClassTabs* classes;
    QLineEdit* search;
    QTableView* pupils;
    SortHeader* sortHeader;
    QMenu* sortMenu;
    QPushButton* unread;
    QPushButton* refresh;
    QPushButton* print;
    QPushButton* exportGrades;
    QLabel* failure;
    QLabel* counts;
    PupilView* pupilView;
    Announcer* announcer;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls(QWidget* central);
    void createTable(QWidget* central);
    void createSortMenu();
    void popUpSortMenu(const QPoint& at);
    void layOut(QWidget* central);
    void setKeys();
    void connectControls();
    void fitToScreen();

    QDate today() const;
    void showSelectedPupil();
    void selectFirstIfNone();
    void showCounts();
    void showUnread();
    void sortBy(int column);
    const QList<Pupil>& pupilsOfClass(int index);

    QString m_folder;
    QDate m_today;
    QList<ClassBook> m_books;
    // Each class's pupils, worked out when the class is first shown.
    QList<std::optional<QList<Pupil>>> m_pupils;
    PupilTable* m_table;
    PupilFilter* m_filter;
};

} // namespace teacher
