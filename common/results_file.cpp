#include "common/results_file.h"

#include "common/cp1250.h"
#include "common/failure.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
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

QString ownReason(int error) {
    switch (error) {
    case kAnotherSave:
        return QStringLiteral("Ktoś inny właśnie zapisuje wynik. Spróbuj jeszcze raz za chwilę");
    case kRefusedFile:
        return QStringLiteral("To nie jest zwykły plik z wynikami, więc program go nie zmieni. Poproś o "
                              "pomoc nauczyciela");
    case kRefusedLine:
        return QStringLiteral("Tego wpisu nie można zapisać");
    case kSaverBroken:
        return QStringLiteral("Zapisywanie przerwało się. Spróbuj jeszcze raz");
    }
    return systemErrorText(error);
}

// Reads an open file whole. Returns an error number, 0 on success.
int readAll(int fd, QByteArray& bytes) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    if (!S_ISREG(status.st_mode))
        return kRefusedFile;
    if (status.st_size > kMaxResultsFileSize)
        return EFBIG;
    bytes.resize(qsizetype(status.st_size));
    qsizetype have = 0;
    for (;;) {
        if (have == bytes.size()) {
            // The file grew since it was looked at (or tells no size): read on, within the limit.
            if (have > kMaxResultsFileSize)
                return EFBIG;
            bytes.resize(qMin<qsizetype>(qMax<qsizetype>(have * 2, 4096), kMaxResultsFileSize + 1));
        }
        const ssize_t got = ::read(fd, bytes.data() + have, size_t(bytes.size() - have));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break;
        have += got;
    }
    bytes.truncate(have);
    return 0;
}

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

QString SaveFailure::message() const {
    const QString reason = ownReason(error);
    return step == Step::Open ? cannotOpenFileMessage(path, reason) : cannotCreateFileMessage(path, reason);
}

QByteArray SaveFailure::report() const {
    return (step == Step::Open ? "open " : "create ") + QByteArray::number(error) + ' ' + path.toUtf8();
}

std::optional<SaveFailure> SaveFailure::fromReport(const QByteArray& report) {
    const QByteArray text = report.endsWith('\n') ? report.chopped(1) : report;
    const qsizetype first = text.indexOf(' ');
    const qsizetype second = text.indexOf(' ', first + 1);
    if (first < 0 || second < 0)
        return std::nullopt;
    SaveFailure failure;
    const QByteArray step = text.left(first);
    if (step == "open")
        failure.step = Step::Open;
    else if (step != "create")
        return std::nullopt;
    bool number = false;
    failure.error = text.mid(first + 1, second - first - 1).toInt(&number);
    if (!number)
        return std::nullopt;
    failure.path = QString::fromUtf8(text.mid(second + 1));
    return failure;
}

