// The results line: what the save window builds, what the helper accepts and what every reader
// takes from it are one and the same.
#include "common/results_line.h"

#include <gtest/gtest.h>

#include <string>

using cyfrolia::buildResultsLine;
using cyfrolia::isResultsLine;
using cyfrolia::ResultsLine;

namespace {

std::string repeat(std::size_t n, char c) {
    return std::string(n, c);
}

struct ReadCase {
    const char* name;
    std::string line;
    bool reads;             // has a name, a grade and a date
    bool fits;              // the save window could have built it
    std::string pupil = {}; // the pieces read
    char grade = 0;
    std::string date = {};
};

class ReadingALine : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadingALine, GivesThePiecesTheCheckJudges) {
    const ReadCase& c = GetParam();
    const auto read = ResultsLine::read(c.line);
    ASSERT_EQ(read.has_value(), c.reads);
    EXPECT_EQ(isResultsLine(c.line), c.fits);
    if (!read)
        return;
    EXPECT_EQ(read->name, c.pupil);
    EXPECT_EQ(read->grade, c.grade);
    EXPECT_EQ(read->date, c.date);
    EXPECT_EQ(read->text(), c.line);
}

const std::string x15 = repeat(15, 'x');
const std::string y15 = repeat(15, 'y');

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadingALine,
    ::testing::Values(
        ReadCase{"Plain", "Ala Nowak. Ocena: 5. Dnia: 2007-02-08", true, true, "Ala Nowak", '5',
                 "2007-02-08"},
        ReadCase{"PolishLetters", "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 0. Dnia: 8.02.2007", true, true,
                 "\xA3ucja \xAF\xF3\xB3\xE6", '0', "8.02.2007"},
        // Read where the helper takes it: the date after the last ". Dnia: ".
        ReadCase{"LabelsInTheName", "Ala Kot. Ocena: 5. Dnia: x. Ocena: 6. Dnia: 2007-02-08", true, true,
                 "Ala Kot. Ocena: 5. Dnia: x", '6', "2007-02-08"},
        ReadCase{"ThreeBlanksAsFirstName", "    B. Ocena: 5. Dnia: x", true, true, "    B", '5', "x"},
        ReadCase{"LongestNames", x15 + " " + y15 + ". Ocena: 6. Dnia: 2007-02-08", true, true,
                 x15 + " " + y15, '6', "2007-02-08"},
        ReadCase{"FirstNameOf16", repeat(16, 'x') + " " + "y. Ocena: 6. Dnia: x", true, false,
                 repeat(16, 'x') + " y", '6', "x"},
        ReadCase{"LastNameOf16", "Ala " + repeat(16, 'y') + ". Ocena: 6. Dnia: x", true, false,
                 "Ala " + repeat(16, 'y'), '6', "x"},
        ReadCase{"NoLastName", "Ala. Ocena: 6. Dnia: x", true, false, "Ala", '6', "x"},
        ReadCase{"NoDate", "Ala Kot. Ocena: 5. Dnia: ", true, false, "Ala Kot", '5', ""},
        ReadCase{"DateOf32", "Ala Kot. Ocena: 5. Dnia: " + repeat(32, '1'), true, true, "Ala Kot", '5',
                 repeat(32, '1')},
        ReadCase{"DateOf33", "Ala Kot. Ocena: 5. Dnia: " + repeat(33, '1'), true, false, "Ala Kot", '5',
                 repeat(33, '1')},
        ReadCase{"ControlCharacter", "Ala\tKot. Ocena: 5. Dnia: x", true, false, "Ala\tKot", '5', "x"},
        ReadCase{"UndefinedByte", "Ala K\x81t. Ocena: 5. Dnia: x", true, false, "Ala K\x81t", '5', "x"},
        ReadCase{"GradeSeven", "Ala Kot. Ocena: 7. Dnia: x", false, false},
        ReadCase{"DateHoldsTheLabel", "Ala Kot. Ocena: 5. Dnia: a. Dnia: b", false, false},
        ReadCase{"NoName", ". Ocena: 5. Dnia: x", false, false},
        ReadCase{"FreeText", "=== II p\xF3\xB3rocze ===", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct BuildCase {
    const char* name;
    std::string first, last, grade, date;
    bool built;
};

class BuildingALine : public ::testing::TestWithParam<BuildCase> {};

// What is built is accepted and reads back as the same pieces; what can't be is not built.
TEST_P(BuildingALine, ReadsBackAsItsPieces) {
    const BuildCase& c = GetParam();
    const auto line = buildResultsLine(c.first, c.last, c.grade, c.date);
    ASSERT_EQ(line.has_value(), c.built);
    if (!line)
        return;
    EXPECT_TRUE(isResultsLine(*line));
    const auto read = ResultsLine::read(*line);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name, c.first + " " + c.last);
    EXPECT_EQ(std::string(1, read->grade), c.grade);
    EXPECT_EQ(read->date, c.date);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BuildingALine,
    ::testing::Values(BuildCase{"Plain", "Ala", "Nowak", "5", "2007-02-08", true},
                      BuildCase{"NamesAreTheLabels", ". Ocena: ", ". Dnia: ", "0", "8.02.2007", true},
                      BuildCase{"NameEndsLikeAGrade", "Ala", "K. Ocena: 6", "1", "x", true},
                      BuildCase{"Fifteen", x15, y15, "6", "x", true},
                      BuildCase{"Sixteen", x15, y15 + "y", "6", "x", false},
                      BuildCase{"EmptyLastName", "Ala", "", "6", "x", false},
                      BuildCase{"GradeSeven", "Ala", "Kot", "7", "x", false},
                      BuildCase{"TwoDigitGrade", "Ala", "Kot", "10", "x", false},
                      BuildCase{"DateHoldsTheLabel", "Ala", "Kot", "5", "1. Dnia: 2", false},
                      BuildCase{"LineBreak", "Ala", "Kot\r\nEla", "5", "x", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineLimits, TheLongestLineIsTheLimit) {
    const auto longest = buildResultsLine(x15, y15, "6", repeat(ResultsLine::kMaxDateLength, '1'));
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->size(), ResultsLine::kMaxLength);
}

} // namespace
