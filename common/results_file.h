#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
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

// The steps of a rewrite, in order: make the spare file ready, write the text, flush it to disk,
// swap it with the class file.
enum class RewriteStep { Create, Write, Flush, Rename };

// Lets tests break a rewrite at one step: returns the errno to fail with there, or 0.
using RewriteFault = std::function<int(RewriteStep)>;

// The largest results file read whole; a file that grows past it is refused rather than read
// without end.
constexpr qint64 kMaxResultsFileSize = qint64(64) << 20;

// Why a save failed: reading the file or writing it, and the reason, an errno or one of the
// program's own below. It crosses from the saving helper to the window as one line of text.
struct SaveFailure {
    enum class Step { Open, Create };
    Step step = Step::Create;
    int error = 0;
    QString path;

    // "Cannot open file ..." or "Cannot create file ..." with the reason in the user's words.
    QString message() const;
    // "open|create <error> <path>", and back.
    QByteArray report() const;
    static std::optional<SaveFailure> fromReport(const QByteArray& report);
};
inline constexpr int kAnotherSave = -1; // the lock is held by another save
inline constexpr int kRefusedFile = -2; // a link, a folder or a FIFO stands where our file should
inline constexpr int kRefusedLine = -3; // not a line the save window builds
inline constexpr int kSaverBroken = -4; // the helper ended without saying why

// The entries a save keeps beside the class files. Never removed: a kernel lock on the lock file
// lives as long as the save holding it, and the spare of a class is the temporary file the next
// text of the class file is written to before the two swap names.
inline constexpr char kLockName[] = ".cyfrolia.lock";
inline constexpr char kSpareName[] = ".cyfrolia-nowy.";    // + the class file's name
inline constexpr char kRetiredName[] = ".cyfrolia-stary."; // + the name; only where names can't swap

// Whether a save that finds the lock taken returns at once or waits for it.
enum class LockWait { TryOnce, Block };

// One save, the same for the program and its helper: lock, read, append `line` (Windows-1250,
// no break), write the spare, swap it with the file. Works only inside the folder opened as `folderFd` and
// follows no link there; refuses anything that is no regular file without blocking on it. Only
// the folder's owner creates a missing lock or spare file. `shownPath` is the file's name in
// messages.
std::optional<SaveFailure> appendResultsLine(int folderFd, const QString& fileName, const QString& shownPath,
                                             const QByteArray& line, LockWait wait,
                                             const RewriteFault& fault = {});

// Reads a whole file. Fails with "Cannot open file ..." when it can't be read, when it is no
// regular file (a folder, a FIFO, a device: nothing that could block or never end) or when it is
// larger than kMaxResultsFileSize.
Result<QByteArray> readWholeFile(const QString& fullPath);

// The file a name finally leads to, its links followed; the name itself when it is no link.
QString resolvedPath(const QString& path);

// The six results files in one folder (the program's folder, or a test's).
class ResultsFiles {
public:
    // `folder` ends with its separator.
    explicit ResultsFiles(QString folder) : m_folder(std::move(folder)) {}

    QString path(const QString& schoolClass) const { return m_folder + resultsFileName(schoolClass); }

    // The class's file with its breaks normalised.
    Result<QByteArray> read(const QString& schoolClass) const;

    // The whole save, in the folder the class's name leads to: the names in the program's folder
    // may be links into a shared folder (they are root's, and trusted). The file must exist: a
    // missing file fails the read and nothing is created.
    std::optional<SaveFailure> save(const QString& schoolClass, const QByteArray& line,
                                    LockWait wait = LockWait::Block) const;
    Result<void> append(const QString& schoolClass, const QByteArray& line) const;

    void setRewriteFault(RewriteFault fault) { m_fault = std::move(fault); }

private:
    QString m_folder;
    RewriteFault m_fault;
};

} // namespace cyfrolia
