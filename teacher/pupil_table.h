#pragma once

#include "teacher/class_book.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

namespace teacher {

// The pupils of one class as table rows: name, number of grades, last grade, its date, average
// and trend. Qt::UserRole gives each cell's value for sorting (names in Polish alphabetical order).
class PupilTable : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Count, LastGrade, LastDate, Average, Trend, ColumnCount };
    static constexpr int SortRole = Qt::UserRole;

    explicit PupilTable(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setPupils(QList<Pupil> pupils);
    const Pupil& pupil(int row) const { return m_pupils.at(row); }
    // How many grades the pupils have in all.
    int gradeCount() const { return m_grades; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<Pupil> m_pupils;
    QList<int> m_nameRank;
    int m_grades = 0;
};

// Rows of a PupilTable whose names hold the search text, case, blanks and the marks of letters
// aside ("lecki" finds "Łęcki").
class PupilFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit PupilFilter(QObject* parent = nullptr);
    void setSearch(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString m_search;
};

// Texts shared by the table, the pupil view and the printout.
QString averageText(double average);
QString trendText(const Pupil& pupil);
QString trendSpoken(const Pupil& pupil);

} // namespace teacher
