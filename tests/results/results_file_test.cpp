#include "common/cp1250.h"
#include "common/failure.h"
#include "common/results_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cyfrolia;

namespace {

QByteArray bytes(const char* text) {
    return QByteArray(text);
}

// A folder with results files in it, for one test.
class Folder {
public:
    Folder() { EXPECT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.path() + QLatin1Char('/'); }
    void put(const QString& name, const QByteArray& content) const {
        QFile file(path() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray get(const QString& name) const {
        QFile file(path() + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // What a user sees: everything but the classes' locks, which stay.
    QStringList entries() const {
        QStringList names =
            QDir(m_dir.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        names.removeIf(
            [](const QString& name) { return name.startsWith(QLatin1String(".cyfrolia-blokada.")); });
        return names;
    }
    int open() const { return ::open(QFile::encodeName(path()).constData(), O_RDONLY | O_DIRECTORY); }

private:
    QTemporaryDir m_dir;
};

// The message a failing action gives, or nothing when it succeeds.
template <typename Action> QString failureOf(Action&& action) {
    const auto result = action();
    return result ? QString() : result.failure();
}

} // namespace

// --- line breaks and the append rule ---------------------------------------------------------

struct AppendCase {
    const char* name;
    QByteArray before;
    QByteArray after; // after appending "X"
};

class AppendRule : public ::testing::TestWithParam<AppendCase> {};

TEST_P(AppendRule, NormalisesAndAppendsOneLine) {
    const AppendCase& c = GetParam();
    const QByteArray text = normaliseLineBreaks(c.before);
    EXPECT_EQ(text + appendedTail(text, "X"), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AppendRule,
    ::testing::Values(AppendCase{"Empty", bytes(""), bytes("X\r\n")},
                      AppendCase{"OneLine", bytes("A\r\n"), bytes("A\r\nX\r\n")},
                      AppendCase{"NoFinalBreak", bytes("A\r\nB"), bytes("A\r\nB\r\nX")},
                      AppendCase{"LfOnly", bytes("A\nB\n"), bytes("A\r\nB\r\nX\r\n")},
                      AppendCase{"CrOnly", bytes("A\rB\r"), bytes("A\r\nB\r\nX\r\n")},
                      AppendCase{"Mixed", bytes("A\r\nB\nC\rD\n\rE"),
                                 bytes("A\r\nB\r\nC\r\nD\r\n\r\nE\r\nX")},
                      AppendCase{"TrailingLoneCr", bytes("A\r\nB\r"), bytes("A\r\nB\r\nX\r\n")},
                      AppendCase{"CrCrLf", bytes("A\r\r\n"), bytes("A\r\n\r\nX\r\n")},
                      AppendCase{"OnlyBreaks", bytes("\n\n"), bytes("\r\n\r\nX\r\n")},
                      AppendCase{"NulAndUndefined", QByteArray("A\0\x81\x83\x88\x90\x98\nB", 9),
                                 QByteArray("A\0\x81\x83\x88\x90\x98\r\nB\r\nX", 13)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineBreaks, NormalisingTwiceChangesNothing) {
    const QByteArray once = normaliseLineBreaks(bytes("a\rb\nc\r\nd\n\r"));
    EXPECT_EQ(normaliseLineBreaks(once), once);
}

TEST(FileNames, OnePerClass) {
    EXPECT_EQ(schoolClasses().size(), 6);
    EXPECT_EQ(resultsFileName(QStringLiteral("IV")), QStringLiteral("wyniki_kl_IV.txt"));
    EXPECT_TRUE(isSchoolClass(QStringLiteral("VI")));
    for (const char* other : {"", "i", "VII", "I\n", " I", "I\r\n"})
        EXPECT_FALSE(isSchoolClass(QString::fromLatin1(other))) << other;
}

TEST(DateText, ShortFormatOfTheLocale) {
    EXPECT_EQ(shortDateText(QDate(2007, 2, 8), QLocale(QLocale::Polish, QLocale::Poland)),
              QStringLiteral("8.02.2007"));
    // A locale whose digits Windows-1250 can't hold falls back to ISO.
    EXPECT_EQ(shortDateText(QDate(2007, 2, 8), QLocale(QLocale::Arabic, QLocale::Egypt)),
              QStringLiteral("2007-02-08"));
}

// --- Windows-1250 -----------------------------------------------------------------------------

TEST(Cp1250, PolishLettersRoundTrip) {
    const QString letters = QStringLiteral("ĄĆĘŁŃÓŚŹŻąćęłńóśźż");
    const auto encoded = cp1250::encode(letters);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(*encoded,
              QByteArray("\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF"));
    EXPECT_EQ(cp1250::decode(*encoded), letters);
}

TEST(Cp1250, EveryDefinedByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const char16_t c = cp1250::decode(static_cast<unsigned char>(b));
        if (c == cp1250::kUndefined)
            continue;
        const auto back = cp1250::encode(c);
        ASSERT_TRUE(back) << b;
        EXPECT_EQ(*back, b);
    }
}

TEST(Cp1250, UndefinedBytesAndForeignCharacters) {
    for (unsigned char b : {0x81, 0x83, 0x88, 0x90, 0x98})
        EXPECT_EQ(cp1250::decode(b), cp1250::kUndefined) << int(b);
    EXPECT_EQ(cp1250::decode(0x80), u'€');
    for (char16_t c : {u'ŕ', u'ß'})
        EXPECT_TRUE(cp1250::canEncode(c));
    for (char16_t c : {u'Я', u'ñ', u'\uFFFD', u'\xD83D'})
        EXPECT_FALSE(cp1250::canEncode(c));
    EXPECT_FALSE(cp1250::encode(QStringLiteral("Łucja😀")));
}

// Every byte decodes as the code page's table has it (its fingerprint), whatever ICU comes with Qt.
TEST(Cp1250, EveryByteAsTheCodePageHasIt) {
    QString all;
    for (int b = 0; b < 256; ++b)
        all += QChar(cp1250::decode(static_cast<unsigned char>(b)));
    EXPECT_EQ(QCryptographicHash::hash(all.toUtf8(), QCryptographicHash::Sha1).toHex(),
              "5ece3631633023e787cc4bae0b900d3d392a8d0d");
}

TEST(Display, BreaksBecomeNewlinesAndOddBytesStayVisible) {
    EXPECT_EQ(textForDisplay(QByteArray("\xA3ucja\r\n\0\x81\r\n", 11)),
              QStringLiteral("Łucja\n\uFFFD\uFFFD\n"));
}

// --- the files --------------------------------------------------------------------------------

TEST(ResultsFolder, SaveAppendsToThatClassOnly) {
    Folder folder;
    for (const QString& k : schoolClasses())
        folder.put(resultsFileName(k), "old\n");
    const ResultsFiles files(folder.path());
    ASSERT_TRUE(files.append(QStringLiteral("II"),
                             QByteArray("\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 6. Dnia: 2007-02-08")));
    ASSERT_TRUE(files.append(QStringLiteral("II"),
                             QByteArray("\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 6. Dnia: 2007-02-08")));
    const QByteArray line("\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 6. Dnia: 2007-02-08\r\n");
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_II.txt")), "old\r\n" + line + line);
    for (const QString& k : schoolClasses()) {
        if (k != QLatin1String("II"))
            EXPECT_EQ(folder.get(resultsFileName(k)), "old\n") << k.toStdString();
    }
    EXPECT_EQ(folder.entries().size(), 6); // no temporary file left behind
}

TEST(ResultsFolder, OldBytesComeOutUnchanged) {
    Folder folder;
    QByteArray old;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            old.append(char(b));
    }
    old += "\r\n";
    folder.put(QStringLiteral("wyniki_kl_I.txt"), old);
    ASSERT_TRUE(ResultsFiles(folder.path()).append(QStringLiteral("I"), QByteArray("A B")));
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_I.txt")), old + "A B\r\n");
}

TEST(ResultsFolder, LongAndManyLines) {
    Folder folder;
    QByteArray many;
    for (int i = 0; i < 20000; ++i)
        many += "Ala Nowak. Ocena: " + QByteArray::number(i % 7) + ". Dnia: 2007-02-08\n";
    const QByteArray longLine(1 << 20, 'x');
    folder.put(QStringLiteral("wyniki_kl_III.txt"), many);
    folder.put(QStringLiteral("wyniki_kl_IV.txt"), longLine);
    const ResultsFiles files(folder.path());
    ASSERT_TRUE(files.append(QStringLiteral("III"), QByteArray("A B")));
    ASSERT_TRUE(files.append(QStringLiteral("IV"), QByteArray("A B")));
    const QByteArray third = folder.get(QStringLiteral("wyniki_kl_III.txt"));
    EXPECT_EQ(third.count("\r\n"), 20001);
    EXPECT_TRUE(third.endsWith("\r\nA B\r\n"));
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_IV.txt")), longLine + "\r\nA B");
}

TEST(ResultsFolder, ReadNormalisesForTheViewer) {
    Folder folder;
    folder.put(QStringLiteral("wyniki_kl_V.txt"), "a\rb\nc");
    EXPECT_EQ(ResultsFiles(folder.path()).read(QStringLiteral("V")).value(), "a\r\nb\r\nc");
}

enum class Standing { Nothing, Folder, Fifo, DeviceLink };

struct UnreadableCase {
    const char* name;
    Standing standing; // what stands where the file should be
};

class UnreadableFile : public ::testing::TestWithParam<UnreadableCase> {};

// Nothing but a regular file is read: a FIFO would block the read for ever, /dev/zero never ends.
TEST_P(UnreadableFile, FailsToOpenAndCreatesNothing) {
    Folder folder;
    const QString path = folder.path() + QStringLiteral("wyniki_kl_VI.txt");
    switch (GetParam().standing) {
    case Standing::Nothing:
        break;
    case Standing::Folder:
        ASSERT_TRUE(QDir().mkdir(path));
        break;
    case Standing::Fifo:
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
        break;
    case Standing::DeviceLink:
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path));
        break;
    }
    const ResultsFiles files(folder.path());
    const QString message = failureOf([&] { return files.append(QStringLiteral("VI"), QByteArray("A B")); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot open file \"") + path + QStringLiteral("\". ")))
        << message.toStdString();
    EXPECT_GT(message.size(), path.size() + 20) << "the system's reason is missing";
    EXPECT_EQ(failureOf([&] { return files.read(QStringLiteral("VI")); }), message);
    EXPECT_EQ(folder.entries().size(), GetParam().standing == Standing::Nothing ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableFile,
                         ::testing::Values(UnreadableCase{"Missing", Standing::Nothing},
                                           UnreadableCase{"Directory", Standing::Folder},
                                           UnreadableCase{"Fifo", Standing::Fifo},
                                           UnreadableCase{"LinkToDevZero", Standing::DeviceLink}),
                         [](const auto& info) { return std::string(info.param.name); });

std::string stepName(RewriteStep step) {
    switch (step) {
    case RewriteStep::Create:
        return "Create";
    case RewriteStep::Write:
        return "Write";
    case RewriteStep::Flush:
        return "Flush";
    case RewriteStep::Rename:
        return "Rename";
    }
    return "Unknown";
}

class RewriteFailure : public ::testing::TestWithParam<RewriteStep> {};

TEST_P(RewriteFailure, KeepsTheOldFile) {
    Folder folder;
    const QByteArray old("Ala Nowak. Ocena: 5. Dnia: 2007-02-08\n");
    folder.put(QStringLiteral("wyniki_kl_I.txt"), old);
    ResultsFiles files(folder.path());
    // A full disk while writing, a file system turned read-only before or after.
    const int reason = GetParam() == RewriteStep::Write || GetParam() == RewriteStep::Flush ? ENOSPC : EROFS;
    std::vector<RewriteStep> reached;
    files.setRewriteFault([&](RewriteStep step) {
        reached.push_back(step);
        return step == GetParam() ? reason : 0;
    });
    const QString message = failureOf([&] { return files.append(QStringLiteral("I"), QByteArray("A B")); });
    EXPECT_EQ(message, QStringLiteral("Cannot create file \"%1wyniki_kl_I.txt\". %2")
                           .arg(folder.path(), QString::fromLocal8Bit(std::strerror(reason))));
    EXPECT_EQ(reached.back(), GetParam());
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_I.txt")), old);
    EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("wyniki_kl_I.txt")});

    // The same file saves normally once the fault is gone.
    files.setRewriteFault({});
    ASSERT_TRUE(files.append(QStringLiteral("I"), QByteArray("A B")));
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_I.txt")),
              "Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\nA B\r\n");
}

INSTANTIATE_TEST_SUITE_P(Steps, RewriteFailure,
                         ::testing::Values(RewriteStep::Create, RewriteStep::Write, RewriteStep::Flush,
                                           RewriteStep::Rename),
                         [](const auto& info) { return stepName(info.param); });

// A short write carries no reason of its own: the message must still give the system's words,
// not "Unknown error". A file size limit stands in for a full disk.
TEST(Rewrite, FailedWriteGivesTheSystemsReason) {
    Folder folder;
    const QByteArray old(64 * 1024, 'o');
    folder.put(QStringLiteral("wyniki_kl_I.txt"), old);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 16 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const QString message =
        failureOf([&] { return ResultsFiles(folder.path()).append(QStringLiteral("I"), QByteArray("A B")); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(message.toStdString(), QStringLiteral("Cannot create file \"%1wyniki_kl_I.txt\". %2")
                                         .arg(folder.path(), QString::fromLocal8Bit(std::strerror(EFBIG)))
                                         .toStdString());
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_I.txt")), old);
    EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("wyniki_kl_I.txt")});
}

// --- the shared folder: links, locks, other processes -------------------------------------

// The program's folder holds links into a shared folder (root's, trusted): the save lands there,
// the link stays a link, and every other file there is left alone, a teacher's copies included.
TEST(SharedFolder, SaveThroughALinkKeepsTheLinkAndOtherFiles) {
    Folder program;
    Folder shared;
    shared.put(QStringLiteral("wyniki_kl_II.txt"), "Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\n");
    const QString link = program.path() + QStringLiteral("wyniki_kl_II.txt");
    ASSERT_TRUE(QFile::link(shared.path() + QStringLiteral("wyniki_kl_II.txt"), link));
    const QStringList others = {QStringLiteral("wyniki_kl_II.txt.Ab3dE9"),
                                QStringLiteral("wyniki_kl_II.txt.backup"),
                                QStringLiteral("wyniki_kl_II.txt.kopia12")};
    for (const QString& name : others)
        shared.put(name, "teacher's");

    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(ResultsFiles(program.path())
                        .append(QStringLiteral("II"), QByteArray("Ola Lis. Ocena: 6. Dnia: x")));

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(program.entries(), QStringList{QStringLiteral("wyniki_kl_II.txt")});
    EXPECT_EQ(shared.get(QStringLiteral("wyniki_kl_II.txt")),
              "Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\nOla Lis. Ocena: 6. Dnia: x\r\nOla Lis. Ocena: 6. "
              "Dnia: x\r\n");
    EXPECT_EQ(shared.entries(), QStringList{QStringLiteral("wyniki_kl_II.txt")} + others);
    for (const QString& name : others)
        EXPECT_EQ(shared.get(name), "teacher's");
}

enum class Planted { ClassLink, ClassFifo, ClassHardLink, NewFileLink, NewFileHardLink, LockLink, LockFifo };

struct PlantedCase {
    const char* name;
    Planted planted;
};

class PlantedInTheFolder : public ::testing::TestWithParam<PlantedCase> {};

// Inside the folder nothing is followed and nothing but a regular file of one name is used: a
// link, a FIFO or a second name planted in place of the class file, its new file or its lock is
// refused at once, and neither the class file nor the file a link leads to changes or is read.
TEST_P(PlantedInTheFolder, IsRefusedAndNothingChanges) {
    Folder folder;
    Folder elsewhere;
    elsewhere.put(QStringLiteral("notes"), "mine\n");
    const QByteArray notes = QFile::encodeName(elsewhere.path() + QStringLiteral("notes"));
    const std::string name = "wyniki_kl_III.txt";
    folder.put(QString::fromStdString(name), "old\r\n");
    const QByteArray at = QFile::encodeName(folder.path());
    auto plant = [&](const std::string& entry, bool fifo) {
        const QByteArray path = at + entry.c_str();
        ASSERT_EQ(fifo ? ::mkfifo(path.constData(), 0666) : ::symlink(notes.constData(), path.constData()),
                  0);
    };
    const bool inPlaceOfTheClassFile = GetParam().planted <= Planted::ClassHardLink;
    if (inPlaceOfTheClassFile)
        ASSERT_EQ(::unlink((at + name.c_str()).constData()), 0);
    switch (GetParam().planted) {
    case Planted::ClassLink:
        plant(name, false);
        break;
    case Planted::ClassFifo:
        plant(name, true);
        break;
    case Planted::ClassHardLink:
        ASSERT_EQ(::link(notes.constData(), (at + name.c_str()).constData()), 0);
        break;
    case Planted::NewFileLink:
        plant(classfile::newFileName(name), false);
        break;
    case Planted::NewFileHardLink:
        ASSERT_EQ(::link(notes.constData(), (at + classfile::newFileName(name).c_str()).constData()), 0);
        break;
    case Planted::LockLink:
        plant(classfile::lockName(name), false);
        break;
    case Planted::LockFifo:
        plant(classfile::lockName(name), true);
        break;
    }
    const QStringList before = folder.entries();
    const int fd = folder.open();
    ASSERT_GE(fd, 0);
    const auto failure = classfile::append(fd, name, "A B");
    ::close(fd);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->error, kRefusedFile);
    EXPECT_EQ(elsewhere.get(QStringLiteral("notes")), "mine\n");
    EXPECT_EQ(folder.entries(), before);
    if (!inPlaceOfTheClassFile)
        EXPECT_EQ(folder.get(QString::fromStdString(name)), "old\r\n");
}

