#include "teacher/grade_line.h"

#include "common/results_line.h"

#include <QVarLengthArray>

#include <optional>
#include <vector>

namespace teacher {

struct DateReader::Tokens {
    QVarLengthArray<Token, 4> list;
    int words = 0;   // month words among them
    QChar separator; // the first one between the tokens that is no blank
};

DateReader::DateReader(const QLocale& hint) {
    learnHintFormat(hint);
    learnMonthNames(hint);
}

void DateReader::learnHintFormat(const QLocale& hint) {
    const QString format = hint.dateFormat(QLocale::ShortFormat);
    const qsizetype month = format.indexOf(QLatin1Char('M'));
    const qsizetype year = format.indexOf(QLatin1Char('y'));
    m_yearFirst = year >= 0 && month >= 0 && year < month;
    for (const QChar c : format) {
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\'')) {
            m_separator = c;
            break;
        }
    }
    // Words quoted in the format ("8.02.07 г.") come back with every date of that locale.
    const QStringList quoted = format.split(QLatin1Char('\''));
    for (qsizetype i = 1; i < quoted.size(); i += 2) {
        for (const QString& word : quoted.at(i).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            m_fillers.insert(word.toCaseFolded().remove(QLatin1Char('.')));
    }
    m_fillers.insert(QStringLiteral("r")); // "8.02.2007 r." (roku)
}

void DateReader::learnMonthNames(const QLocale& hint) {
    const QLocale known[] = {QLocale(QLocale::English), QLocale(QLocale::Polish), hint};
    for (const QLocale& locale : known) {
        for (int m = 1; m <= 12; ++m) {
            for (QLocale::FormatType type : {QLocale::LongFormat, QLocale::ShortFormat}) {
                for (const QString& name : {locale.monthName(m, type), locale.standaloneMonthName(m, type)}) {
                    const QString key = name.toCaseFolded().remove(QLatin1Char('.'));
                    if (!key.isEmpty() && !key.front().isDigit())
                        m_months.insert(key, m);
                }
            }
        }
    }
    const char* const roman[] = {"i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix", "x", "xi", "xii"};
    for (int m = 1; m <= 12; ++m)
        m_months.insert(QString::fromLatin1(roman[m - 1]), m);
}

DateReading DateReader::read(QStringView text) const {
    // Looked up without a copy of the text; only a new date's text is kept.
    const auto found = m_cache.constFind(QString::fromRawData(text.data(), text.size()));
    if (found != m_cache.constEnd())
        return *found;
    const DateReading reading = readUncached(text);
    m_cache.insert(text.toString(), reading);
    return reading;
}

DateReading DateReader::readUncached(QStringView text) const {
    Tokens tokens;
    if (!tokenize(text, tokens) || tokens.list.size() != 3 || tokens.words > 1)
        return {};
    return tokens.words == 1 ? readWithMonthWord(tokens) : readNumbers(tokens);
}

// Numbers, month words and separators (. / - blanks, commas, direction marks); false for a word
// that is no month, a number of more than four digits, or more than three tokens.
bool DateReader::tokenize(QStringView text, Tokens& out) const {
    for (qsizetype at = 0; at < text.size();) {
        const QChar c = text.at(at);
        if (c.isDigit()) {
            Token t{true, 0, 0};
            for (; at < text.size() && text.at(at).isDigit(); ++at) {
                if (++t.digits > 4)
                    return false;
                t.value = t.value * 10 + text.at(at).digitValue();
            }
            out.list.append(t);
        } else if (c.isLetter()) {
            const qsizetype start = at;
            while (at < text.size() && text.at(at).isLetter())
                ++at;
            const QString word = text.mid(start, at - start).toString().toCaseFolded();
            if (m_fillers.contains(word))
                continue;
            const auto month = m_months.constFind(word);
            if (month == m_months.constEnd())
                return false;
            out.list.append(Token{false, *month, 0});
            ++out.words;
        } else {
            if (out.separator.isNull() && !c.isSpace() && !out.list.isEmpty())
                out.separator = c;
            ++at;
        }
        if (out.list.size() > 3)
            return false;
    }
    return true;
}

