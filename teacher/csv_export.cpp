#include "teacher/csv_export.h"

#include "common/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace teacher {

namespace {

// Writes the table into room made for it beforehand: going through QString::toUtf8() and
// QByteArray's appends costs an allocation or a check a field, and an export has hundreds of
// thousands of them.
class CsvWriter {
public:
    // `units`: how many UTF-16 units the fields hold in all; `rows`: how many rows.
    CsvWriter(qsizetype units, qsizetype rows) : m_out(units * 3 + rows * 64 + 64, Qt::Uninitialized) {
        m_at = m_out.data();
    }

    void raw(const char* text, qsizetype size) {
        std::memcpy(m_at, text, size_t(size));
        m_at += size;
    }
    void raw(char c) { *m_at++ = c; }

    // Quoted where the field holds a separator, a quote or a break, and where blanks at its ends
    // would be lost to a spreadsheet that trims unquoted fields. A quote is doubled.
    void field(QStringView text) {
        const bool quoted = text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' ')) ||
                            std::any_of(text.begin(), text.end(), [](QChar c) {
                                return c == QLatin1Char(',') || c == QLatin1Char('"') ||
                                       c == QLatin1Char('\n') || c == QLatin1Char('\r');
                            });
        if (quoted)
            raw('"');
        for (qsizetype i = 0; i < text.size(); ++i) {
            char32_t c = text.at(i).unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), text.at(++i).unicode());
            else if (QChar::isSurrogate(c))
                c = 0xFFFD;
            if (c < 0x80) {
                if (c == '"')
                    raw('"');
                raw(char(c));
            } else if (c < 0x800) {
                raw(char(0xC0 | (c >> 6)));
                raw(char(0x80 | (c & 0x3F)));
            } else if (c < 0x10000) {
                raw(char(0xE0 | (c >> 12)));
                raw(char(0x80 | ((c >> 6) & 0x3F)));
                raw(char(0x80 | (c & 0x3F)));
            } else {
                raw(char(0xF0 | (c >> 18)));
                raw(char(0x80 | ((c >> 12) & 0x3F)));
                raw(char(0x80 | ((c >> 6) & 0x3F)));
                raw(char(0x80 | (c & 0x3F)));
            }
        }
        if (quoted)
            raw('"');
    }

    void isoDate(const QDate& date) {
        char text[32];
        const int n =
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
        raw(text, n);
    }

    QByteArray take() {
        m_out.truncate(m_at - m_out.constData());
        return std::move(m_out);
    }

private:
    QByteArray m_out;
    char* m_at;
};

} // namespace

QByteArray csvText(const QList<ClassBook>& books) {
    // Each unit takes at most three bytes, a doubled quote two for its one unit.
    qsizetype units = 0, rows = 1;
    for (const ClassBook& book : books) {
        rows += book.lines.size();
        for (const GradeLine& line : book.lines)
            units += line.written.size() + line.nameSize;
    }
    CsvWriter out(units, rows);
    const QByteArray header = QByteArrayLiteral("klasa,imię i nazwisko,ocena,data,wiersz\r\n");
    out.raw(header.constData(), header.size());
    for (const ClassBook& book : books) {
        const QByteArray schoolClass = book.schoolClass.toLatin1().left(8);
        for (const GradeLine& line : book.lines) {
            out.raw(schoolClass.constData(), schoolClass.size());
            out.raw(',');
            if (line.read) {
                out.field(line.name());
                out.raw(',');
                out.raw(char('0' + line.grade));
                out.raw(',');
                if (line.date.isValid())
                    out.isoDate(line.date);
            } else {
                out.raw(",,", 2);
            }
            out.raw(',');
            out.field(line.written);
            out.raw("\r\n", 2);
        }
    }
    return out.take();
}

int exportCsv(const QString& folder, const QString& path, QTextStream& errors) {
    const QList<ClassBook> books = readClassBooks(folder, DateReader());
    int code = 0;
    for (const ClassBook& book : books) {
        if (!book.failure.isEmpty()) {
            errors << "cyfrolia: " << book.failure << Qt::endl;
            code = 1;
        }
    }
    const QByteArray csv = csvText(books);
    if (path == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(csv) != csv.size() || !out.flush()) {
            errors << "cyfrolia: " << out.errorString() << Qt::endl;
            return 1;
        }
        return code;
    }
    // Written in place: the export is made afresh from the class files whenever it is wanted, so a
    // failed write is reported rather than guarded against with a copy synced to disk first.
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(csv) != csv.size() ||
        !out.flush()) {
        errors << "cyfrolia: "
               << cyfrolia::cannotCreateFileMessage(QFileInfo(path).absoluteFilePath(), out.errorString())
               << Qt::endl;
        return 1;
    }
    return code;
}

} // namespace teacher
