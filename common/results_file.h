#pragma once

#include "common/failure.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>

namespace cyfrolia {

// The six school classes, in order, as the class chooser writes them.
const QStringList& schoolClasses();
bool isSchoolClass(const QString& text);

// "wyniki_kl_<class>.txt"
QString resultsFileName(const QString& schoolClass);

// One saved grade: first name, " ", last name, ". Ocena: ", grade, ". Dnia: ", date (no break).
QString resultsLine(const QString& imie, const QString& nazwisko, const QString& grade, const QString& date);

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

// The steps of a rewrite, in order: create the temporary file beside the target, write the
// text, flush it to disk, rename it over the target.
enum class RewriteStep { Create, Write, Flush, Rename };

// Lets tests break a rewrite at one step: returns the reason to fail with, or an empty string.
using RewriteFault = std::function<QString(RewriteStep)>;

// The largest results file read whole; a file that grows past it is refused rather than read
// without end.
constexpr qint64 kMaxResultsFileSize = qint64(64) << 20;

// Reads a whole file. Fails with "Cannot open file ..." when it can't be read, when it is no
// regular file (a folder, a FIFO, a device: nothing that could block or never end) or when it is
// larger than kMaxResultsFileSize.
Result<QByteArray> readWholeFile(const QString& fullPath);

// The file a name finally leads to, its links followed; the name itself when it is no link.
QString resolvedPath(const QString& path);

// Temporary files a rewrite of `fileName` in `folder` may have left behind when it was killed
// where the file system has no unnamed temporary files: "<fileName>." and six letters or digits.
QStringList rewriteLeftovers(const QString& folder, const QString& fileName);

// Replaces a file's content without ever leaving it half written: the text goes to a temporary
// file in the same folder (give the resolved path, so that a link stays a link), reaches the disk, and only
// then takes the file's name. Fails with "Cannot create file ..." on any failure; the file then
// keeps its previous content. The new content is given in pieces, written one after the other.
Result<void> rewriteWholeFile(const QString& fullPath, const QByteArrayList& pieces,
                              const RewriteFault& fault = {});

// The six results files in one folder (the program's folder, or a test's).
class ResultsFiles {
public:
    // `folder` ends with its separator.
    explicit ResultsFiles(QString folder) : m_folder(std::move(folder)) {}

    QString path(const QString& schoolClass) const { return m_folder + resultsFileName(schoolClass); }

    // The class's file with its breaks normalised.
    Result<QByteArray> read(const QString& schoolClass) const;

    // The whole save: read, add the line in Windows-1250, rewrite. The file must exist: a
    // missing file fails the read and nothing is created. A line the code page can't hold is
    // refused before anything is written. Another save of the same file, in this program or
    // another, waits: the save holds a lock file beside the file the name leads to from the read
    // to the rename, and gives up when it can't get it within the wait.
    Result<void> append(const QString& schoolClass, const QString& line) const;

    void setRewriteFault(RewriteFault fault) { m_fault = std::move(fault); }

    // How long a save waits for another one, and after how long a lock whose holder can't be
    // checked (a program on another computer sharing the folder) counts as left behind. A lock of
    // a program that is gone from this computer is taken over at once.
    void setLockTimes(int waitMs, int staleMs) {
        m_lockWaitMs = waitMs;
        m_lockStaleMs = staleMs;
    }

    // The lock file of a save into the file `resolved` (a path that is no link).
    static QString lockPath(const QString& resolved) { return resolved + QStringLiteral(".lock"); }

private:
    QString m_folder;
    RewriteFault m_fault;
    int m_lockWaitMs = 4000;
    int m_lockStaleMs = 15000;
};

} // namespace cyfrolia
