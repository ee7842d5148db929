#include "common/cp1250.h"
#include "teacher/class_book.h"
#include "teacher/pupil_table.h"

#include <gtest/gtest.h>

#include <string>

using namespace teacher;

namespace {

// A class file's lines, and each pupil as the table shows them: "name | grades in the one order |
// last grade, its date | trend".
struct PupilsCase {
    const char* name;
    QStringList lines;
    QStringList pupils;
};

class PupilsOfAClass : public ::testing::TestWithParam<PupilsCase> {};

TEST_P(PupilsOfAClass, AreGroupedNamedAndOrderedByDate) {
    const PupilsCase& c = GetParam();
    ClassBook book{QStringLiteral("II"), {}, {}};
    const std::optional<QByteArray> file = cyfrolia::cp1250::encode(c.lines.join(QStringLiteral("\r\n")));
    ASSERT_TRUE(file);
    book.lines = readClassText(*file, DateReader(QLocale::c()), QDate(2026, 12, 8));
    QStringList got;
    for (const Pupil& p : pupilsOf(book)) {
        QStringList grades;
        for (int i : p.lines)
            grades.append(QString::number(book.lines.at(i).grade));
        got.append(p.name + QStringLiteral(" | ") + grades.join(QLatin1Char(' ')) + QStringLiteral(" | ") +
                   QString::number(p.last.grade) + QStringLiteral(", ") + shownDate(p.last) +
                   QStringLiteral(" | ") + trendText(p));
    }
    EXPECT_EQ(got.join(QLatin1Char('\n')).toStdString(), c.pupils.join(QLatin1Char('\n')).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Classes, PupilsOfAClass,
    ::testing::Values(
        // A grade added by hand at the end with an earlier date takes its place by date: the last
        // grade, its date and the trend all follow the dates, as the chart does.
        PupilsCase{"HandAddedLineGoesByItsDate",
                   {"Ala Kot. Ocena: 3. Dnia: 13.04.2026", "Ala Kot. Ocena: 4. Dnia: 20.04.2026",
                    "Ala Kot. Ocena: 5. Dnia: 14.04.2026"},
                   {"Ala Kot | 3 5 4 | 4, 20.04.2026 | ↓ −1,0"}},
        // A line with no readable date stays after the dated line above it in the file.
        PupilsCase{"UndatedLineKeepsItsPlace",
                   {"Ala Kot. Ocena: 1. Dnia: 20.04.2026", "Ala Kot. Ocena: 2. Dnia: 13.04.2026",
                    "Ala Kot. Ocena: 6. Dnia: wczoraj", "Ala Kot. Ocena: 5. Dnia: 20.04.2026"},
                   {"Ala Kot | 2 1 6 5 | 5, 20.04.2026 | ↑ +4,0"}},
        PupilsCase{"UndatedLastLine",
                   {"Ala Kot. Ocena: 6. Dnia: 13.04.2026", "Ala Kot. Ocena: 5. Dnia: 20.04.2026",
                    "Ala Kot. Ocena: 2. Dnia: wczoraj"},
                   {"Ala Kot | 6 5 2 | 2, wczoraj | ↓ −3,0"}},
        // Names the same but for case, blanks and the marks of letters are one pupil, shown with
        // their letters, trimmed and single-spaced; of forms written as often, the later.
        PupilsCase{"LettersBeforeCount",
                   {"Malgorzata Sciborek. Ocena: 2. Dnia: 13.04.2026",
                    " Małgorzata  Ściborek. Ocena: 3. Dnia: 14.04.2026",
                    "Malgorzata Sciborek. Ocena: 4. Dnia: 15.04.2026"},
                   {"Małgorzata Ściborek | 2 3 4 | 4, 15.04.2026 | ↑ +1,0"}},
        PupilsCase{"CountAmongTheSameLetters",
                   {"Ala Nowak. Ocena: 2. Dnia: 13.04.2026", "ala nowak. Ocena: 3. Dnia: 14.04.2026",
                    "Ala  Nowak. Ocena: 4. Dnia: 15.04.2026", "Ala Nowakowa. Ocena: 5. Dnia: 15.04.2026"},
                   {"Ala Nowak | 2 3 4 | 4, 15.04.2026 | ↑ +1,0", "Ala Nowakowa | 5 | 5, 15.04.2026 | —"}},
        PupilsCase{"TieGoesToTheLater",
                   {"Jan Kos. Ocena: 3. Dnia: 13.04.2026", "jan kos. Ocena: 3. Dnia: 14.04.2026"},
                   {"jan kos | 3 3 | 3, 14.04.2026 | → 0"}},
        PupilsCase{"TieGoesToTheLaterTheOtherWay",
                   {"jan kos. Ocena: 3. Dnia: 13.04.2026", "Jan Kos. Ocena: 3. Dnia: 14.04.2026"},
                   {"Jan Kos | 3 3 | 3, 14.04.2026 | → 0"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
