#include "common/results_file.h"

#include "common/cp1250.h"
#include "common/failure.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cyfrolia {

const QStringList& schoolClasses() {
    static const QStringList classes = {QStringLiteral("I"),  QStringLiteral("II"), QStringLiteral("III"),
                                        QStringLiteral("IV"), QStringLiteral("V"),  QStringLiteral("VI")};
    return classes;
}

bool isSchoolClass(const QString& text) {
    return schoolClasses().contains(text, Qt::CaseSensitive);
}

QString resultsFileName(const QString& schoolClass) {
    return QStringLiteral("wyniki_kl_") + schoolClass + QStringLiteral(".txt");
}

QString resultsLine(const QString& imie, const QString& nazwisko, const QString& grade, const QString& date) {
    return imie + QLatin1Char(' ') + nazwisko + QStringLiteral(". Ocena: ") + grade +
           QStringLiteral(". Dnia: ") + date;
}

QString shortDateText(const QDate& date, const QLocale& locale) {
    const QString text = locale.toString(date, QLocale::ShortFormat);
    if (!text.isEmpty() && cp1250::canEncode(text))
        return text;
    return date.toString(Qt::ISODate);
}

namespace {

// True when every break is CR LF already; memchr keeps this quick on long files.
bool onlyCrLf(const QByteArray& bytes) {
    const char* const begin = bytes.constData();
    const char* const end = begin + bytes.size();
    for (auto* p = static_cast<const char*>(std::memchr(begin, '\n', end - begin)); p;
         p = static_cast<const char*>(std::memchr(p + 1, '\n', end - p - 1))) {
        if (p == begin || p[-1] != '\r')
            return false;
    }
    for (auto* p = static_cast<const char*>(std::memchr(begin, '\r', end - begin)); p;
         p = static_cast<const char*>(std::memchr(p + 1, '\r', end - p - 1))) {
        if (p + 1 == end || p[1] != '\n')
            return false;
    }
    return true;
}

} // namespace

QByteArray normaliseLineBreaks(const QByteArray& bytes) {
    // What this program writes is CR LF throughout already: no copy then.
    if (onlyCrLf(bytes))
        return bytes;
    QByteArray out(bytes.size() * 2, Qt::Uninitialized);
    char* o = out.data();
    const char* p = bytes.constData();
    const char* const end = bytes.constData() + bytes.size();
    while (p < end) {
        const char c = *p++;
        if (c == '\r') {
            if (p < end && *p == '\n')
                ++p;
            *o++ = '\r';
            *o++ = '\n';
        } else if (c == '\n') {
            *o++ = '\r';
            *o++ = '\n';
        } else {
            *o++ = c;
        }
    }
    out.truncate(o - out.constData());
    return out;
}

QByteArray appendedTail(const QByteArray& text, const QByteArray& line) {
    if (text.isEmpty() || text.endsWith('\n'))
        return line + "\r\n";
    return "\r\n" + line;
}

QString textForDisplay(const QByteArray& normalised) {
    QString text(normalised.size(), Qt::Uninitialized);
    QChar* out = text.data();
    const char* p = normalised.constData();
    const char* const end = p + normalised.size();
    while (p < end) {
        const auto byte = static_cast<unsigned char>(*p++);
        if (byte == '\r' && p < end && *p == '\n') {
            ++p;
            *out++ = QLatin1Char('\n');
        } else if (byte == 0) {
            // A NUL would end the text of a text box early; show that something is there.
            *out++ = QChar(cp1250::kUndefined);
        } else {
            *out++ = QChar(cp1250::decode(byte));
        }
    }
    text.truncate(out - text.constData());
    return text;
}

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

