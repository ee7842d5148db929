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
    // The date as the file's evidence settles it. Where day and month could stand either way and
    // nothing tells which, `date` is the earlier reading and `orElse` the later; both are invalid
    // when the text could not be read as a date.
    QDate date;
    QDate orElse;
    bool uncertain() const { return orElse.isValid(); }

    // Parts of the written line: the name as written, the date's text without blanks around it.
    QStringView name() const { return QStringView(written).left(nameSize); }
    QStringView dateText() const { return QStringView(written).mid(dateFrom, dateSize); }

    qsizetype nameSize = 0;
    qsizetype dateFrom = 0;
    qsizetype dateSize = 0;
};

// What a date's text reads as on its own, before the other dates of its file are weighed.
struct DateReading {
    // The reading; for a date whose first two numbers could be day and month either way
    // ("2/6/26"), the day-first one, with the month-first one in `monthFirst`.
    QDate date;
    QDate monthFirst;
    // Numbers with the year last are of a form, the separator and the year's length: dates of one
    // form were written by one setting, so one of them with a part above 12 shows the order of
    // all. 0 for every other text.
    quint32 form = 0;
    enum class Shows : quint8 { Nothing, DayFirst, MonthFirst };
    Shows shows = Shows::Nothing;
    bool twoWay() const { return monthFirst.isValid(); }
};

// Reads the dates the program may have written: the short date format of whatever locale the
// saving computer had, the ISO form, and day-month-year with a month name in English or Polish
// (any case, full, genitive or abbreviated) or as a Roman numeral. A number of four digits first
// is the year, as are the first two digits where `hint` (the locale the files were most likely
// written under) puts the year first with the text's separator; otherwise the year is last, and
// where day and month could be either of the other two both readings are given. A two-digit year
// is taken as 20yy.
class DateReader {
public:
    explicit DateReader(const QLocale& hint = QLocale::system());

    DateReading read(QStringView text) const;

private:
    struct Token {
        bool number = false;
        int value = 0;  // a number's value, or a month word's month
        int digits = 0; // a number's digit count
    };
    struct Tokens;

    DateReading readUncached(QStringView text) const;
    bool tokenize(QStringView text, Tokens& out) const;
    DateReading readWithMonthWord(const Tokens& tokens) const;
    DateReading readNumbers(const Tokens& tokens) const;
    void learnHintFormat(const QLocale& hint);
    void learnMonthNames(const QLocale& hint);

    bool m_yearFirst = false;     // the hint's format puts the year first
    QChar m_separator;            // between the numbers in the hint's format
    QHash<QString, int> m_months; // case-folded month word -> 1..12
    QSet<QString> m_fillers;      // words a date may carry besides its month ("r", a locale's literal)
    // Files repeat a handful of dates many thousand times.
    mutable QHash<QString, DateReading> m_cache;
};

// Splits one line (no line break) into its pieces where the results line has them: the date after
// the last ". Dnia: ", the grade before it, so a name holding either label stays whole. `reading`
// gets what the date's text reads as on its own; the line's date is that reading where it is one
// and certain, and is settled with the rest of the file (settleDates) otherwise.
GradeLine readGradeLine(const QString& line, const DateReader& dates, DateReading* reading = nullptr);

// Settles the dates of one file's lines from the evidence of the whole file, in this order:
// dates of the same form where a part is above 12 fix the order of all of that form; then the
// reading that keeps the file's dates in the order of its lines; then no date after `today`. What
// is still open keeps both readings (GradeLine::orElse). `readings` are the lines' own readings.
void settleDates(QList<GradeLine>& lines, const QList<DateReading>& readings, const QDate& today);

// A line's date as the teacher's view shows it: "8.02.2007"; both readings, "6.02 lub 2.06.2026",
// where it is uncertain; the text as written where it could not be read.
QString shownDate(const GradeLine& line);
// The same as a screen reader says it: "6 lutego lub 2 czerwca 2026, data niepewna".
QString spokenDate(const GradeLine& line);

// The key names are grouped and searched by: case, blanks and the marks of letters do not count
// ("Ł" is "l").
QString pupilKey(QStringView name);

} // namespace teacher