std::optional<SaveFailure> appendResultsLine(int folderFd, const QString& fileName, const QString& shownPath,
                                             const QByteArray& line, LockWait wait,
                                             const RewriteFault& fault) {
    auto failed = [&](SaveFailure::Step step, int error) { return SaveFailure{step, error, shownPath}; };

    // Only the folder's owner makes what is missing; anyone else would make it their own.
    struct stat folder {};
    if (::fstat(folderFd, &folder) != 0)
        return failed(SaveFailure::Step::Open, errno);
    const int create = folder.st_uid == ::geteuid() ? O_CREAT : 0;
    // Nothing in the folder is followed, and nothing can make an open wait (a FIFO).
    constexpr int kSafe = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    auto refusedOr = [](int error) { return error == ELOOP || error == ENXIO ? kRefusedFile : error; };
    auto isPlainFile = [](int fd) {
        struct stat status {};
        return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    };

    const QByteArray name = QFile::encodeName(fileName);
    // A name that leads nowhere readable fails as the read would, before the lock is made.
    struct stat standing {};
    if (::fstatat(folderFd, name.constData(), &standing, AT_SYMLINK_NOFOLLOW) != 0)
        return failed(SaveFailure::Step::Open, errno);
    if (!S_ISREG(standing.st_mode))
        return failed(SaveFailure::Step::Open, S_ISDIR(standing.st_mode) ? EISDIR : kRefusedFile);

    const Descriptor lock(::openat(folderFd, kLockName, O_RDWR | kSafe | create, 0660));
    if (lock.get() < 0)
        return failed(SaveFailure::Step::Create, refusedOr(errno));
    if (!isPlainFile(lock.get()))
        return failed(SaveFailure::Step::Create, kRefusedFile);
    // Held by the kernel for this open file: it goes when the save ends, however it ends, and
    // holds across computers on a network share.
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    while (::fcntl(lock.get(), wait == LockWait::Block ? F_OFD_SETLKW : F_OFD_SETLK, &whole) != 0) {
        if (errno == EINTR && wait == LockWait::Block)
            continue;
        return failed(SaveFailure::Step::Create,
                      errno == EAGAIN || errno == EACCES || errno == EINTR ? kAnotherSave : errno);
    }

    const QByteArray spareName = kSpareName + name;
    const QByteArray retiredName = kRetiredName + name;
    // A save killed halfway through swapping names the slow way left the old file's second name.
    struct stat retired {};
    if (::fstatat(folderFd, retiredName.constData(), &retired, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(retired.st_mode)) {
        struct stat spare {};
        if (::fstatat(folderFd, spareName.constData(), &spare, AT_SYMLINK_NOFOLLOW) == 0)
            ::unlinkat(folderFd, retiredName.constData(), 0);
        else
            ::renameat(folderFd, retiredName.constData(), folderFd, spareName.constData());
    }

    QByteArray text;
    struct stat target {};
    {
        const Descriptor file(::openat(folderFd, name.constData(), O_RDONLY | kSafe));
        if (file.get() < 0)
            return failed(SaveFailure::Step::Open, refusedOr(errno));
        if (const int error = readAll(file.get(), text))
            return failed(SaveFailure::Step::Open, error);
        ::fstat(file.get(), &target);
    }
    text = normaliseLineBreaks(text);
    const QByteArray tail = appendedTail(text, line);

    // Each step in turn gives 0 or why it failed; the first failure ends the rewrite.
    int error = 0;
    auto step = [&](RewriteStep at, auto&& action) {
        if (error)
            return;
        error = fault ? fault(at) : 0;
        if (!error)
            error = action();
    };
    auto fromErrno = [](bool done) { return done ? 0 : (errno ? errno : EIO); };
    // The spare is written while the class file stands untouched; a save killed now leaves the
    // old file, and the next save writes the spare afresh.
    const Descriptor spare(
        ::openat(folderFd, spareName.constData(), O_WRONLY | kSafe | create, target.st_mode & 0666));
    step(RewriteStep::Create, [&] {
        struct stat status {};
        if (spare.get() < 0)
            return refusedOr(errno);
        if (::fstat(spare.get(), &status) != 0)
            return errno;
        // A second name would let the new text show up elsewhere.
        if (!S_ISREG(status.st_mode) || status.st_nlink != 1)
            return kRefusedFile;
        const bool fix = status.st_uid == ::geteuid() && (status.st_mode & 07777) != (target.st_mode & 0666);
        return fromErrno(!fix || ::fchmod(spare.get(), target.st_mode & 0666) == 0);
    });
    // Over the spare's old text, which is about as long, and cut to length after: no blocks are
    // given back and taken anew.
    step(RewriteStep::Write, [&] {
        return fromErrno(writeAll(spare.get(), text.constData(), text.size()) &&
                         writeAll(spare.get(), tail.constData(), tail.size()) &&
                         ::ftruncate(spare.get(), text.size() + tail.size()) == 0);
    });
    step(RewriteStep::Flush, [&] { return fromErrno(::fdatasync(spare.get()) == 0); });
    // One atomic step: the class file's name now holds the new text, the spare's the old.
    step(RewriteStep::Rename, [&] {
        if (::renameat2(folderFd, spareName.constData(), folderFd, name.constData(), RENAME_EXCHANGE) == 0)
            return 0;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return errno;
        // A file system that can't swap names: the old file keeps a second name until the new
        // one has taken its place, and then becomes the spare.
        return fromErrno(::linkat(folderFd, name.constData(), folderFd, retiredName.constData(), 0) == 0 &&
                         ::renameat(folderFd, spareName.constData(), folderFd, name.constData()) == 0 &&
                         ::renameat(folderFd, retiredName.constData(), folderFd, spareName.constData()) == 0);
    });
    if (error)
        return failed(SaveFailure::Step::Create, error);
    return std::nullopt;
}

Result<QByteArray> readWholeFile(const QString& fullPath) {
    // Non-blocking, so that opening a FIFO can't wait for a writer; what is opened is then looked
    // at before a single byte is read.
    const Descriptor fd(::open(QFile::encodeName(fullPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    QByteArray bytes;
    const int error = fd.get() < 0 ? errno : readAll(fd.get(), bytes);
    if (error)
        return Failed{cannotOpenFileMessage(fullPath, ownReason(error))};
    return bytes;
}

QString resolvedPath(const QString& path) {
    QFileInfo info(path);
    // A loop of links ends somewhere; the open that follows then reports it.
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

Result<QByteArray> ResultsFiles::read(const QString& schoolClass) const {
    Result<QByteArray> bytes = readWholeFile(path(schoolClass));
    if (!bytes)
        return bytes;
    return normaliseLineBreaks(bytes.value());
}

std::optional<SaveFailure> ResultsFiles::save(const QString& schoolClass, const QByteArray& line,
                                              LockWait wait) const {
    const QString shown = path(schoolClass);
    const QFileInfo target(resolvedPath(shown));
    const Descriptor folder(
        ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        return SaveFailure{SaveFailure::Step::Open, errno, shown};
    return appendResultsLine(folder.get(), target.fileName(), shown, line, wait, m_fault);
}

Result<void> ResultsFiles::append(const QString& schoolClass, const QByteArray& line) const {
    if (const auto failure = save(schoolClass, line))
        return Failed{failure->message()};
    return {};
}

} // namespace cyfrolia
