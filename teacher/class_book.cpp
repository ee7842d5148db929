#include "teacher/class_book.h"

#include "common/results_file.h"

#include <QHash>

namespace teacher {

QList<GradeLine> readClassText(const QByteArray& bytes, const DateReader& dates) {
    // Line by line from the bytes: each line is decoded once, into its own text.
    const QByteArray normalised = cyfrolia::normaliseLineBreaks(bytes);
    QList<GradeLine> lines;
    lines.reserve(normalised.count('\n') + 1);
    qsizetype at = 0;
    while (at < normalised.size()) {
        qsizetype end = normalised.indexOf('\n', at);
        const qsizetype next = end < 0 ? normalised.size() : end + 1;
        if (end < 0)
            end = normalised.size();
        else if (end > at && normalised.at(end - 1) == '\r')
            --end;
        lines.append(readGradeLine(
            cyfrolia::textForDisplay(QByteArray::fromRawData(normalised.constData() + at, end - at)), dates));
        at = next;
    }
    return lines;
}

QList<ClassBook> readClassBooks(const QString& folder, const DateReader& dates) {
    const cyfrolia::ResultsFiles files(folder);
    QList<ClassBook> books;
    for (const QString& schoolClass : cyfrolia::schoolClasses()) {
        ClassBook book{schoolClass, {}, {}};
        if (cyfrolia::Result<QByteArray> read = files.read(schoolClass))
            book.lines = readClassText(read.value(), dates);
        else
            book.failure = read.failure();
        books.append(std::move(book));
    }
    return books;
}

namespace {

double mean(const QList<int>& grades, qsizetype from, qsizetype to) {
    double sum = 0;
    for (qsizetype i = from; i < to; ++i)
        sum += grades.at(i);
    return sum / double(to - from);
}

} // namespace

QList<Pupil> pupilsOf(const ClassBook& book) {
    QList<Pupil> pupils;
    QHash<QString, int> byKey;
    for (int i = 0; i < book.lines.size(); ++i) {
        const GradeLine& line = book.lines.at(i);
        if (!line.read)
            continue;
        const QString key = pupilKey(line.name());
        auto found = byKey.constFind(key);
        if (found == byKey.constEnd()) {
            found = byKey.insert(key, int(pupils.size()));
            pupils.append(Pupil{});
        }
        pupils[*found].lines.append(i);
    }
    for (Pupil& pupil : pupils) {
        // The name as it is written most often; of two written as often, the later.
        QHash<QStringView, int> forms;
        int most = 0;
        QStringView name;
        for (int i : pupil.lines) {
            const QStringView written = book.lines.at(i).name();
            const int seen = ++forms[written];
            if (seen >= most) {
                most = seen;
                name = written;
            }
        }
        pupil.name = name.toString();
        QList<int> grades;
        grades.reserve(pupil.lines.size());
        for (int i : pupil.lines)
            grades.append(book.lines.at(i).grade);
        const GradeLine& last = book.lines.at(pupil.lines.last());
        pupil.lastGrade = last.grade;
        pupil.lastDateText = last.dateText().toString();
        pupil.lastDate = last.date;
        pupil.average = mean(grades, 0, grades.size());
        const qsizetype n = grades.size();
        if (n >= 2) {
            const qsizetype recent = qMin<qsizetype>(3, n / 2);
            pupil.trend = mean(grades, n - recent, n) - mean(grades, n - 2 * recent, n - recent);
        }
    }
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