namespace {

// The form of a year-last date: its separator and the length of its year.
quint32 formOf(QChar separator, int yearDigits) {
    return (quint32(separator.unicode()) << 8) | quint32(yearDigits);
}

// The forms of year-last dates that the locales' short formats write day first, and month first.
// Only a form written both ways is read both ways: "8.12.2026" is 8 December wherever it was
// written, "2/6/26" may be either.
struct WrittenOrders {
    QSet<quint32> dayFirst;
    QSet<quint32> monthFirst;
};

const WrittenOrders& writtenOrders() {
    static const WrittenOrders orders = [] {
        WrittenOrders o;
        const auto all =
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        for (const QLocale& locale : all) {
            const QString format = locale.dateFormat(QLocale::ShortFormat);
            const qsizetype day = format.indexOf(QLatin1Char('d'));
            const qsizetype month = format.indexOf(QLatin1Char('M'));
            const qsizetype year = format.indexOf(QLatin1Char('y'));
            if (day < 0 || month < 0 || year < qMax(day, month) || format.count(QLatin1Char('M')) > 2)
                continue;
            QChar separator;
            for (const QChar c : format.left(year)) {
                if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\'')) {
                    separator = c;
                    break;
                }
            }
            const int yearDigits = format.count(QLatin1Char('y')) == 2 ? 2 : 4;
            (day < month ? o.dayFirst : o.monthFirst).insert(formOf(separator, yearDigits));
        }
        return o;
    }();
    return orders;
}

// A year of two or four digits (two: 20yy) and a day of at most two.
QDate makeDate(int yearValue, int yearDigits, int month, int dayValue, int dayDigits) {
    if ((yearDigits != 2 && yearDigits != 4) || dayDigits > 2)
        return {};
    return QDate(yearDigits == 2 ? 2000 + yearValue : yearValue, month, dayValue);
}

} // namespace

// The month is a word: the number of four digits is the year, otherwise the day comes first
// ("8 lut 2007", "Feb 8, 2007", "2007 Feb 8").
DateReading DateReader::readWithMonthWord(const Tokens& tokens) const {
    const Token* numbers[2];
    int month = 0;
    int n = 0;
    for (const Token& t : tokens.list) {
        if (t.number)
            numbers[n++] = &t;
        else
            month = t.value;
    }
    const Token& year = numbers[0]->digits == 4 ? *numbers[0] : *numbers[1];
    const Token& day = numbers[0]->digits == 4 ? *numbers[1] : *numbers[0];
    return {makeDate(year.value, year.digits, month, day.value, day.digits)};
}

DateReading DateReader::readNumbers(const Tokens& tokens) const {
    const Token &a = tokens.list[0], &b = tokens.list[1], &c = tokens.list[2];
    if (a.digits == 4 || (m_yearFirst && tokens.separator == m_separator)) {
        if (b.digits > 2)
            return {};
        return {makeDate(a.value, a.digits, b.value, c.value, c.digits)};
    }
    // The year last: the first two are the day and the month in either order.
    if (a.digits > 2 || b.digits > 2)
        return {};
    DateReading reading;
    reading.form = formOf(tokens.separator, c.digits);
    QDate dayFirst = makeDate(c.value, c.digits, b.value, a.value, a.digits);
    QDate monthFirst = makeDate(c.value, c.digits, a.value, b.value, b.digits);
    // A form the locales write one way only is read that way.
    const bool writtenDayFirst = writtenOrders().dayFirst.contains(reading.form);
    if (writtenDayFirst != writtenOrders().monthFirst.contains(reading.form))
        (writtenDayFirst ? monthFirst : dayFirst) = QDate();
    if (dayFirst.isValid() && monthFirst.isValid() && dayFirst != monthFirst) {
        reading.date = dayFirst;
        reading.monthFirst = monthFirst;
        return reading;
    }
    reading.date = dayFirst.isValid() ? dayFirst : monthFirst;
    if (a.value > 12 && dayFirst.isValid())
        reading.shows = DateReading::Shows::DayFirst;
    else if (b.value > 12 && monthFirst.isValid())
        reading.shows = DateReading::Shows::MonthFirst;
    return reading;
}

