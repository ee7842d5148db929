// The saving helper as built, given what a pupil could give it by hand. Each of these is refused
// before the shared folder is opened, so none needs one.
#include "common/results_line.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct InputCase {
    const char* name;
    const char* schoolClass;
    std::string input;
    bool inputEnds; // or the pipe stays open, as a pupil's own program may keep it
};

class SaverRefuses : public ::testing::TestWithParam<InputCase> {};

// What the helper says on standard output, and how it ended.
struct Outcome {
    std::string said;
    int status = 0;
};

Outcome run(const InputCase& c) {
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    EXPECT_EQ(::pipe(in), 0);
    EXPECT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::close(in[1]);
        ::close(out[0]);
        ::execl(CYFROLIA_SAVER, CYFROLIA_SAVER, c.schoolClass, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    // The helper may refuse and end before it reads a byte: the input then goes nowhere.
    const ssize_t written = ::write(in[1], c.input.data(), c.input.size());
    EXPECT_TRUE(written == ssize_t(c.input.size()) || errno == EPIPE);
    if (c.inputEnds)
        ::close(in[1]);
    Outcome outcome;
    char buffer[256];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;)
        outcome.said.append(buffer, std::size_t(got));
    ::close(out[0]);
    ::waitpid(child, &outcome.status, 0);
    if (!c.inputEnds)
        ::close(in[1]);
    return outcome;
}

} // namespace

// The helper ends at once with its report, exit status 1: a line longer than any the save window
// builds is refused at its first byte too many, whether or not the input ever ends.
TEST_P(SaverRefuses, WithItsReport) {
    const Outcome outcome = run(GetParam());
    ASSERT_TRUE(WIFEXITED(outcome.status)) << "ended by signal " << WTERMSIG(outcome.status);
    EXPECT_EQ(WEXITSTATUS(outcome.status), 1);
    EXPECT_EQ(outcome.said.substr(0, outcome.said.find(' ', 7)), "create -3");
    EXPECT_EQ(outcome.said.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SaverRefuses,
    ::testing::Values(InputCase{"TooLongInputKeptOpen", "I",
                                std::string(cyfrolia::ResultsLine::kMaxLength + 1, 'A'), false},
                      InputCase{"DateTooLong", "I", "Ala Kot. Ocena: 5. Dnia: " + std::string(33, '1'), true},
                      InputCase{"TwoLines", "I", "Ala Kot. Ocena: 5. Dnia: x\r\nEla Kot. Ocena: 6. Dnia: x",
                                true},
                      InputCase{"NoClass", "VII", "Ala Kot. Ocena: 5. Dnia: x", true},
                      InputCase{"PathAsClass", "../I", "Ala Kot. Ocena: 5. Dnia: x", true}),
    [](const auto& info) { return std::string(info.param.name); });
