// cyfrolia-zapis: the one writer of the shared class files. Installed set-group-id "cyfrolia",
// run by the program as: cyfrolia-zapis <class>, the line on standard input in Windows-1250.
// Exit status 0 when the line is saved; 1 with "open|create <error> <path>" on standard output
// when it is not. It trusts nothing it is given: no environment, no folder, no file name.
#include "common/results_file.h"
#include "common/results_line.h"

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using cyfrolia::SaveFailure;

// How long a save waits for another one before it tells the child to try again.
constexpr int kWaitMs = 10000;
constexpr int kPollMs = 20;

int report(const SaveFailure& failure) {
    const QByteArray text = failure.report() + '\n';
    [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, text.constData(), size_t(text.size()));
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

// At most `limit` bytes of standard input; more counts as too much.
bool readInput(QByteArray& bytes, qsizetype limit) {
    bytes.resize(limit + 1);
    qsizetype have = 0;
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, bytes.data() + have, size_t(bytes.size() - have));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        have += got;
        if (have > limit)
            return false;
    }
    bytes.truncate(have);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (!standardDescriptorsOpen())
        return 2;
    // Nothing of the caller's environment reaches the code below; the loader has already
    // ignored its library paths for a set-group-id program.
    ::clearenv();
    ::umask(022);
    ::signal(SIGPIPE, SIG_IGN);

    const QString folder = QStringLiteral(CYFROLIA_DATA_DIR);
    const QString schoolClass = argc == 2 ? QString::fromLatin1(argv[1]) : QString();
    const QString fileName = cyfrolia::resultsFileName(schoolClass);
    const QString shown = folder + QLatin1Char('/') + fileName;
    const SaveFailure refused{SaveFailure::Step::Create, cyfrolia::kRefusedLine, shown};
    if (!cyfrolia::isSchoolClass(schoolClass))
        return report(refused);

    // The bytes as they will stand in the file, within the longest line the save window builds.
    QByteArray line;
    if (!readInput(line, qsizetype(cyfrolia::ResultsLine::kMaxLength)) ||
        !cyfrolia::isResultsLine(std::string_view(line.constData(), size_t(line.size()))))
        return report(refused);

    const int folderFd = ::open(CYFROLIA_DATA_DIR, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return report(SaveFailure{SaveFailure::Step::Open, errno, shown});
    // A save holds the lock for milliseconds; another is tried again until the wait is over.
    for (int waited = 0;; waited += kPollMs) {
        const auto failure =
            cyfrolia::appendResultsLine(folderFd, fileName, shown, line, cyfrolia::LockWait::TryOnce);
        if (!failure)
            return 0;
        if (failure->error != cyfrolia::kAnotherSave || waited >= kWaitMs)
            return report(*failure);
        const timespec pause{0, kPollMs * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
}
