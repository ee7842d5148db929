#pragma once

#include "teacher/class_book.h"

#include <QMainWindow>

#include <optional>

class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QTabBar;
class QTableView;

namespace teacher {

class PupilFilter;
class PupilTable;
class PupilView;

// The teacher's window: one class at a time, its pupils in a table that sorts by any column and
// filters by name, the chosen pupil's grades over time, printing and export. It only reads the
// class files.
class TeacherWindow : public QMainWindow {
    Q_OBJECT
public:
    // Reads the class files in `folder` (with its trailing separator), the program's folder when
    // none is given.
    explicit TeacherWindow(const QString& folder = QString(), QWidget* parent = nullptr);

    QString resultsFolder() const;

    // Reads the six class files afresh and shows the chosen class again.
    void load();
    void showClass(int index);
    int shownClass() const;
    const ClassBook& book(int index) const { return m_books.at(index); }

    void printClick();
    void exportClick();
    // The shown class's table, in the order and with the filter on screen, as a printed page.
    void printClass(QPrinter* printer) const;

    QTabBar* classes;
    QLineEdit* search;
    QTableView* pupils;
    QPushButton* unread;
    QPushButton* refresh;
    QPushButton* print;
    QPushButton* exportCsv;
    QLabel* failure;
    QLabel* counts;
    PupilView* pupilView;

private:
    void showCurrentPupil();
    const QList<Pupil>& pupilsOfClass(int index);

    QString m_folder;
    QList<ClassBook> m_books;
    // Each class's pupils, worked out when the class is first shown.
    QList<std::optional<QList<Pupil>>> m_pupils;
    PupilTable* m_table;
    PupilFilter* m_filter;
};

} // namespace teacher
