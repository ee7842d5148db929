#include "teacher/csv_export.h"

#include "common/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace teacher {

namespace {

// Quoted where the field holds a separator, a quote or a break, and where blanks at its ends
// would be lost to a spreadsheet that trims unquoted fields.
void appendField(QByteArray& out, const QString& field) {
    const QByteArray utf8 = field.toUtf8();
    if (utf8.contains(',') || utf8.contains('"') || utf8.contains('\n') || utf8.contains('\r') ||
        utf8.startsWith(' ') || utf8.endsWith(' ')) {
        out += '"';
        for (char c : utf8) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    } else {
        out += utf8;
    }
}

// yyyy-mm-dd, written out here: formatting through QDate for every row costs more than the rest.
void appendIsoDate(QByteArray& out, const QDate& date) {
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
    out.append(text, n);
}

} // namespace

QByteArray csvText(const QList<ClassBook>& books) {
    QByteArray out;
    qsizetype size = 0;
    for (const ClassBook& book : books) {
        for (const GradeLine& line : book.lines)
            size += line.written.size() * 2 + 40;
    }
    out.reserve(size + 64);
    out += "klasa,imię i nazwisko,ocena,data,wiersz\r\n";
    for (const ClassBook& book : books) {
        const QByteArray schoolClass = book.schoolClass.toLatin1();
        for (const GradeLine& line : book.lines) {
            out += schoolClass;
            out += ',';
            if (line.read) {
                appendField(out, line.name);
                out += ',';
                out += char('0' + line.grade);
                out += ',';
                if (line.date.isValid())
                    appendIsoDate(out, line.date);
            } else {
                out += ",,";
            }
            out += ',';
            appendField(out, line.written);
            out += "\r\n";
        }
    }
    return out;
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
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(csv) != csv.size() || !out.commit()) {
        errors << "cyfrolia: "
               << cyfrolia::cannotCreateFileMessage(QFileInfo(path).absoluteFilePath(), out.errorString())
               << Qt::endl;
        return 1;
    }
    return code;
}

} // namespace teacher
