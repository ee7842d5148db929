#include "teacher/grade_line.h"

#include "common/results_file.h"

#include <gtest/gtest.h>

#include <string>

using namespace teacher;

namespace {

struct LineCase {
    const char* name;
    QLocale::Language hint; // the locale the files were written under
    QString line;
    bool read;
    QString pupil;
    int grade;
    QDate date; // invalid: the date stays text
};

const QDate kDate(2007, 2, 8);

class ReadingALine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ReadingALine, GivesItsPiecesOrKeepsItAsWritten) {
    const LineCase& c = GetParam();
    const GradeLine got = readGradeLine(c.line, DateReader(QLocale(c.hint)));
    EXPECT_EQ(got.written, c.line);
    EXPECT_EQ(got.read, c.read);
    if (!c.read)
        return;
    EXPECT_EQ(got.name(), c.pupil);
    EXPECT_EQ(got.grade, c.grade);
    EXPECT_EQ(got.date, c.date);
}

QString line(const char* date) {
    return QStringLiteral("Łucja Żółć. Ocena: 5. Dnia: ") + QString::fromUtf8(date);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadingALine,
    ::testing::Values(
        // Dates as short formats write them.
        LineCase{"Iso", QLocale::C, line("2007-02-08"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishShort", QLocale::Polish, line("8.02.2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"TwoDigitDay", QLocale::C, line("08.02.2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"EnglishMonth", QLocale::C, line("8 Feb 2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishAbbreviation", QLocale::C, line("8 lut 2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishGenitive", QLocale::C, line("8 lutego 2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishNominativeCapital", QLocale::C, line("8 Luty 2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishMonthWithLetters", QLocale::C, line("8 października 2007"), true, "Łucja Żółć", 5,
                 QDate(2007, 10, 8)},
        LineCase{"RomanMonthAndYearWord", QLocale::Polish, line("8 II 2007 r."), true, "Łucja Żółć", 5,
                 kDate},
        LineCase{"UsMonthFirst", QLocale::English, line("2/8/07"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishDateOnUsSystem", QLocale::English, line("8.02.2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"GermanTwoDigitYear", QLocale::German, line("08.02.07"), true, "Łucja Żółć", 5, kDate},
        LineCase{"KoreanYearFirst", QLocale::Korean, line("07. 2. 8."), true, "Łucja Żółć", 5, kDate},
        LineCase{"DayPastTwelveAgainstHint", QLocale::English, line("13/2/2007"), true, "Łucja Żółć", 5,
                 QDate(2007, 2, 13)},
        // Dates that stay text.
        LineCase{"NoSuchDay", QLocale::C, line("2007-02-30"), true, "Łucja Żółć", 5, {}},
        LineCase{"WordAfterDate", QLocale::C, line("2007-02-08 poprawione"), true, "Łucja Żółć", 5, {}},
        LineCase{"EmptyDate", QLocale::C, line(""), true, "Łucja Żółć", 5, {}},
        // Names as the saver writes them: not trimmed, and free to hold the labels.
        LineCase{"NameHoldsLabels", QLocale::C, ". Ocena: 4. Dnia: x. Ocena: 6. Dnia: 2007-02-08", true,
                 ". Ocena: 4. Dnia: x", 6, kDate},
        LineCase{"BlankNames", QLocale::C, "    B. Ocena: 0. Dnia: 2007-02-08", true, "    B", 0, kDate},
        // Edited or damaged lines stay as written.
        LineCase{"GradeOutOfRange", QLocale::C, "Ala Nowak. Ocena: 7. Dnia: 2007-02-08", false, {}, 0, {}},
        LineCase{"GradeWithSign", QLocale::C, "Ala Nowak. Ocena: 5+. Dnia: 2007-02-08", false, {}, 0, {}},
        LineCase{"NoDateLabel", QLocale::C, "Ala Nowak. Ocena: 5", false, {}, 0, {}},
        LineCase{"NoName", QLocale::C, ". Ocena: 5. Dnia: 2007-02-08", false, {}, 0, {}},
        LineCase{"FreeText", QLocale::C, "Klasówka przełożona!", false, {}, 0, {}},
        LineCase{"Empty", QLocale::C, "", false, {}, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every common locale's short format, as the saver writes it, reads back as the same date when
// the files are read under that locale; the same with ISO for any locale.
TEST(ReadingALine, ShortFormatsOfCommonLocalesComeBack) {
    const char* const locales[] = {"C",     "pl_PL", "en_US", "en_GB", "de_DE", "fr_FR", "es_ES", "it_IT",
                                   "ru_RU", "uk_UA", "cs_CZ", "sk_SK", "hu_HU", "nl_NL", "sv_SE", "ja_JP",
                                   "zh_CN", "ko_KR", "pt_BR", "lt_LT", "bg_BG", "hr_HR", "sl_SI", "fi_FI"};
    for (const char* name : locales) {
        const QLocale locale(QString::fromLatin1(name));
        const DateReader dates(locale);
        for (const QDate date : {kDate, QDate(2019, 12, 31), QDate(2024, 1, 5)}) {
            const QString text = cyfrolia::shortDateText(date, locale);
            EXPECT_EQ(readGradeLine(line("") + text, dates).date, date) << name << " " << text.toStdString();
            EXPECT_EQ(dates.read(date.toString(Qt::ISODate)), date) << name;
        }
    }
}

TEST(PupilKey, IgnoresCaseAndRepeatedBlanks) {
    EXPECT_EQ(pupilKey(u"  Łucja   ŻÓŁĆ "), pupilKey(u"łucja żółć"));
    EXPECT_NE(pupilKey(u"Ala Nowak"), pupilKey(u"Ala Nowakowa"));
}

} // namespace
