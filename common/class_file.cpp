#include "common/class_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cyfrolia::classfile {

namespace {

constexpr std::array<std::string_view, 6> kClasses = {"I", "II", "III", "IV", "V", "VI"};

// Nothing in the folder is followed, and nothing can make an open wait (a FIFO).
constexpr int kSafe = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// A link where a file of ours should be is refused like any other stranger.
int refusedOr(int error) {
    return error == ELOOP || error == ENXIO || error == ENOTDIR ? kRefusedFile : error;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            // A write that takes nothing tells no reason of its own.
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

// One save, step by step; each step gives nothing or why the save stops there.
class Save {
public:
    Save(int folderFd, const std::string& name, const SaveOptions& options)
        : m_folder(folderFd), m_name(name), m_options(options), m_newName(newFileName(name)) {}
    ~Save() { dropNewFile(); }

    std::optional<SaveError> run(std::string_view line);

private:
    std::optional<SaveError> findClassFile();
    std::optional<SaveError> takeLock();
    std::optional<SaveError> readClassFile();
    bool groupMayWrite(int error) const;
    std::optional<SaveError> clearNewName();
    int createNewFile();
    int writeText(std::string_view end);
    template <typename Action> std::optional<SaveError> rewrite(RewriteStep step, Action&& action);
    void dropNewFile();

    const int m_folder;
    const std::string& m_name;
    const SaveOptions& m_options;
    const std::string m_newName;
    struct stat m_class {};
    Descriptor m_lock;
    std::string m_text;
    Descriptor m_new;
    bool m_newMade = false;
};

std::optional<SaveError> Save::run(std::string_view line) {
    if (auto failure = findClassFile())
        return failure;
    if (auto failure = takeLock())
        return failure;
    if (auto failure = readClassFile())
        return failure;
    if (!onlyCrLf(m_text))
        m_text = normalised(m_text);
    const std::string end = tail(m_text, line);
    if (std::int64_t(m_text.size() + end.size()) > kMaxSize)
        return SaveError{SaveStep::Create, EFBIG};
    if (auto failure = clearNewName())
        return failure;
    if (auto failure = rewrite(RewriteStep::Create, [&] { return createNewFile(); }))
        return failure;
    if (auto failure = rewrite(RewriteStep::Write, [&] { return writeText(end); }))
        return failure;
    if (auto failure = rewrite(RewriteStep::Flush, [&] { return ::fdatasync(m_new.get()) == 0 ? 0 : errno; }))
        return failure;
    // One step on every disk: the class file's name holds the new text, and the old file goes with
    // its last name (and with it whatever anyone still had open of it).
    if (auto failure = rewrite(RewriteStep::Rename, [&] {
            return ::renameat(m_folder, m_newName.c_str(), m_folder, m_name.c_str()) == 0 ? 0 : errno;
        }))
        return failure;
    m_newMade = false;
    return std::nullopt;
}

// Looked at before anything is made: a name that leads nowhere readable fails as the read would.
std::optional<SaveError> Save::findClassFile() {
    if (::fstatat(m_folder, m_name.c_str(), &m_class, AT_SYMLINK_NOFOLLOW) != 0)
        return SaveError{SaveStep::Open, errno};
    if (!S_ISREG(m_class.st_mode))
        return SaveError{SaveStep::Open, S_ISDIR(m_class.st_mode) ? EISDIR : kRefusedFile};
    return std::nullopt;
}

// The class's own lock, made by whoever may write the folder. The shared folder's writer keeps
// its locks to itself; a user's lock is as open as the class file, so that whoever may save into
// that can take it. The kernel holds the lock for this open file: it goes when the save ends,
// however it ends, and holds across computers on a network share.
std::optional<SaveError> Save::takeLock() {
    const std::string name = lockName(m_name);
    const mode_t mode = m_options.writeFor == WriteFor::Group ? 0600 : (m_class.st_mode & 0666) | 0600;
    int fd = ::openat(m_folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | kSafe, mode);
    if (fd >= 0)
        ::fchmod(fd, mode); // the mode asked for, not the umask's
    else if (errno == EEXIST)
        fd = ::openat(m_folder, name.c_str(), O_RDWR | kSafe);
    m_lock.reset(fd);
    if (fd < 0)
        return SaveError{SaveStep::Create, refusedOr(errno)};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return SaveError{SaveStep::Create, kRefusedFile};
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    const bool block = m_options.wait == LockWait::Block;
    while (::fcntl(fd, block ? F_OFD_SETLKW : F_OFD_SETLK, &whole) != 0) {
        if (errno == EINTR && block)
            continue;
        const bool taken = errno == EAGAIN || errno == EACCES || errno == EINTR;
        return SaveError{SaveStep::Create, taken ? kAnotherSave : errno};
    }
    return std::nullopt;
}

// Read under the lock, so that no other save's line is lost, and opened for writing where the
// user may write it: a class file the user may not write is never changed, and the system says
// why. A class file with a second name is not read at all: its text could be anyone's, and the
// new file is read by all.
std::optional<SaveError> Save::readClassFile() {
    int fd = ::openat(m_folder, m_name.c_str(), O_RDWR | kSafe);
    const int writeError = fd < 0 ? errno : 0;
    if (fd < 0)
        fd = ::openat(m_folder, m_name.c_str(), O_RDONLY | kSafe);
    const Descriptor file(fd);
    if (fd < 0)
        return SaveError{SaveStep::Open, refusedOr(errno)};
    if (::fstat(fd, &m_class) != 0)
        return SaveError{SaveStep::Open, errno};
    if (S_ISREG(m_class.st_mode) && m_class.st_nlink != 1)
        return SaveError{SaveStep::Open, kRefusedFile};
    if (const int error = readAll(fd, m_text))
        return SaveError{SaveStep::Open, error};
    if (writeError && !groupMayWrite(writeError))
        return SaveError{SaveStep::Create, writeError};
    return std::nullopt;
}

// A class file a teacher of the group made anew (an editor's new file renamed over the old one,
// or a file made after an rm): the teacher's own, the group's, and writable by its owner.
bool Save::groupMayWrite(int error) const {
    return m_options.writeFor == WriteFor::Group && error == EACCES && m_class.st_gid == ::getegid() &&
           (m_class.st_mode & S_IWUSR);
}

// What a killed save left under the new file's name goes; anything else there is refused.
std::optional<SaveError> Save::clearNewName() {
    struct stat left {};
    if (::fstatat(m_folder, m_newName.c_str(), &left, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? std::nullopt : std::optional(SaveError{SaveStep::Create, errno});
    if (!S_ISREG(left.st_mode) || left.st_nlink != 1)
        return SaveError{SaveStep::Create, kRefusedFile};
    if (::unlinkat(m_folder, m_newName.c_str(), 0) != 0 && errno != ENOENT)
        return SaveError{SaveStep::Create, errno};
    return std::nullopt;
}

// Made afresh by this save (O_EXCL), so no one else's descriptor reaches it and no earlier text
// is in it. The shared folder's files are the writer's and the group's, 0664; a user's keeps the
// class file's mode, and its group where the user may give it.
int Save::createNewFile() {
    const bool group = m_options.writeFor == WriteFor::Group;
    const mode_t mode = group ? 0664 : m_class.st_mode & 0666;
    m_new.reset(::openat(m_folder, m_newName.c_str(), O_WRONLY | O_CREAT | O_EXCL | kSafe, mode));
    if (m_new.get() < 0)
        return refusedOr(errno);
    m_newMade = true;
    // Where a disk has no modes or owners (FAT), it keeps its own.
    ::fchmod(m_new.get(), mode);
    if (!group && m_class.st_gid != ::getegid()) {
        [[maybe_unused]] const int kept = ::fchown(m_new.get(), uid_t(-1), m_class.st_gid);
    }
    return 0;
}

int Save::writeText(std::string_view end) {
    if (writeAll(m_new.get(), m_text) && writeAll(m_new.get(), end))
        return 0;
    return errno ? errno : EIO;
}

// A step of the rewrite: the fault a test puts there, or the step's own outcome.
template <typename Action> std::optional<SaveError> Save::rewrite(RewriteStep step, Action&& action) {
    int error = m_options.fault ? m_options.fault(step) : 0;
    if (!error)
        error = action();
    if (!error)
        return std::nullopt;
    return SaveError{SaveStep::Create, error};
}

// A save that stops after making its new file takes it away again; the class file stays as it was.
void Save::dropNewFile() {
    if (m_newMade)
        ::unlinkat(m_folder, m_newName.c_str(), 0);
    m_newMade = false;
}

} // namespace

std::optional<std::string> fileName(std::string_view schoolClass) {
    if (std::find(kClasses.begin(), kClasses.end(), schoolClass) == kClasses.end())
        return std::nullopt;
    return "wyniki_kl_" + std::string(schoolClass) + ".txt";
}

std::string lockName(std::string_view fileName) {
    return ".cyfrolia-blokada." + std::string(fileName);
}

std::string newFileName(std::string_view fileName) {
    return ".cyfrolia-nowy." + std::string(fileName);
}

bool onlyCrLf(std::string_view bytes) {
    // memchr keeps this quick on long files.
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    for (auto* p = static_cast<const char*>(std::memchr(begin, '\n', bytes.size())); p;
         p = static_cast<const char*>(std::memchr(p + 1, '\n', std::size_t(end - p - 1)))) {
        if (p == begin || p[-1] != '\r')
            return false;
    }
    for (auto* p = static_cast<const char*>(std::memchr(begin, '\r', bytes.size())); p;
         p = static_cast<const char*>(std::memchr(p + 1, '\r', std::size_t(end - p - 1)))) {
        if (p + 1 == end || p[1] != '\n')
            return false;
    }
    return true;
}

std::string normalised(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string tail(std::string_view text, std::string_view line) {
    if (text.empty() || text.back() == '\n')
        return std::string(line) + "\r\n";
    return "\r\n" + std::string(line);
}

int readAll(int fd, std::string& bytes) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    if (!S_ISREG(status.st_mode))
        return kRefusedFile;
    if (status.st_size > kMaxSize)
        return EFBIG;
    bytes.resize(std::size_t(status.st_size));
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            // The file grew since it was looked at (or tells no size): read on, within the limit.
            if (std::int64_t(have) > kMaxSize)
                return EFBIG;
            bytes.resize(
                std::size_t(std::min<std::int64_t>(std::max<std::size_t>(have * 2, 4096), kMaxSize + 1)));
        }
        const ssize_t got = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            break;
        have += std::size_t(got);
    }
    bytes.resize(have);
    return 0;
}

int readAt(int folderFd, const std::string& name, std::string& bytes) {
    const Descriptor file(::openat(folderFd, name.c_str(), O_RDONLY | kSafe));
    if (file.get() < 0)
        return refusedOr(errno);
    return readAll(file.get(), bytes);
}

std::optional<SaveError> append(int folderFd, const std::string& fileName, std::string_view line,
                                const SaveOptions& options) {
    return Save(folderFd, fileName, options).run(line);
}

std::string report(const SaveError& error, std::string_view path) {
    return (error.step == SaveStep::Open ? "open " : "create ") + std::to_string(error.error) + ' ' +
           std::string(path);
}

std::optional<Report> fromReport(std::string_view text) {
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    const std::size_t first = text.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : text.find(' ', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    Report read;
    const std::string_view step = text.substr(0, first);
    if (step == "open")
        read.error.step = SaveStep::Open;
    else if (step != "create")
        return std::nullopt;
    const char* const number = text.data() + first + 1;
    const auto [end, problem] = std::from_chars(number, text.data() + second, read.error.error);
    if (problem != std::errc() || end != text.data() + second)
        return std::nullopt;
    read.path = std::string(text.substr(second + 1));
    return read;
}

SavePace::~SavePace() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<SaveError> SavePace::begin(int folderFd, uid_t user, std::time_t now) {
    // The writer's own folder: made when missing, refused when it is anyone else's.
    if (::mkdirat(folderFd, kPaceFolder, 0700) != 0 && errno != EEXIST)
        return SaveError{SaveStep::Create, errno};
    const Descriptor folder(::openat(folderFd, kPaceFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.get() < 0)
        return SaveError{SaveStep::Create, refusedOr(errno)};
    struct stat status {};
    if (::fstat(folder.get(), &status) != 0 || status.st_uid != ::geteuid() || (status.st_mode & 077) != 0)
        return SaveError{SaveStep::Create, kRefusedFile};

    m_fd = ::openat(folder.get(), std::to_string(user).c_str(), O_RDWR | O_CREAT | kSafe, 0600);
    if (m_fd < 0)
        return SaveError{SaveStep::Create, refusedOr(errno)};
    if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode))
        return SaveError{SaveStep::Create, kRefusedFile};
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(m_fd, F_OFD_SETLK, &whole) != 0)
        return SaveError{SaveStep::Create, errno == EAGAIN || errno == EACCES ? kTooSoon : errno};

    char text[32] = {};
    const ssize_t got = ::pread(m_fd, text, sizeof text - 1, 0);
    std::time_t last = 0;
    if (got > 0 && std::from_chars(text, text + got, last).ec == std::errc() && now >= last &&
        now - last < kSeconds)
        return SaveError{SaveStep::Create, kTooSoon};
    return std::nullopt;
}

void SavePace::record(std::time_t now) {
    const std::string text = std::to_string(now) + '\n';
    if (m_fd >= 0 && ::pwrite(m_fd, text.data(), text.size(), 0) == ssize_t(text.size())) {
        [[maybe_unused]] const int cut = ::ftruncate(m_fd, off_t(text.size()));
    }
}

} // namespace cyfrolia::classfile
