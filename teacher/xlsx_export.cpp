#include "teacher/xlsx_export.h"

#include "common/failure.h"
#include "teacher/csv_export.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextStream>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <sys/stat.h>

namespace teacher {

namespace {

// Excel's limits: the rows of a sheet, the characters of a cell.
constexpr lxw_row_t kRowsPerSheet = LXW_ROW_MAX;
constexpr qsizetype kCellLength = 32767;

enum Column : lxw_col_t {
    ClassColumn,
    NameColumn,
    GradeColumn,
    DateColumn,
    LineColumn,
    NotesColumn,
    PupilColumn
};

struct Formats {
    lxw_format* header;
    lxw_format* date;
};

// One sheet's rows as they are written: a sheet that is full goes on in a new one, "(2)".
class Sheet {
public:
    Sheet(lxw_workbook* book, const Formats& formats, QString name)
        : m_book(book), m_formats(formats), m_name(std::move(name)) {
        start();
    }

    lxw_error addRow(const QByteArray& schoolClass, const GradeLine& line, const QString& pupil);
    void finish();

private:
    void start();
    lxw_error text(lxw_col_t column, const QString& value);

    lxw_workbook* m_book;
    Formats m_formats;
    QString m_name;
    lxw_worksheet* m_sheet = nullptr;
    lxw_row_t m_row = 0;
    int m_part = 0;
};

void Sheet::start() {
    finish();
    ++m_part;
    const QString name = m_part == 1 ? m_name : QStringLiteral("%1 (%2)").arg(m_name).arg(m_part);
    m_sheet = workbook_add_worksheet(m_book, name.toUtf8().constData());
    const double widths[] = {7, 24, 7, 11, 60, 32, 24};
    for (lxw_col_t c = 0; c < lxw_col_t(std::size(widths)); ++c)
        worksheet_set_column(m_sheet, c, c, widths[c], nullptr);
    const QStringList& columns = exportColumns();
    for (lxw_col_t c = 0; c < lxw_col_t(columns.size()); ++c)
        worksheet_write_string(m_sheet, 0, c, columns.at(c).toUtf8().constData(), m_formats.header);
    worksheet_freeze_panes(m_sheet, 1, 0);
    m_row = 1;
}

void Sheet::finish() {
    if (m_sheet)
        worksheet_autofilter(m_sheet, 0, 0, m_row - 1, PupilColumn);
}

lxw_error Sheet::text(lxw_col_t column, const QString& value) {
    if (value.isEmpty())
        return LXW_NO_ERROR;
    return worksheet_write_string(m_sheet, m_row, column, value.toUtf8().constData(), nullptr);
}

lxw_error Sheet::addRow(const QByteArray& schoolClass, const GradeLine& line, const QString& pupil) {
    if (m_row == kRowsPerSheet)
        start();
    QString written = line.written, notes = dateNote(line);
    if (written.size() > kCellLength) {
        written.truncate(kCellLength - (written.at(kCellLength - 1).isHighSurrogate() ? 1 : 0));
        notes += (notes.isEmpty() ? QString() : QStringLiteral("; ")) +
                 QStringLiteral("wiersz skrócony do %1 znaków (cały jest w pliku klasy)").arg(kCellLength);
    }
    lxw_error error = worksheet_write_string(m_sheet, m_row, ClassColumn, schoolClass.constData(), nullptr);
    if (line.read) {
        if (!error)
            error = text(NameColumn, line.name().toString());
        if (!error)
            error = worksheet_write_number(m_sheet, m_row, GradeColumn, line.grade, nullptr);
        if (!error && line.date.isValid() && !line.uncertain()) {
            lxw_datetime date{line.date.year(), line.date.month(), line.date.day(), 0, 0, 0};
            error = worksheet_write_datetime(m_sheet, m_row, DateColumn, &date, m_formats.date);
        }
    }
    if (!error)
        error = text(LineColumn, written);
    if (!error)
        error = text(NotesColumn, notes);
    if (!error)
        error = text(PupilColumn, pupil);
    ++m_row;
    return error;
}

lxw_error writeSheets(lxw_workbook* book, const QList<ClassBook>& books) {
    lxw_format* header = workbook_add_format(book);
    format_set_bold(header);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd.mm.yyyy");
    const Formats formats{header, date};
    // Written row by row, each sheet from its top: every class goes to its own sheet and to all.
    Sheet all(book, formats, QStringLiteral("Wszystkie klasy"));
    QList<Sheet> classes;
    for (const ClassBook& b : books)
        classes.append(Sheet(book, formats, QStringLiteral("Klasa ") + b.schoolClass));
    lxw_error error = LXW_NO_ERROR;
    for (qsizetype k = 0; k < books.size() && !error; ++k) {
        const ClassBook& b = books.at(k);
        const QByteArray schoolClass = b.schoolClass.toUtf8();
        QList<int> pupilOfLine;
        const QList<Pupil> pupils = pupilsOf(b, &pupilOfLine);
        for (qsizetype i = 0; i < b.lines.size() && !error; ++i) {
            const int p = pupilOfLine.at(i);
            const QString& name = p < 0 ? QString() : pupils.at(p).name;
            error = all.addRow(schoolClass, b.lines.at(i), name);
            if (!error)
                error = classes[k].addRow(schoolClass, b.lines.at(i), name);
        }
    }
    all.finish();
    for (Sheet& sheet : classes)
        sheet.finish();
    return error;
}

// The C locale's numbers for as long as it lives: libxlsxwriter prints the file's numbers with
// printf, which a Polish locale would give decimal commas that no spreadsheet reads.
class CNumbers {
public:
    CNumbers() : m_c(::newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr))), m_old(::uselocale(m_c)) {}
    ~CNumbers() {
        ::uselocale(m_old);
        ::freelocale(m_c);
    }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

private:
    locale_t m_c;
    locale_t m_old;
};

