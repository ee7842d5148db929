// A class file as the teacher's view reads it, and its CSV: any bytes at all (every pupil can
// write the class files).
#include "common/results_file.h"
#include "fuzz_check.h"
#include "teacher/csv_export.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const teacher::DateReader dates(QLocale(QLocale::English, QLocale::UnitedStates));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<teacher::GradeLine> lines = teacher::readClassText(bytes, dates, QDate(2030, 1, 1));

    // Nothing dropped: one line a break, and one more after the last break; every line as shown.
    const QByteArray normalised = cyfrolia::normaliseLineBreaks(bytes);
    const qsizetype breaks = normalised.count("\r\n");
    check(lines.size() == breaks + (normalised.endsWith("\r\n") || normalised.isEmpty() ? 0 : 1));
    QString joined;
    for (const teacher::GradeLine& line : lines) {
        joined += line.written + QLatin1Char('\n');
        if (!line.read)
            continue;
        // A grade line is its parts put back together.
        check(line.grade >= 0 && line.grade <= 6 && !line.name().isEmpty());
        check(line.written.startsWith(line.name().toString() + QStringLiteral(". Ocena: ") +
                                      QString::number(line.grade) + QStringLiteral(". Dnia: ")));
        check(line.written.contains(line.dateText()));
        // Two readings of a date are two days, the earlier first.
        check(!line.uncertain() || (line.date.isValid() && line.date < line.orElse));
    }
    check(joined == cyfrolia::textForDisplay(normalised + (lines.size() > breaks ? "\r\n" : "")));

    // The CSV: valid UTF-8, a header and one row a line (a quoted field may hold no break, as
    // lines hold none).
    teacher::ClassBook book{QStringLiteral("I"), lines, {}};
    const QByteArray csv = teacher::csvText({book});
    check(QString::fromUtf8(csv).toUtf8() == csv);
    check(csv.count("\r\n") == lines.size() + 1);
    return 0;
}