INSTANTIATE_TEST_SUITE_P(Entries, PlantedInTheFolder,
                         ::testing::Values(PlantedCase{"ClassFileLink", Planted::ClassLink},
                                           PlantedCase{"ClassFileFifo", Planted::ClassFifo},
                                           PlantedCase{"ClassFileHardLink", Planted::ClassHardLink},
                                           PlantedCase{"NewFileLink", Planted::NewFileLink},
                                           PlantedCase{"NewFileHardLink", Planted::NewFileHardLink},
                                           PlantedCase{"LockLink", Planted::LockLink},
                                           PlantedCase{"LockFifo", Planted::LockFifo}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

// A child process; killed and reaped when the test ends early.
class Child {
public:
    explicit Child(const std::function<void()>& body) {
        m_pid = ::fork();
        if (m_pid == 0) {
            body();
            ::_exit(0);
        }
    }
    ~Child() { kill(); }
    void kill() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
    bool endedWell() {
        int status = 0;
        const bool ok =
            ::waitpid(m_pid, &status, 0) == m_pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        m_pid = -1;
        return ok;
    }

private:
    pid_t m_pid = -1;
};

struct Pipe {
    Pipe() { EXPECT_EQ(::pipe(fd), 0); }
    ~Pipe() {
        ::close(fd[0]);
        ::close(fd[1]);
    }
    bool send(char c) const { return ::write(fd[1], &c, 1) == 1; }
    char receive() const {
        char c = 0;
        return ::read(fd[0], &c, 1) == 1 ? c : 0;
    }
    int fd[2] = {-1, -1};
};

} // namespace

// Two programs save into one class file at the same moment, round after round: no line is lost.
TEST(SharedFolder, TwoProcessesSavingAtOnceKeepEveryLine) {
    Folder folder;
    folder.put(QStringLiteral("wyniki_kl_III.txt"), "");
    constexpr int kRounds = 150;
    Pipe go[2];
    Pipe done[2];
    std::vector<std::unique_ptr<Child>> children;
    for (int c = 0; c < 2; ++c) {
        children.push_back(std::make_unique<Child>([&, c] {
            const ResultsFiles files(folder.path());
            for (int round = 0; round < kRounds; ++round) {
                if (go[c].receive() != 'g')
                    ::_exit(2);
                const bool saved = bool(files.append(
                    QStringLiteral("III"), QStringLiteral("Dziecko%1 Runda%2").arg(c).arg(round).toLatin1()));
                done[c].send(saved ? 'o' : 'f');
            }
        }));
    }
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_TRUE(go[0].send('g') && go[1].send('g'));
        ASSERT_EQ(done[0].receive(), 'o') << "round " << round;
        ASSERT_EQ(done[1].receive(), 'o') << "round " << round;
    }
    for (auto& child : children)
        EXPECT_TRUE(child->endedWell());

    const QList<QByteArray> lines = folder.get(QStringLiteral("wyniki_kl_III.txt")).split('\n');
    EXPECT_EQ(lines.size(), 2 * kRounds + 1);
    for (int c = 0; c < 2; ++c) {
        for (int round = 0; round < kRounds; ++round)
            EXPECT_EQ(lines.count(QStringLiteral("Dziecko%1 Runda%2\r").arg(c).arg(round).toLatin1()), 1)
                << c << " " << round;
    }
    EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("wyniki_kl_III.txt")});
}

