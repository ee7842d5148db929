// cyfrolia-zapis: the one writer of the shared class files. Installed set-user-id and set-group-id
// "cyfrolia", run by the program as: cyfrolia-zapis <class>, the line on standard input in
// Windows-1250. Exit status 0 when the line is saved; 1 with "open|create <error> <path>" on
// standard output when it is not. It trusts nothing it is given: no environment, no folder, no
// file name. The C++ standard library and the C library only: it starts in about a millisecond.
#include "common/class_file.h"
#include "common/results_line.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using cyfrolia::SaveError;
using cyfrolia::SaveStep;

// How long a save waits for another one of its class before it tells the child to try again,
// and how long the helper lives at most, whatever happens: no lock outlives it.
constexpr int kWaitMs = 10000;
constexpr int kPollMs = 20;
constexpr unsigned kLifetimeS = 12;

int report(const SaveError& error, const std::string& path) {
    const std::string text = cyfrolia::classfile::report(error, path) + '\n';
    [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
    return 1;
}

// Descriptors 0 to 2 stay taken: a file opened later must never land where output goes.
bool standardDescriptorsOpen() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0 && (errno != EBADF || ::open("/dev/null", O_RDWR) != fd))
            return false;
    }
    return true;
}

// Every id of the caller goes at once: real, effective and saved are the writer's own, so the
// caller may no longer signal, trace or renice it.
bool becomeWriter() {
    const gid_t group = ::getegid();
    const uid_t user = ::geteuid();
    return ::setresgid(group, group, group) == 0 && ::setresuid(user, user, user) == 0;
}

// Out of the caller's session, where its terminal's keys stop or interrupt a job. One that leads
// its process group (a shell's job) may not leave: a child does, and this one ends as it ends.
bool leaveSession() {
    if (::setsid() >= 0)
        return true;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0)
        return ::setsid() >= 0;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            ::_exit(2);
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 2);
}

// The line on standard input, at most as long as any the save window builds: the first byte more
// is refused at once, whether or not the input ever ends.
std::optional<std::string> readLine() {
    std::array<char, cyfrolia::ResultsLine::kMaxLength + 1> bytes;
    std::size_t have = 0;
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, bytes.data() + have, bytes.size() - have);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return std::string(bytes.data(), have);
        have += std::size_t(got);
        if (have == bytes.size())
            return std::nullopt;
    }
}

std::time_t now() {
    timespec time{};
    ::clock_gettime(CLOCK_REALTIME, &time);
    return time.tv_sec;
}

// A save holds its class's lock for milliseconds; another is tried again until the wait is over.
std::optional<SaveError> appendWaiting(int folderFd, const std::string& fileName, const std::string& line) {
    const cyfrolia::SaveOptions options{cyfrolia::LockWait::TryOnce, cyfrolia::WriteFor::Group, {}};
    for (int waited = 0;; waited += kPollMs) {
        const auto failure = cyfrolia::classfile::append(folderFd, fileName, line, options);
        if (!failure || failure->error != cyfrolia::kAnotherSave || waited >= kWaitMs)
            return failure;
        const timespec pause{0, kPollMs * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
}

} // namespace

int main(int argc, char** argv) {
    // The alarm's default action ends the helper, stopped or not: first of all, and again in a
    // child that leaves the session for it (a child inherits no alarm).
    ::signal(SIGALRM, SIG_DFL);
    ::alarm(kLifetimeS);
    if (!standardDescriptorsOpen())
        return 2;
    const uid_t caller = ::getuid();
    if (!becomeWriter() || !leaveSession())
        return 2;
    ::alarm(kLifetimeS);
    // Job control can't stop it.
    ::signal(SIGTSTP, SIG_IGN);
    ::signal(SIGTTIN, SIG_IGN);
    ::signal(SIGTTOU, SIG_IGN);
    ::signal(SIGPIPE, SIG_IGN);
    // Nothing of the caller's environment reaches the code below; the loader has already
    // ignored its library paths for a set-user-id program.
    ::clearenv();
    ::umask(022);

    const auto fileName = cyfrolia::classfile::fileName(argc == 2 ? argv[1] : "");
    const std::string shown = std::string(CYFROLIA_DATA_DIR "/") + fileName.value_or("wyniki_kl_.txt");
    const SaveError refused{SaveStep::Create, cyfrolia::kRefusedLine};
    if (!fileName)
        return report(refused, shown);

    // The bytes as they will stand in the file, within the longest line the save window builds.
    const std::optional<std::string> line = readLine();
    if (!line || !cyfrolia::isResultsLine(*line))
        return report(refused, shown);

    const int folderFd = ::open(CYFROLIA_DATA_DIR, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return report(SaveError{SaveStep::Open, errno}, shown);
    cyfrolia::classfile::SavePace pace;
    if (const auto tooSoon = pace.begin(folderFd, caller, now()))
        return report(*tooSoon, shown);
    if (const auto failure = appendWaiting(folderFd, *fileName, *line))
        return report(*failure, shown);
    pace.record(now());
    return 0;
}
