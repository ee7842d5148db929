#pragma once

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QString>
#include <QStringView>

namespace teacher {

// One line of a class file as the teacher's view reads it. The line itself is always kept; the
// pieces are there only when it reads as "NAME. Ocena: G. Dnia: DATE".
struct GradeLine {
    QString written;   // the line as it stands in the file
    bool read = false; // false: not a grade line (edited by hand, damaged, empty)
    int grade = -1;    // 0 to 6
    QDate date;        // invalid when the text could not be read as a date

    // Parts of the written line: the name as written, the date's text without blanks around it.
    QStringView name() const { return QStringView(written).left(nameSize); }
    QStringView dateText() const { return QStringView(written).mid(dateFrom, dateSize); }

    qsizetype nameSize = 0;
    qsizetype dateFrom = 0;
    qsizetype dateSize = 0;
};

// Reads the dates the program may have written: the short date format of whatever locale the
// saving computer had, the ISO form, and day-month-year with a month name in English or Polish
// (any case, full, genitive or abbreviated) or as a Roman numeral. Where the numbers allow more
// than one order, that of `hint` (the locale the files were most likely written under) comes
// first when the text has the same separator as its format, then day-month-year; a two-digit
// year is taken as 20yy.
class DateReader {
public:
    explicit DateReader(const QLocale& hint = QLocale::system());

    QDate read(QStringView text) const;

private:
    enum class Order { DayMonthYear, MonthDayYear, YearMonthDay };
    QDate readUncached(QStringView text) const;

    Order m_order = Order::DayMonthYear;
    QChar m_separator; // between the numbers in the hint's format: the order holds where it is the same
    QHash<QString, int> m_months; // case-folded month word -> 1..12
    QSet<QString> m_fillers;      // words a date may carry besides its month ("r", a locale's literal)
    // Files repeat a handful of dates many thousand times.
    mutable QHash<QString, QDate> m_cache;
};

// Splits one line (no line break) into its pieces where the results line has them: the date after
// the last ". Dnia: ", the grade before it, so a name holding either label stays whole.
GradeLine readGradeLine(const QString& line, const DateReader& dates);

// The key names are grouped by: case and runs of blanks do not count.
QString pupilKey(QStringView name);

} // namespace teacher