Result<QByteArray> readWholeFile(const QString& fullPath) {
    auto fail = [&](const QString& reason) { return Failed{cannotOpenFileMessage(fullPath, reason)}; };
    // Non-blocking, so that opening a FIFO can't wait for a writer; what is opened is then looked
    // at before a single byte is read.
    const Descriptor fd(::open(QFile::encodeName(fullPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return fail(systemErrorText(errno));
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return fail(systemErrorText(errno));
    if (S_ISDIR(status.st_mode))
        return fail(systemErrorText(EISDIR));
    if (!S_ISREG(status.st_mode))
        return fail(QStringLiteral("Not a regular file"));
    if (status.st_size > kMaxResultsFileSize)
        return fail(systemErrorText(EFBIG));
    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    qsizetype have = 0;
    for (;;) {
        if (have == bytes.size()) {
            // The file grew since it was looked at (or tells no size): read on, within the limit.
            if (have > kMaxResultsFileSize)
                return fail(systemErrorText(EFBIG));
            bytes.resize(qMin<qsizetype>(qMax<qsizetype>(have * 2, 4096), kMaxResultsFileSize + 1));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + have, size_t(bytes.size() - have));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fail(systemErrorText(errno));
        }
        if (got == 0)
            break;
        have += got;
    }
    bytes.truncate(have);
    return bytes;
}

QString resolvedPath(const QString& path) {
    QFileInfo info(path);
    // A loop of links ends somewhere; the open that follows then reports it.
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

QStringList rewriteLeftovers(const QString& folder, const QString& fileName) {
    QStringList found;
    const QDir dir(folder);
    const QStringList names = dir.entryList({fileName + QStringLiteral(".??????")},
                                            QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QStringView suffix = QStringView(name).right(6);
        if (std::all_of(suffix.begin(), suffix.end(),
                        [](QChar c) { return c.unicode() < 128 && (c.isLetterOrNumber()); }))
            found.append(dir.filePath(name));
    }
    return found;
}

Result<void> rewriteWholeFile(const QString& fullPath, const QByteArrayList& pieces,
                              const RewriteFault& fault) {
    QSaveFile file(fullPath);
    // Never write in place: without a writable folder for the temporary file, fail instead.
    file.setDirectWriteFallback(false);
    // Each step in turn; the first that fails ends the rewrite, with its reason.
    QString reason;
    auto step = [&](RewriteStep at, auto&& action) {
        if (!reason.isEmpty())
            return;
        reason = fault ? fault(at) : QString();
        errno = 0;
        if (reason.isEmpty() && !action())
            reason = systemReason(file, errno);
    };
    step(RewriteStep::Create, [&] { return file.open(QIODevice::WriteOnly); });
    step(RewriteStep::Write, [&] {
        for (const QByteArray& piece : pieces) {
            // A short write carries no reason; the write of the rest fails with the system's
            // ("No space left on device").
            for (qsizetype done = 0; done < piece.size();) {
                const qint64 written = file.write(piece.constData() + done, piece.size() - done);
                if (written <= 0)
                    return false;
                done += written;
            }
        }
        return true;
    });
    step(RewriteStep::Flush, [&] { return file.flush(); });
    step(RewriteStep::Rename, [&] { return file.commit(); });
    if (reason.isEmpty())
        return {};
    file.cancelWriting(); // the temporary file goes, the old file stays as it was
    return Failed{cannotCreateFileMessage(fullPath, reason)};
}

Result<QByteArray> ResultsFiles::read(const QString& schoolClass) const {
    Result<QByteArray> bytes = readWholeFile(path(schoolClass));
    if (!bytes)
        return bytes;
    return normaliseLineBreaks(bytes.value());
}

Result<void> ResultsFiles::append(const QString& schoolClass, const QString& line) const {
    const QString shown = path(schoolClass);
    const auto encoded = cp1250::encode(line);
    if (!encoded)
        return Failed{cannotCreateFileMessage(
            shown, QStringLiteral("The line holds characters that Windows-1250 cannot store"))};
    // The lock, the temporary file and the rename all belong in the folder of the file the name
    // leads to: the name in the program's folder may be a link into a shared folder.
    const QString target = resolvedPath(shown);
    // A name that leads nowhere readable fails as the read would, before any lock is made.
    if (!QFileInfo(target).isFile()) {
        if (Result<QByteArray> read = readWholeFile(shown); !read)
            return Failed{read.failure()};
    }

    QLockFile lock(lockPath(target));
    lock.setStaleLockTime(m_lockStaleMs);
    // Polled often rather than with QLockFile's own growing pauses: another save is over in
    // milliseconds, and the child waiting should not sit out whole seconds.
    const QDeadlineTimer deadline(m_lockWaitMs);
    bool locked = lock.tryLock(0);
    while (!locked && lock.error() == QLockFile::LockFailedError && !deadline.hasExpired()) {
        QThread::msleep(QRandomGenerator::global()->bounded(5, 20));
        locked = lock.tryLock(0);
    }
    if (!locked) {
        switch (lock.error()) {
        case QLockFile::LockFailedError:
            return Failed{cannotCreateFileMessage(
                shown,
                QStringLiteral("Another save into this file is still under way; try again in a moment"))};
        case QLockFile::PermissionError:
            return Failed{cannotCreateFileMessage(lockPath(target), systemErrorText(EACCES))};
        default:
            return Failed{cannotCreateFileMessage(lockPath(target),
                                                  QStringLiteral("The lock file could not be written"))};
        }
    }
    // Nobody else is saving this file now: a temporary file of its name is a killed save's.
    const QFileInfo targetInfo(target);
    for (const QString& leftover : rewriteLeftovers(targetInfo.absolutePath(), targetInfo.fileName()))
        QFile::remove(leftover);

    const Result<QByteArray> read = readWholeFile(target);
    if (!read)
        return Failed{read.failure()};
    const QByteArray text = normaliseLineBreaks(read.value());
    // Written as two pieces: the old text is not copied to add one line to it.
    return rewriteWholeFile(target, {text, appendedTail(text, *encoded)}, m_fault);
}

} // namespace cyfrolia
