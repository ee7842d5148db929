#include "teacher/class_book.h"

#include "common/results_file.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <vector>

namespace teacher {

QList<GradeLine> readClassText(const QByteArray& bytes, const DateReader& dates, const QDate& today) {
    // Line by line from the bytes: each line is decoded once, into its own text.
    const QByteArray normalised = cyfrolia::normaliseLineBreaks(bytes);
    QList<GradeLine> lines;
    QList<DateReading> readings;
    const qsizetype expected = normalised.count('\n') + 1;
    lines.reserve(expected);
    readings.reserve(expected);
    qsizetype at = 0;
    while (at < normalised.size()) {
        qsizetype end = normalised.indexOf('\n', at);
        const qsizetype next = end < 0 ? normalised.size() : end + 1;
        if (end < 0)
            end = normalised.size();
        else if (end > at && normalised.at(end - 1) == '\r')
            --end;
        DateReading reading;
        lines.append(readGradeLine(
            cyfrolia::textForDisplay(QByteArray::fromRawData(normalised.constData() + at, end - at)), dates,
            &reading));
        readings.append(reading);
        at = next;
    }
    settleDates(lines, readings, today);
    return lines;
}

QList<ClassBook> readClassBooks(const QString& folder, const DateReader& dates, const QDate& today) {
    const cyfrolia::ResultsFiles files(folder);
    QList<ClassBook> books;
    for (const QString& schoolClass : cyfrolia::schoolClasses()) {
        ClassBook book{schoolClass, {}, {}};
        if (cyfrolia::Result<QByteArray> read = files.read(schoolClass))
            book.lines = readClassText(read.value(), dates, today);
        else
            book.failure = read.failure();
        books.append(std::move(book));
    }
    return books;
}

namespace {

// The average grade of lines[from, to).
double mean(const ClassBook& book, const QList<int>& lines, qsizetype from, qsizetype to) {
    double sum = 0;
    for (qsizetype i = from; i < to; ++i)
        sum += book.lines.at(lines.at(i)).grade;
    return sum / double(to - from);
}

// Trimmed and single-spaced, copied once.
QString simplified(QStringView name) {
    bool plain = !name.isEmpty() && !name.front().isSpace() && !name.back().isSpace();
    for (qsizetype i = 0; plain && i < name.size(); ++i)
        plain = name.at(i) == QLatin1Char(' ') ? !name.at(i + 1).isSpace() : !name.at(i).isSpace();
    return plain ? name.toString() : name.toString().simplified();
}

int ownLetters(QStringView name) {
    return int(
        std::count_if(name.begin(), name.end(), [](QChar c) { return c.unicode() >= 0x80 && c.isLetter(); }));
}

// The form a pupil is shown by, from their lines in file order.
QString shownName(const ClassBook& book, const QList<int>& lines) {
    // Most pupils type their name the same way every time.
    const QStringView first = book.lines.at(lines.first()).name();
    if (std::all_of(lines.cbegin() + 1, lines.cend(),
                    [&](int i) { return book.lines.at(i).name() == first; }))
        return simplified(first);
    struct Form {
        int count = 0;
        int lastSeen = -1;
    };
    // Counted as written first (no copy of the text), then as shown.
    QHash<QStringView, Form> written;
    for (int i : lines) {
        Form& form = written[book.lines.at(i).name()];
        ++form.count;
        form.lastSeen = i;
    }
    QHash<QString, Form> shown;
    for (auto it = written.cbegin(); it != written.cend(); ++it) {
        Form& form = shown[simplified(it.key())];
        form.count += it->count;
        form.lastSeen = std::max(form.lastSeen, it->lastSeen);
    }
    QString best;
    int bestLetters = -1;
    Form bestForm;
    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        const int letters = ownLetters(it.key());
        if (std::tie(letters, it->count, it->lastSeen) >
            std::tie(bestLetters, bestForm.count, bestForm.lastSeen)) {
            best = it.key();
            bestLetters = letters;
            bestForm = *it;
        }
    }
    return best;
}

// Each line's place in the one order: its date's day, or for a line with no date the latest
// date above it in the file.
std::vector<qint64> orderKeys(const ClassBook& book) {
    std::vector<qint64> keys(size_t(book.lines.size()));
    qint64 latest = std::numeric_limits<qint64>::min();
    for (qsizetype i = 0; i < book.lines.size(); ++i) {
        const QDate& date = book.lines.at(i).date;
        if (date.isValid())
            latest = std::max(latest, date.toJulianDay());
        keys[size_t(i)] = date.isValid() ? date.toJulianDay() : latest;
    }
    return keys;
}

void sumUp(const ClassBook& book, const std::vector<qint64>& keys, Pupil& pupil) {
    pupil.name = shownName(book, pupil.lines);
    if (pupil.lines.size() > 1)
        std::stable_sort(pupil.lines.begin(), pupil.lines.end(),
                         [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    pupil.last = book.lines.at(pupil.lines.last());
    const qsizetype n = pupil.lines.size();
    pupil.average = mean(book, pupil.lines, 0, n);
    if (n >= 2) {
        const qsizetype recent = qMin<qsizetype>(3, n / 2);
        pupil.trend =
            mean(book, pupil.lines, n - recent, n) - mean(book, pupil.lines, n - 2 * recent, n - recent);
    }
}

} // namespace

QList<Pupil> pupilsOf(const ClassBook& book, QList<int>* pupilOfLine) {
    QList<Pupil> pupils;
    QHash<QString, int> byKey;
    if (pupilOfLine)
        pupilOfLine->fill(-1, book.lines.size());
    for (int i = 0; i < book.lines.size(); ++i) {
        const GradeLine& line = book.lines.at(i);
        if (!line.read)
            continue;
        const QString key = pupilKey(line.name());
        auto found = byKey.constFind(key);
        if (found == byKey.constEnd()) {
            found = byKey.insert(key, int(pupils.size()));
            pupils.append(Pupil{});
            pupils.last().key = key;
        }
        pupils[*found].lines.append(i);
        if (pupilOfLine)
            (*pupilOfLine)[i] = *found;
    }
    const std::vector<qint64> keys = orderKeys(book);
    for (Pupil& pupil : pupils)
        sumUp(book, keys, pupil);
    return pupils;
}

QList<int> unreadLines(const ClassBook& book) {
    QList<int> out;
    for (int i = 0; i < book.lines.size(); ++i) {
        if (!book.lines.at(i).read && !book.lines.at(i).written.trimmed().isEmpty())
            out.append(i);
    }
    return out;
}

} // namespace teacher