// A save that finds the lock taken says so in the child's words and changes nothing; the lock
// of a killed holder is gone with it, and the lock file stays.
TEST(SharedFolder, LockHoldsUntilItsHolderIsKilled) {
    Folder folder;
    folder.put(QStringLiteral("wyniki_kl_IV.txt"), "old\r\n");
    ResultsFiles files(folder.path());
    ASSERT_TRUE(files.append(QStringLiteral("IV"), QByteArray("A B")));
    Pipe locked;
    Child holder([&] {
        const int fd = ::open(
            (QFile::encodeName(folder.path()) + classfile::lockName("wyniki_kl_IV.txt").c_str()).constData(),
            O_RDWR);
        if (fd < 0 || ::lockf(fd, F_LOCK, 0) != 0)
            ::_exit(2);
        locked.send('l');
        for (;;)
            ::pause();
    });
    ASSERT_EQ(locked.receive(), 'l');

    const auto failure = files.save(QStringLiteral("IV"), QByteArray("C D"), LockWait::TryOnce);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->message(),
              QStringLiteral("Cannot create file \"%1wyniki_kl_IV.txt\". Ktoś inny właśnie zapisuje wynik. "
                             "Spróbuj jeszcze raz za chwilę")
                  .arg(folder.path()));
    EXPECT_EQ(SaveFailure::fromReport(failure->report() + '\n')->message(), failure->message());
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_IV.txt")), "old\r\nA B\r\n");

    holder.kill();
    ASSERT_FALSE(files.save(QStringLiteral("IV"), QByteArray("C D"), LockWait::TryOnce));
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_IV.txt")), "old\r\nA B\r\nC D\r\n");
    EXPECT_TRUE(QFile::exists(folder.path() + QStringLiteral(".cyfrolia-blokada.wyniki_kl_IV.txt")));
}

