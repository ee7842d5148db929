#include "teacher/grade_line.h"

#include "common/results_line.h"

#include <QVarLengthArray>

namespace teacher {

namespace {

struct Token {
    bool number = false;
    int value = 0;  // a number's value, or a month word's month
    int digits = 0; // a number's digit count
};

} // namespace

DateReader::DateReader(const QLocale& hint) {
    const QString format = hint.dateFormat(QLocale::ShortFormat);
    const qsizetype day = format.indexOf(QLatin1Char('d'));
    const qsizetype month = format.indexOf(QLatin1Char('M'));
    const qsizetype year = format.indexOf(QLatin1Char('y'));
    if (day >= 0 && month >= 0 && year >= 0) {
        if (year < month && month < day)
            m_order = Order::YearMonthDay;
        else if (month < day && day < year)
            m_order = Order::MonthDayYear;
    }
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

QDate DateReader::read(QStringView text) const {
    // Looked up without a copy of the text; only a new date's text is kept.
    const auto found = m_cache.constFind(QString::fromRawData(text.data(), text.size()));
    if (found != m_cache.constEnd())
        return *found;
    const QDate date = readUncached(text);
    m_cache.insert(text.toString(), date);
    return date;
}

QDate DateReader::readUncached(QStringView text) const {
    QVarLengthArray<Token, 4> tokens;
    int words = 0;
    QChar separator;
    for (qsizetype at = 0; at < text.size();) {
        const QChar c = text.at(at);
        if (c.isDigit()) {
            Token t{true, 0, 0};
            for (; at < text.size() && text.at(at).isDigit(); ++at) {
                if (++t.digits > 4)
                    return {};
                t.value = t.value * 10 + text.at(at).digitValue();
            }
            tokens.append(t);
        } else if (c.isLetter()) {
            const qsizetype start = at;
            while (at < text.size() && text.at(at).isLetter())
                ++at;
            const QString word = text.mid(start, at - start).toString().toCaseFolded();
            if (m_fillers.contains(word))
                continue;
            const auto month = m_months.constFind(word);
            if (month == m_months.constEnd())
                return {};
            tokens.append(Token{false, *month, 0});
            ++words;
        } else {
            // Separators: . / - blanks, commas, direction marks.
            if (separator.isNull() && !c.isSpace() && !tokens.isEmpty())
                separator = c;
            ++at;
        }
        if (tokens.size() > 3)
            return {};
    }
    if (tokens.size() != 3 || words > 1)
        return {};

    auto make = [](const Token& y, int month, const Token& d) {
        if (y.digits != 2 && y.digits != 4)
            return QDate();
        if (d.digits > 2)
            return QDate();
        return QDate(y.digits == 2 ? 2000 + y.value : y.value, month, d.value);
    };

    if (words == 1) {
        // The month is a word: the number of four digits is the year, otherwise the day comes first
        // ("8 lut 2007", "Feb 8, 2007", "2007 Feb 8").
        const Token* numbers[2];
        int month = 0;
        int n = 0;
        for (const Token& t : tokens) {
            if (t.number)
                numbers[n++] = &t;
            else
                month = t.value;
        }
        if (numbers[0]->digits == 4)
            return make(*numbers[0], month, *numbers[1]);
        return make(*numbers[1], month, *numbers[0]);
    }

    const Token &a = tokens[0], &b = tokens[1], &c = tokens[2];
    auto inOrder = [&](Order order) -> QDate {
        const Token *y, *m, *d;
        switch (order) {
        case Order::YearMonthDay:
            y = &a, m = &b, d = &c;
            break;
        case Order::MonthDayYear:
            m = &a, d = &b, y = &c;
            break;
        default:
            d = &a, m = &b, y = &c;
            break;
        }
        if (m->digits > 2)
            return {};
        return make(*y, m->value, *d);
    };
    if (a.digits == 4)
        return inOrder(Order::YearMonthDay);
    // The locale's order first when the text looks written by it ("8.02.2007" is no American date
    // even on an American system); where it gives no date, the usual orders in turn.
    const Order first = separator == m_separator ? m_order : Order::DayMonthYear;
    for (Order order : {first, Order::DayMonthYear, Order::MonthDayYear, Order::YearMonthDay}) {
        const QDate date = inOrder(order);
        if (date.isValid())
            return date;
    }
    return {};
}

GradeLine readGradeLine(const QString& line, const DateReader& dates) {
    GradeLine out;
    out.written = line;
    const auto places =
        cyfrolia::ResultsLine::find(std::u16string_view(QStringView(line).utf16(), size_t(line.size())));
    if (!places)
        return out;
    out.read = true;
    out.grade = places->grade - '0';
    out.nameSize = qsizetype(places->nameSize);
    out.dateFrom = qsizetype(places->dateFrom);
    out.dateSize = line.size() - out.dateFrom;
    while (out.dateSize > 0 && line.at(out.dateFrom).isSpace())
        ++out.dateFrom, --out.dateSize;
    while (out.dateSize > 0 && line.at(out.dateFrom + out.dateSize - 1).isSpace())
        --out.dateSize;
    out.date = dates.read(out.dateText());
    return out;
}

QString pupilKey(QStringView name) {
    return name.toString().simplified().toCaseFolded();
}

} // namespace teacher
