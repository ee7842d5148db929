#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

// The class files on disk, the same for the program and its saving helper: reading one, adding a
// line, the locks. The C++ standard library and the C library only, so that the helper links
// nothing more. Everything works inside a folder opened as a descriptor, and nothing there is
// followed: a link, a FIFO or a folder where a file of ours should be is refused.
namespace cyfrolia {

// Why a save failed, when the reason is the program's own and no errno.
inline constexpr int kAnotherSave = -1; // the class's lock is held by another save
inline constexpr int kRefusedFile = -2; // no regular file of one name where one should be
inline constexpr int kRefusedLine = -3; // not a line the save window builds
inline constexpr int kSaverBroken = -4; // the helper ended without saying why
inline constexpr int kTooSoon = -5;     // the same user saved moments ago

// A save fails reading the class file (Open) or writing it (Create), for an errno or one of the
// reasons above.
enum class SaveStep { Open, Create };
struct SaveError {
    SaveStep step = SaveStep::Create;
    int error = 0;
};

// The steps of a rewrite, in order: create the new file, write the text, flush it to disk, rename
// it over the class file.
enum class RewriteStep { Create, Write, Flush, Rename };

// Lets tests break a rewrite at one step, or look at the folder there: returns the errno to fail
// with at that step, or 0.
using RewriteFault = std::function<int(RewriteStep)>;

// Whether a save that finds its class's lock taken returns at once or waits for it.
enum class LockWait { TryOnce, Block };

// Whom a save writes for. A user saving into a folder they may write keeps the class file's mode
// and makes the locks as open as the class file. The shared folder's writer writes for its group:
// its class files are 0664 and its locks its own, and a class file that a member of the group
// made anew (their own, the group's, writable by them) is the group's to save into.
enum class WriteFor { User, Group };

struct SaveOptions {
    LockWait wait = LockWait::Block;
    WriteFor writeFor = WriteFor::User;
    RewriteFault fault = {};
};

namespace classfile {

// The largest class file read whole, and the largest a save makes: the grades viewer and the
// teacher's window read nothing longer.
inline constexpr std::int64_t kMaxSize = std::int64_t(64) << 20;

// "wyniki_kl_<class>.txt" for a class "I" to "VI"; nothing for any other text.
std::optional<std::string> fileName(std::string_view schoolClass);

// The entries a save keeps beside a class file: its lock, a file that is never removed, so that
// the kernel's lock on it lives exactly as long as the save holding it; the new text, written
// beside the class file and renamed over it, and there only while a save runs (or after one was
// killed, until the next); and the writer's record of each user's last save.
std::string lockName(std::string_view fileName);
std::string newFileName(std::string_view fileName);
inline constexpr char kPaceFolder[] = ".cyfrolia-zapisy";

// CR LF, a lone CR and a lone LF are one break each, written as CR LF; every other byte stays.
bool onlyCrLf(std::string_view bytes);
std::string normalised(std::string_view bytes);

// What adds one line at the end of normalised text: the line and a break after the last break,
// or, when the last line has no break, a new break and the line with none of its own.
std::string tail(std::string_view text, std::string_view line);

// Reads an open file whole: 0, or an errno (EISDIR, EFBIG past kMaxSize) or kRefusedFile for
// anything but a regular file.
int readAll(int fd, std::string& bytes);

// Reads the file `name` of the folder, following no link and waiting for no FIFO; as readAll.
int readAt(int folderFd, const std::string& name, std::string& bytes);

// One save: takes the class's lock, reads the class file, writes its text and `line` (no break)
// into a new file beside it, flushes that, and renames it over the class file. Refuses a class
// file the saving user may not write, one with a second name, and one that would grow past
// kMaxSize; on any failure the class file is as it was and the new file is gone.
std::optional<SaveError> append(int folderFd, const std::string& fileName, std::string_view line,
                                const SaveOptions& options = {});

// A failure as the helper reports it, "open|create <error> <path>" on one line, and back.
std::string report(const SaveError& error, std::string_view path);
struct Report {
    SaveError error;
    std::string path;
};
std::optional<Report> fromReport(std::string_view text);

// How often one user may save through the shared folder's writer: once in kSeconds. Each user's
// last save is kept by the writer in a folder only it may open (kPaceFolder), one small file a
// user, locked from the check until the save is recorded, so that a user's second save at the same
// moment counts as too soon as well. The clock is the caller's.
class SavePace {
public:
    static constexpr std::time_t kSeconds = 10;

    SavePace() = default;
    SavePace(const SavePace&) = delete;
    SavePace& operator=(const SavePace&) = delete;
    ~SavePace();

    // Fails with kTooSoon when `user` saved less than kSeconds before `now`, or saves right now.
    std::optional<SaveError> begin(int folderFd, uid_t user, std::time_t now);
    // The save went through at `now`.
    void record(std::time_t now);

private:
    int m_fd = -1;
};

} // namespace classfile
} // namespace cyfrolia