// --- what a save makes, and what it never keeps ------------------------------------------------

enum class Before { LeftoverNewFile, EmptiedByHand };

struct OldTextCase {
    const char* name;
    Before before;
};

class NoOldText : public ::testing::TestWithParam<OldTextCase> {};

// The new text is all a class file holds after a save: nothing of a killed save's longer leftover,
// and no old grades in a class file a teacher emptied by hand (truncate -s 0).
TEST_P(NoOldText, SurvivesASave) {
    Folder folder;
    const QString name = QStringLiteral("wyniki_kl_II.txt");
    QByteArray old;
    for (int i = 0; i < 10; ++i)
        old += "Stary Wpis. Ocena: 1. Dnia: 2007-02-08\r\n";
    const ResultsFiles files(folder.path());
    if (GetParam().before == Before::LeftoverNewFile) {
        folder.put(name, "A B\r\n");
        folder.put(QString::fromStdString(classfile::newFileName(name.toStdString())), old);
    } else {
        folder.put(name, old);
        ASSERT_TRUE(files.append(QStringLiteral("II"), QByteArray("A B")));
        ASSERT_EQ(::truncate(QFile::encodeName(folder.path() + name).constData(), 0), 0);
        ASSERT_TRUE(files.append(QStringLiteral("II"), QByteArray("A B")));
    }
    ASSERT_TRUE(files.append(QStringLiteral("II"), QByteArray("C D")));
    EXPECT_EQ(folder.get(name), "A B\r\nC D\r\n");
    EXPECT_EQ(folder.entries(), QStringList{name});
}