GradeLine readGradeLine(const QString& line, const DateReader& dates, DateReading* reading) {
    GradeLine out;
    out.written = line;
    const auto places =
        cyfrolia::ResultsLine::find(std::u16string_view(QStringView(line).utf16(), size_t(line.size())));
    if (!places) {
        if (reading)
            *reading = {};
        return out;
    }
    out.read = true;
    out.grade = places->grade - '0';
    out.nameSize = qsizetype(places->nameSize);
    out.dateFrom = qsizetype(places->dateFrom);
    out.dateSize = line.size() - out.dateFrom;
    while (out.dateSize > 0 && line.at(out.dateFrom).isSpace())
        ++out.dateFrom, --out.dateSize;
    while (out.dateSize > 0 && line.at(out.dateFrom + out.dateSize - 1).isSpace())
        --out.dateSize;
    const DateReading read = dates.read(out.dateText());
    if (!read.twoWay())
        out.date = read.date;
    else
        out.date = qMin(read.date, read.monthFirst), out.orElse = qMax(read.date, read.monthFirst);
    if (reading)
        *reading = read;
    return out;
}

namespace {

enum class Order { Open, DayFirst, MonthFirst };

QDate readingIn(const DateReading& r, Order order) {
    return order == Order::MonthFirst ? r.monthFirst : r.date;
}

// What the file tells of each form that has dates readable both ways.
struct Forms {
    QHash<quint32, Order> order;
    QList<quint32> open; // in the order they first appear
};

// Rule one: dates of a form that read one way only, because a part is above 12.
Forms formsShownByTheirDates(const QList<DateReading>& readings) {
    QHash<quint32, std::pair<bool, bool>> shown; // day first seen, month first seen
    QList<quint32> twoWay;
    for (const DateReading& r : readings) {
        if (!r.form)
            continue;
        auto& seen = shown[r.form];
        if (r.twoWay() && !twoWay.contains(r.form))
            twoWay.append(r.form);
        seen.first = seen.first || r.shows == DateReading::Shows::DayFirst;
        seen.second = seen.second || r.shows == DateReading::Shows::MonthFirst;
    }
    Forms forms;
    for (const quint32 form : twoWay) {
        const auto seen = shown.value(form);
        const Order order = seen.first == seen.second ? Order::Open
                            : seen.first              ? Order::DayFirst
                                                      : Order::MonthFirst;
        forms.order.insert(form, order);
        if (order == Order::Open)
            forms.open.append(form);
    }
    return forms;
}

// How often a line's date comes before the date of the dated line above it, with `form` read in
// `order` and the dates of forms still open left out.
qsizetype stepsBack(const QList<DateReading>& readings, const Forms& forms, quint32 form, Order order) {
    qsizetype back = 0;
    QDate previous;
    for (const DateReading& r : readings) {
        QDate date = r.date;
        if (r.twoWay()) {
            const Order known = r.form == form ? order : forms.order.value(r.form);
            if (known == Order::Open)
                continue;
            date = readingIn(r, known);
        }
        if (!date.isValid())
            continue;
        back += previous.isValid() && date < previous;
        previous = date;
    }
    return back;
}

// Rule two: the order that keeps the file's dates in the order of its lines. A form settled this
// way counts for the next ones.
void settleByLineOrder(const QList<DateReading>& readings, Forms& forms) {
    for (bool progress = true; progress;) {
        progress = false;
        for (qsizetype i = 0; i < forms.open.size(); ++i) {
            const quint32 form = forms.open.at(i);
            const qsizetype dayFirst = stepsBack(readings, forms, form, Order::DayFirst);
            const qsizetype monthFirst = stepsBack(readings, forms, form, Order::MonthFirst);
            if (dayFirst == monthFirst)
                continue;
            forms.order[form] = dayFirst < monthFirst ? Order::DayFirst : Order::MonthFirst;
            forms.open.removeAt(i--);
            progress = true;
        }
    }
}

// Rule three: an order that puts one of the form's dates after today is no reading of it.
void settleByToday(const QList<DateReading>& readings, Forms& forms, const QDate& today) {
    for (const quint32 form : std::as_const(forms.open)) {
        bool dayFirstLater = false, monthFirstLater = false;
        for (const DateReading& r : readings) {
            if (r.form == form && r.twoWay()) {
                dayFirstLater = dayFirstLater || r.date > today;
                monthFirstLater = monthFirstLater || r.monthFirst > today;
            }
        }
        if (dayFirstLater != monthFirstLater)
            forms.order[form] = dayFirstLater ? Order::MonthFirst : Order::DayFirst;
    }
}

} // namespace

