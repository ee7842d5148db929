#include "teacher/csv_export.h"

#include "common/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace teacher {

const QStringList& exportColumns() {
    static const QStringList columns = {QStringLiteral("klasa"),  QStringLiteral("imię i nazwisko"),
                                        QStringLiteral("ocena"),  QStringLiteral("data"),
                                        QStringLiteral("wiersz"), QStringLiteral("uwagi"),
                                        QStringLiteral("uczeń")};
    return columns;
}

QString dateNote(const GradeLine& line) {
    if (!line.read || (line.date.isValid() && !line.uncertain()))
        return {};
    if (line.uncertain())
        return QStringLiteral("data niepewna: ") + shownDate(line);
    return QStringLiteral("data nieczytelna");
}

QList<ClassBook> readForExport(const QString& folder, const QDate& today, QTextStream& errors, bool& failed) {
    QList<ClassBook> books = readClassBooks(folder, DateReader(), today);
    for (const ClassBook& book : books) {
        if (!book.failure.isEmpty()) {
            errors << "cyfrolia: " << book.failure << Qt::endl;
            failed = true;
        }
    }
    return books;
}

namespace {

// Writes the table into room made for it as it goes: going through QString::toUtf8() and
// QByteArray's appends costs an allocation a field, and an export has hundreds of thousands.
class CsvWriter {
public:
    explicit CsvWriter(qsizetype expected) : m_out(expected + 64, Qt::Uninitialized) { m_at = m_out.data(); }

    void raw(const char* text, qsizetype size) {
        room(size);
        std::memcpy(m_at, text, size_t(size));
        m_at += size;
    }
    void raw(char c) {
        room(1);
        *m_at++ = c;
    }

    // Quoted where the field holds a separator, a quote or a break, and where blanks at its ends
    // would be lost to a spreadsheet that trims unquoted fields. A quote is doubled.
    void field(QStringView text) {
        static constexpr char16_t formulaStarts[] = u"=+-@\t\r";
        const bool guarded = !text.isEmpty() && std::char_traits<char16_t>::find(
                                                    formulaStarts, 6, text.front().unicode()) != nullptr;
        const bool quoted = text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' ')) ||
                            std::any_of(text.begin(), text.end(), [](QChar c) {
                                return c == QLatin1Char(',') || c == QLatin1Char('"') ||
                                       c == QLatin1Char('\n') || c == QLatin1Char('\r');
                            });
        // Each unit takes at most three bytes, a doubled quote two for its one unit.
        room(text.size() * 3 + 4);
        if (quoted)
            *m_at++ = '"';
        if (guarded)
            *m_at++ = '\'';
        utf8(text);
        if (quoted)
            *m_at++ = '"';
    }

    // yyyy-mm-dd, by hand: snprintf costs more than the rest of the row.
    void isoDate(const QDate& date) {
        const int year = date.year();
        if (year < 1000 || year > 9999) {
            char text[32];
            raw(text, std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, date.month(), date.day()));
            return;
        }
        const int parts[] = {year / 100, year % 100, date.month(), date.day()};
        char text[10] = {};
        char* at = text;
        for (int i = 0; i < 4; ++i) {
            if (i >= 2)
                *at++ = '-';
            *at++ = char('0' + parts[i] / 10);
            *at++ = char('0' + parts[i] % 10);
        }
        raw(text, at - text);
    }

    QByteArray take() {
        m_out.truncate(m_at - m_out.constData());
        return std::move(m_out);
    }

private:
    void room(qsizetype size) {
        const qsizetype used = m_at - m_out.constData();
        if (used + size <= m_out.size())
            return;
        m_out.resize(std::max(m_out.size() * 2, used + size));
        m_at = m_out.data() + used;
    }

    void utf8(QStringView text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            char32_t c = text.at(i).unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), text.at(++i).unicode());
            else if (QChar::isSurrogate(c))
                c = 0xFFFD;
            if (c < 0x80) {
                if (c == '"')
                    *m_at++ = '"';
                *m_at++ = char(c);
            } else if (c < 0x800) {
                *m_at++ = char(0xC0 | (c >> 6));
                *m_at++ = char(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                *m_at++ = char(0xE0 | (c >> 12));
                *m_at++ = char(0x80 | ((c >> 6) & 0x3F));
                *m_at++ = char(0x80 | (c & 0x3F));
            } else {
                *m_at++ = char(0xF0 | (c >> 18));
                *m_at++ = char(0x80 | ((c >> 12) & 0x3F));
                *m_at++ = char(0x80 | ((c >> 6) & 0x3F));
                *m_at++ = char(0x80 | (c & 0x3F));
            }
        }
    }

    QByteArray m_out;
    char* m_at;
};

void writeRow(CsvWriter& out, const QByteArray& schoolClass, const GradeLine& line, const QString& pupil) {
    out.raw(schoolClass.constData(), schoolClass.size());
    out.raw(',');
    if (line.read) {
        out.field(line.name());
        out.raw(',');
        out.raw(char('0' + line.grade));
        out.raw(',');
        if (line.date.isValid() && !line.uncertain())
            out.isoDate(line.date);
    } else {
        out.raw(",,", 2);
    }
    out.raw(',');
    out.field(line.written);
    out.raw(',');
    out.field(dateNote(line));
    out.raw(',');
    out.field(pupil);
    out.raw("\r\n", 2);
}

} // namespace

QByteArray csvText(const QList<ClassBook>& books) {
    qsizetype expected = 0;
    for (const ClassBook& book : books) {
        for (const GradeLine& line : book.lines)
            expected += line.written.size() + 2 * line.nameSize + 32;
    }
    CsvWriter out(expected);
    const QByteArray header = exportColumns().join(QLatin1Char(',')).toUtf8() + "\r\n";
    out.raw(header.constData(), header.size());
    for (const ClassBook& book : books) {
        const QByteArray schoolClass = book.schoolClass.toLatin1().left(8);
        QList<int> pupilOfLine;
        const QList<Pupil> pupils = pupilsOf(book, &pupilOfLine);
        for (qsizetype i = 0; i < book.lines.size(); ++i) {
            const int pupil = pupilOfLine.at(i);
            writeRow(out, schoolClass, book.lines.at(i), pupil < 0 ? QString() : pupils.at(pupil).name);
        }
    }
    return out.take();
}

namespace {

bool writeStandardOutput(const QByteArray& bytes, QTextStream& errors) {
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
        errors << "cyfrolia: " << out.errorString() << Qt::endl;
        return false;
    }
    return true;
}

} // namespace

int exportCsv(const QString& folder, const QString& path, const QDate& today, QTextStream& errors) {
    bool failed = false;
    const QByteArray csv = csvText(readForExport(folder, today, errors, failed));
    if (path == QLatin1String("-"))
        return writeStandardOutput(csv, errors) && !failed ? 0 : 1;
    QSaveFile out(path);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly) || out.write(csv) != csv.size() || !out.commit()) {
        errors << "cyfrolia: "
               << cyfrolia::cannotCreateFileMessage(QFileInfo(path).absoluteFilePath(),
                                                    cyfrolia::systemReason(out, errno))
               << Qt::endl;
        return 1;
    }
    return failed ? 1 : 0;
}

} // namespace teacher