INSTANTIATE_TEST_SUITE_P(Files, NoOldText,
                         ::testing::Values(OldTextCase{"LeftoverNewFile", Before::LeftoverNewFile},
                                           OldTextCase{"EmptiedByHand", Before::EmptiedByHand}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

// Every fdatasync of the code under test, in order: the file it was made on and its size then.
struct Synced {
    dev_t device;
    ino_t inode;
    off_t size;
};
std::vector<Synced> g_synced;

} // namespace

extern "C" int fdatasync(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) == 0)
        g_synced.push_back({status.st_dev, status.st_ino, status.st_size});
    return int(::syscall(SYS_fdatasync, fd));
}

// The new file is on the disk, whole, before its name replaces the class file's.
TEST(Rewrite, FlushesTheWholeNewFileBeforeTheRename) {
    Folder folder;
    folder.put(QStringLiteral("wyniki_kl_V.txt"), "Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\n");
    ResultsFiles files(folder.path());
    const QByteArray newFile =
        QFile::encodeName(folder.path()) + classfile::newFileName("wyniki_kl_V.txt").c_str();
    bool flushedWhole = false;
    g_synced.clear();
    files.setRewriteFault([&](RewriteStep step) {
        struct stat status {};
        if (step == RewriteStep::Rename && ::stat(newFile.constData(), &status) == 0)
            flushedWhole = std::any_of(g_synced.begin(), g_synced.end(), [&](const Synced& s) {
                return s.device == status.st_dev && s.inode == status.st_ino && s.size == status.st_size;
            });
        return 0;
    });
    ASSERT_TRUE(files.append(QStringLiteral("V"), QByteArray("A B")));
    EXPECT_TRUE(flushedWhole);
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_V.txt")),
              "Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\nA B\r\n");
}