// A new file's permissions, as QSaveFile gives them: the old file's, or what the umask leaves.
void setModeOfNew(const QString& temporary, const QString& path) {
    struct stat old {};
    mode_t mode;
    if (::stat(QFile::encodeName(path).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(QFile::encodeName(temporary).constData(), mode);
}

} // namespace

QString writeXlsx(const QList<ClassBook>& books, const QString& path) {
    // A link is written through, as QSaveFile does: the file it leads to is replaced.
    const QFileInfo target(path);
    const QString final = target.isSymLink() ? target.symLinkTarget() : target.absoluteFilePath();
    QTemporaryFile temporary(QFileInfo(final).absolutePath() + QStringLiteral("/.") +
                             QFileInfo(final).fileName() + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        return cyfrolia::cannotCreateFileMessage(target.absoluteFilePath(), temporary.errorString());
    temporary.close();
    const QByteArray name = QFile::encodeName(temporary.fileName());
    const CNumbers numbers;
    lxw_workbook_options options{LXW_TRUE, nullptr, LXW_FALSE};
    lxw_workbook* book = workbook_new_opt(name.constData(), &options);
    if (!book)
        return cyfrolia::cannotCreateFileMessage(target.absoluteFilePath(), QStringLiteral("libxlsxwriter"));
    errno = 0;
    const lxw_error written = writeSheets(book, books);
    const lxw_error closed = workbook_close(book);
    if (written || closed) {
        const int error = errno;
        return cyfrolia::cannotCreateFileMessage(
            target.absoluteFilePath(), error ? cyfrolia::systemErrorText(error)
                                             : QString::fromUtf8(lxw_strerror(written ? written : closed)));
    }
    setModeOfNew(temporary.fileName(), final);
    if (std::rename(name.constData(), QFile::encodeName(final).constData()) != 0) {
        const int error = errno;
        return cyfrolia::cannotCreateFileMessage(target.absoluteFilePath(), cyfrolia::systemErrorText(error));
    }
    temporary.setAutoRemove(false);
    return {};
}

int exportXlsx(const QString& folder, const QString& path, const QDate& today, QTextStream& errors) {
    bool failed = false;
    const QList<ClassBook> books = readForExport(folder, today, errors, failed);
    if (path != QLatin1String("-")) {
        const QString error = writeXlsx(books, path);
        if (!error.isEmpty())
            errors << "cyfrolia: " << error << Qt::endl;
        return failed || !error.isEmpty() ? 1 : 0;
    }
    // Standard output: made whole in a file of its own first, then copied.
    QTemporaryDir folderOfWhole;
    const QString whole = folderOfWhole.filePath(QStringLiteral("oceny.xlsx"));
    QString error = folderOfWhole.isValid() ? writeXlsx(books, whole) : folderOfWhole.errorString();
    QFile in(whole), out;
    if (error.isEmpty() && (!in.open(QIODevice::ReadOnly) || !out.open(stdout, QIODevice::WriteOnly) ||
                            out.write(in.readAll()) != in.size() || !out.flush()))
        error = in.error() != QFile::NoError ? in.errorString() : out.errorString();
    if (!error.isEmpty())
        errors << "cyfrolia: " << error << Qt::endl;
    return failed || !error.isEmpty() ? 1 : 0;
}

} // namespace teacher
