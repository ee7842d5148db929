#include "teacher/pupil_table.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace teacher {

namespace {

const QLocale& polish() {
    static const QLocale locale(QLocale::Polish, QLocale::Poland);
    return locale;
}

// A change smaller than this reads as none.
constexpr double kSteady = 0.05;

} // namespace

QString averageText(double average) {
    return polish().toString(average, 'f', 2);
}

QString trendText(const Pupil& pupil) {
    if (pupil.count() < 2)
        return QStringLiteral("—");
    if (std::abs(pupil.trend) < kSteady)
        return QStringLiteral("→ 0");
    const QString amount = polish().toString(std::abs(pupil.trend), 'f', 1);
    return pupil.trend > 0 ? QStringLiteral("↑ +") + amount : QStringLiteral("↓ −") + amount;
}

QString trendSpoken(const Pupil& pupil) {
    if (pupil.count() < 2)
        return QStringLiteral("za mało ocen");
    if (std::abs(pupil.trend) < kSteady)
        return QStringLiteral("bez zmian");
    const QString amount = polish().toString(std::abs(pupil.trend), 'f', 1);
    return (pupil.trend > 0 ? QStringLiteral("rośnie o ") : QStringLiteral("spada o ")) + amount;
}

void PupilTable::setPupils(QList<Pupil> pupils) {
    beginResetModel();
    m_pupils = std::move(pupils);
    m_grades = 0;
    for (const Pupil& p : m_pupils)
        m_grades += p.count();
    // Sort keys made once: comparing them is far quicker than comparing names by the collator.
    QCollator collator(polish());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(m_pupils.size());
    for (const Pupil& p : m_pupils)
        keys.push_back(collator.sortKey(p.name));
    std::vector<int> order(m_pupils.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
    m_nameRank.resize(m_pupils.size());
    for (int rank = 0; rank < int(order.size()); ++rank)
        m_nameRank[order[rank]] = rank;
    endResetModel();
}

int PupilTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_pupils.size());
}

int PupilTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PupilTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_pupils.size())
        return {};
    const Pupil& p = m_pupils.at(index.row());
    const int column = index.column();
    if (role == Qt::DisplayRole) {
        switch (column) {
        case Name:
            return p.name;
        case Count:
            return p.count();
        case LastGrade:
            return p.last.grade;
        case LastDate:
            return shownDate(p.last);
        case Average:
            return averageText(p.average);
        case Trend:
            return trendText(p);
        }
    } else if (role == SortRole) {
        switch (column) {
        case Name:
            return m_nameRank.at(index.row());
        case Count:
            return p.count();
        case LastGrade:
            return p.last.grade;
        case LastDate:
            // Unreadable dates sort before every readable one, an uncertain one by its earlier reading.
            return p.last.date.isValid() ? p.last.date.toJulianDay() : std::numeric_limits<qint64>::min();
        case Average:
            return p.average;
        case Trend:
            return p.count() < 2 ? -100.0 : p.trend;
        }
    } else if (role == Qt::AccessibleTextRole && column == Trend) {
        return trendSpoken(p);
    } else if (role == Qt::AccessibleTextRole && column == LastDate) {
        return spokenDate(p.last);
    } else if (role == Qt::ToolTipRole && column == LastDate && p.last.uncertain()) {
        return QStringLiteral("Data niepewna: z pliku nie wynika, czy to dzień czy miesiąc (zapisano „%1”).")
            .arg(p.last.dateText());
    } else if (role == Qt::TextAlignmentRole && column != Name) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant PupilTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[] = {"Uczeń", "Ocen", "Ostatnia ocena", "Dnia", "Średnia", "Trend"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

PupilFilter::PupilFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(PupilTable::SortRole);
}

void PupilFilter::setSearch(const QString& text) {
    const QString search = pupilKey(text);
    if (search == m_search)
        return;
    m_search = search;
    invalidateRowsFilter();
}

bool PupilFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (m_search.isEmpty())
        return true;
    const auto* table = static_cast<const PupilTable*>(sourceModel());
    return table->pupil(sourceRow).key.contains(m_search);
}

} // namespace teacher