struct SizeCase {
    const char* name;
    std::int64_t size; // of the class file before the save
    SaveStep step;     // where the save stops
};

class SizeLimit : public ::testing::TestWithParam<SizeCase> {};

// No class file grows past what the viewer and the teacher's window read, nor is one read that has.
TEST_P(SizeLimit, StopsTheSave) {
    Folder folder;
    folder.put(QStringLiteral("wyniki_kl_VI.txt"), "");
    const QByteArray path = QFile::encodeName(folder.path() + QStringLiteral("wyniki_kl_VI.txt"));
    ASSERT_EQ(::truncate(path.constData(), GetParam().size), 0);
    const auto failure = ResultsFiles(folder.path()).save(QStringLiteral("VI"), QByteArray("A B"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, GetParam().step);
    EXPECT_EQ(failure->error, EFBIG);
    EXPECT_EQ(QFileInfo(QString::fromLocal8Bit(path)).size(), GetParam().size);
    EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("wyniki_kl_VI.txt")});
}

INSTANTIATE_TEST_SUITE_P(Files, SizeLimit,
                         ::testing::Values(SizeCase{"WouldGrowPast", kMaxResultsFileSize - 4,
                                                    SaveStep::Create},
                                           SizeCase{"AlreadyPast", kMaxResultsFileSize + 1, SaveStep::Open}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ModeCase {
    const char* name;
    WriteFor writeFor;
    mode_t before;    // the class file's mode
    mode_t afterward; // the class file's mode after the save
    mode_t lock;      // the lock's
};

class ModesKept : public ::testing::TestWithParam<ModeCase> {};

// A user's save keeps the class file's mode and makes its lock as open, so that everyone who may
// save into the class may take its lock; the shared folder's writer makes the group's files and
// keeps its locks to itself. The umask decides neither.
TEST_P(ModesKept, ByWhomTheSaveIsFor) {
    Folder folder;
    folder.put(QStringLiteral("wyniki_kl_I.txt"), "old\r\n");
    const QByteArray at = QFile::encodeName(folder.path());
    ASSERT_EQ(::chmod((at + "wyniki_kl_I.txt").constData(), GetParam().before), 0);
    const mode_t umask = ::umask(077);
    const int fd = folder.open();
    const auto failure = classfile::append(fd, "wyniki_kl_I.txt", "A B",
                                           SaveOptions{LockWait::Block, GetParam().writeFor, {}});
    ::close(fd);
    ::umask(umask);
    ASSERT_FALSE(failure);
    struct stat status {};
    ASSERT_EQ(::stat((at + "wyniki_kl_I.txt").constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, GetParam().afterward);
    ASSERT_EQ(::stat((at + classfile::lockName("wyniki_kl_I.txt").c_str()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, GetParam().lock);
    EXPECT_EQ(folder.get(QStringLiteral("wyniki_kl_I.txt")), "old\r\nA B\r\n");
}

INSTANTIATE_TEST_SUITE_P(Files, ModesKept,
                         ::testing::Values(ModeCase{"UserOpenToAll", WriteFor::User, 0666, 0666, 0666},
                                           ModeCase{"UserGroupOnly", WriteFor::User, 0640, 0640, 0640},
                                           ModeCase{"GroupWriter", WriteFor::Group, 0644, 0664, 0600}),
                         [](const auto& info) { return std::string(info.param.name); });

enum class Leading { TrustedLink, LinkInAnOpenFolder, LinkInTheDataFolder };

struct ReaderCase {
    const char* name;
    Leading leading;
};

class ReaderFollows : public ::testing::TestWithParam<ReaderCase> {};

// The grades viewer and the teacher's window read a class file where a save writes it: through the
// program's own link into the shared folder, but through no link someone else could have put in a
// folder open to others, and through none inside the data folder (a teacher's private file, or
// /proc/self/environ, never shows up as a class).
TEST_P(ReaderFollows, OnlyLinksNobodyElseMade) {
    Folder program;
    Folder data;
    const QString name = QStringLiteral("wyniki_kl_IV.txt");
    if (GetParam().leading == Leading::LinkInTheDataFolder)
        ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/environ"), data.path() + name));
    else
        data.put(name, "Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\n");
    ASSERT_TRUE(QFile::link(data.path() + name, program.path() + name));
    if (GetParam().leading == Leading::LinkInAnOpenFolder)
        ASSERT_EQ(::chmod(QFile::encodeName(program.path()).constData(), 0777), 0);

    const ResultsFiles files(program.path());
    const Result<QByteArray> read = files.read(QStringLiteral("IV"));
    const auto saved = files.save(QStringLiteral("IV"), QByteArray("A B"));
    if (GetParam().leading == Leading::TrustedLink) {
        ASSERT_TRUE(read) << read.failure().toStdString();
        EXPECT_EQ(read.value(), "Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\n");
        EXPECT_FALSE(saved);
        return;
    }
    ASSERT_FALSE(read);
    const SaveFailure refused{SaveStep::Open, kRefusedFile, program.path() + name};
    EXPECT_EQ(read.failure(), refused.message());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->error, kRefusedFile);
}

INSTANTIATE_TEST_SUITE_P(Links, ReaderFollows,
                         ::testing::Values(ReaderCase{"TheProgramsOwnLink", Leading::TrustedLink},
                                           ReaderCase{"LinkInAFolderOpenToAll", Leading::LinkInAnOpenFolder},
                                           ReaderCase{"LinkInsideTheDataFolder",
                                                      Leading::LinkInTheDataFolder}),
                         [](const auto& info) { return std::string(info.param.name); });

// The shared folder's writer lets a user save once in ten seconds, and counts a second save of
// the same user at the same moment as too soon; other users save meanwhile. A record that is not
// the writer's own stops the save.
TEST(SavePace, OnceInTenSecondsAUser) {
    Folder folder;
    const int fd = folder.open();
    ASSERT_GE(fd, 0);
    auto begin = [&](uid_t user, std::time_t now) {
        classfile::SavePace pace;
        const auto failure = pace.begin(fd, user, now);
        return failure ? failure->error : 0;
    };
    {
        classfile::SavePace first;
        ASSERT_FALSE(first.begin(fd, 1001, 1000));
        EXPECT_EQ(begin(1001, 1000), kTooSoon) << "a second save of one user at once";
        EXPECT_EQ(begin(1002, 1000), 0) << "another user";
        first.record(1000);
    }
    EXPECT_EQ(begin(1001, 1009), kTooSoon);
    EXPECT_EQ(begin(1001, 1010), 0);
    EXPECT_EQ(begin(1001, 900), 0) << "the clock was put back";

    ASSERT_EQ(::fchmodat(fd, classfile::kPaceFolder, 0755, 0), 0);
    EXPECT_EQ(begin(1001, 2000), kRefusedFile);
    ::close(fd);
}
