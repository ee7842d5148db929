#pragma once

#include "common/class_file.h"
#include "common/failure.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace cyfrolia {

// The six school classes, in order, as the class chooser writes them.
const QStringList& schoolClasses();
bool isSchoolClass(const QString& text);

// "wyniki_kl_<class>.txt"
QString resultsFileName(const QString& schoolClass);

// The date as the user writes it (short format of the locale); ISO when the locale's text holds
// characters the results file can't store.
QString shortDateText(const QDate& date, const QLocale& locale = QLocale::system());

// CR LF, a lone CR and a lone LF are one break each, written as CR LF. Every other byte stays.
QByteArray normaliseLineBreaks(const QByteArray& bytes);

// What adds one line at the end of normalised text: the line and a break after the last break,
// or, when the last line has no break, a new break and the line with none of its own.
QByteArray appendedTail(const QByteArray& text, const QByteArray& line);

// Normalised bytes of a results file as the viewer shows them: one '\n' per line break, bytes
// decoded from Windows-1250, NUL and undefined bytes shown as U+FFFD.
QString textForDisplay(const QByteArray& normalised);

// The largest results file read whole; a file that grows past it is refused rather than read
// without end, and no save makes one larger.
constexpr qint64 kMaxResultsFileSize = classfile::kMaxSize;

// Why a save failed: reading the file or writing it, and the reason, an errno or one of the
// program's own (class_file.h). It crosses from the saving helper to the window as one line of text.
struct SaveFailure {
    using Step = SaveStep;
    Step step = Step::Create;
    int error = 0;
    QString path;

    // "Cannot open file ..." or "Cannot create file ..." with the reason in the user's words.
    QString message() const;
    // "open|create <error> <path>", and back.
    QByteArray report() const;
    static std::optional<SaveFailure> fromReport(const QByteArray& report);
};

// Where the class file of a name in `folder` lies: the folder to open and the name to open there
// with no link followed. A link in `folder` itself is followed, once, only where no one but root
// and this user could have made it (the installed program's links into the shared folder);
// anywhere else it is a link, and refused.
struct ClassFilePlace {
    QString folder;
    QString name;
};
ClassFilePlace classFilePlace(const QString& folder, const QString& fileName);

// The six results files in one folder (the program's folder, or a test's).
class ResultsFiles {
public:
    // `folder` ends with its separator.
    explicit ResultsFiles(QString folder) : m_folder(std::move(folder)) {}

    QString path(const QString& schoolClass) const { return m_folder + resultsFileName(schoolClass); }

    // The class's file with its breaks normalised, read where the save would write it.
    Result<QByteArray> read(const QString& schoolClass) const;

    // The whole save, in the folder the class's name leads to (classFilePlace), as the user: the
    // names in the installed program's folder are links into the shared folder. The file must
    // exist: a missing file fails the read and nothing is created.
    std::optional<SaveFailure> save(const QString& schoolClass, const QByteArray& line,
                                    LockWait wait = LockWait::Block) const;
    Result<void> append(const QString& schoolClass, const QByteArray& line) const;

    void setRewriteFault(RewriteFault fault) { m_fault = std::move(fault); }

private:
    QString m_folder;
    RewriteFault m_fault;
};

} // namespace cyfrolia