void settleDates(QList<GradeLine>& lines, const QList<DateReading>& readings, const QDate& today) {
    Forms forms = formsShownByTheirDates(readings);
    if (forms.order.isEmpty())
        return;
    settleByLineOrder(readings, forms);
    settleByToday(readings, forms, today);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const DateReading& r = readings.at(i);
        if (!r.twoWay())
            continue;
        GradeLine& line = lines[i];
        Order order = forms.order.value(r.form);
        // Still open: a date of its own after today is no reading either.
        if (order == Order::Open && (r.date > today) != (r.monthFirst > today))
            order = r.date > today ? Order::MonthFirst : Order::DayFirst;
        if (order != Order::Open)
            line.date = readingIn(r, order), line.orElse = QDate();
    }
}

namespace {

const QLocale& polish() {
    static const QLocale locale(QLocale::Polish, QLocale::Poland);
    return locale;
}

} // namespace

QString shownDate(const GradeLine& line) {
    if (!line.date.isValid())
        return line.dateText().toString();
    const QString last = line.date.toString(QStringLiteral("d.MM.yyyy"));
    if (!line.uncertain())
        return last;
    const QString first = line.date.toString(
        line.date.year() == line.orElse.year() ? QStringLiteral("d.MM") : QStringLiteral("d.MM.yyyy"));
    return first + QStringLiteral(" lub ") + line.orElse.toString(QStringLiteral("d.MM.yyyy"));
}

QString spokenDate(const GradeLine& line) {
    if (!line.uncertain())
        return shownDate(line);
    // Day and month name, as they are said ("6 lutego"); the year once where both share it.
    const QString format = QStringLiteral("d MMMM yyyy");
    const QString first = polish().toString(
        line.date, line.date.year() == line.orElse.year() ? QStringLiteral("d MMMM") : format);
    return first + QStringLiteral(" lub ") + polish().toString(line.orElse, format) +
           QStringLiteral(", data niepewna");
}

namespace {

// The letter without its marks: Polish letters from a table, anything else that decomposes by its
// decomposition.
QChar bareLetter(QChar c) {
    static constexpr char16_t marked[] = u"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
    static constexpr char bare[] = "acelnoszzACELNOSZZ";
    for (size_t i = 0; i + 1 < std::size(marked); ++i) {
        if (c.unicode() == marked[i])
            return QLatin1Char(bare[i]);
    }
    while (c.decompositionTag() == QChar::Canonical)
        c = c.decomposition().front();
    return c;
}

} // namespace

QString pupilKey(QStringView name) {
    QString key;
    key.reserve(name.size());
    for (const QChar c : name) {
        if (c.isSpace())
            continue;
        if (c.unicode() < 0x80)
            key.append(c.unicode() >= u'A' && c.unicode() <= u'Z' ? QChar(c.unicode() + 32) : c);
        else
            key.append(bareLetter(c).toCaseFolded());
    }
    return key;
}

} // namespace teacher
