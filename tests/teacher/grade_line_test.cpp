#include "teacher/class_book.h"

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
const QDate kToday(2026, 12, 8);

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
    EXPECT_FALSE(got.uncertain());
}

QString line(const char* date) {
    return QStringLiteral("Łucja Żółć. Ocena: 5. Dnia: ") + QString::fromUtf8(date);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadingALine,
    ::testing::Values(
        // Dates as short formats write them.
        LineCase{"Iso", QLocale::C, line("2007-02-08"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishShort", QLocale::Polish, line("18.02.2007"), true, "Łucja Żółć", 5,
                 QDate(2007, 2, 18)},
        LineCase{"EnglishMonth", QLocale::C, line("8 Feb 2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishAbbreviation", QLocale::C, line("8 lut 2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishGenitive", QLocale::C, line("8 lutego 2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishNominativeCapital", QLocale::C, line("8 Luty 2007"), true, "Łucja Żółć", 5, kDate},
        LineCase{"PolishMonthWithLetters", QLocale::C, line("8 października 2007"), true, "Łucja Żółć", 5,
                 QDate(2007, 10, 8)},
        LineCase{"RomanMonthAndYearWord", QLocale::Polish, line("8 II 2007 r."), true, "Łucja Żółć", 5,
                 kDate},
        LineCase{"UsMonthFirstWithDayAboveTwelve", QLocale::Polish, line("2/18/07"), true, "Łucja Żółć", 5,
                 QDate(2007, 2, 18)},
        LineCase{"KoreanYearFirst", QLocale::Korean, line("07. 2. 8."), true, "Łucja Żółć", 5, kDate},
        LineCase{"DayPastTwelveAgainstHint", QLocale::English, line("13/2/2007"), true, "Łucja Żółć", 5,
                 QDate(2007, 2, 13)},
        LineCase{"DayAndMonthTheSame", QLocale::English, line("5/5/26"), true, "Łucja Żółć", 5,
                 QDate(2026, 5, 5)},
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

// A class file's dates as its lines give them, in file order, and what each reads as: "d.M.yyyy",
// or both readings "d.M.yyyy|d.M.yyyy" where the file leaves it open.
struct FileCase {
    const char* name;
    QStringList dates;
    QDate today;
    QStringList expected;
};

QByteArray classFile(const QStringList& dates) {
    QByteArray text;
    for (const QString& date : dates)
        text += "Ala Kot. Ocena: 4. Dnia: " + date.toLatin1() + "\r\n";
    return text;
}

QString readAs(const GradeLine& line) {
    const auto day = [](const QDate& d) { return d.toString(QStringLiteral("d.M.yyyy")); };
    return line.uncertain() ? day(line.date) + QLatin1Char('|') + day(line.orElse) : day(line.date);
}

class SettlingDates : public ::testing::TestWithParam<FileCase> {};

// Whatever the computer reading the files is set to: the evidence is the file's.
TEST_P(SettlingDates, FollowsTheFilesEvidence) {
    const FileCase& c = GetParam();
    for (const QLocale& reader : {QLocale(QLocale::Polish), QLocale::c(), QLocale(QLocale::English)}) {
        const QList<GradeLine> lines = readClassText(classFile(c.dates), DateReader(reader), c.today);
        QStringList got;
        for (const GradeLine& l : lines)
            got.append(readAs(l));
        EXPECT_EQ(got, c.expected) << reader.name().toStdString();
    }
}

const QDate kMarch(2026, 3, 1);

INSTANTIATE_TEST_SUITE_P(
    Files, SettlingDates,
    ::testing::Values(
        // 1. A day above 12 in a date of the same form fixes the order of all of that form.
        FileCase{"AmericanFormShownByOneDate",
                 {"2/6/26", "5/1/26", "4/9/26", "4/13/26"},
                 kToday,
                 {"6.2.2026", "1.5.2026", "9.4.2026", "13.4.2026"}},
        FileCase{
            "DayFirstFormShownByOneDate", {"2.06.2026", "13.06.2026"}, kToday, {"2.6.2026", "13.6.2026"}},
        // Another year's length is another form: it shows nothing of this one.
        FileCase{"OtherYearLengthIsAnotherForm",
                 {"13/06/2026", "2/6/26"},
                 kToday,
                 {"13.6.2026", "6.2.2026|2.6.2026"}},
        // 2. Then the reading that keeps the file's dates in the order of its lines.
        FileCase{"LinesInOrder",
                 {"20.01.2026", "2/6/26", "25.02.2026"},
                 kToday,
                 {"20.1.2026", "6.2.2026", "25.2.2026"}},
        FileCase{"LinesInOrderTheOtherWay",
                 {"20.05.2026", "2/6/26", "25.06.2026"},
                 kToday,
                 {"20.5.2026", "2.6.2026", "25.6.2026"}},
        FileCase{"ConflictingDaysLeaveItToTheOrder",
                 {"13/2/26", "2/13/26", "1.03.2026", "3/4/26", "20.03.2026"},
                 kToday,
                 {"13.2.2026", "13.2.2026", "1.3.2026", "4.3.2026", "20.3.2026"}},
        // 3. Then no date after today.
        FileCase{"NoDateAfterToday", {"2/6/26", "1/2/26"}, kMarch, {"6.2.2026", "2.1.2026"}},
        FileCase{"OneDateAfterTodayShowsTheForm",
                 {"1/2/26", "2/3/26", "2/9/26"},
                 kMarch,
                 {"2.1.2026", "3.2.2026", "9.2.2026"}},
        // Forms that every computer writes day first need no evidence.
        FileCase{"OnlyWrittenDayFirst",
                 {"8.12.2026", "8/12/2026", "8-12-2026", "8. 12. 2026."},
                 kToday,
                 {"8.12.2026", "8.12.2026", "8.12.2026", "8.12.2026"}},
        // Where the evidence leaves two readings, both are kept.
        FileCase{"TwoReadingsLeft", {"2/6/26"}, kToday, {"6.2.2026|2.6.2026"}},
        FileCase{
            "TwoReadingsOfEach", {"1/2/26", "3/4/26"}, kToday, {"2.1.2026|1.2.2026", "4.3.2026|3.4.2026"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every common locale's short format, as the saver writes it over a school year in time order,
// reads back as the same dates when the files are read under that locale; the same with ISO.
TEST(SettlingDates, ShortFormatsOfCommonLocalesComeBack) {
    const char* const locales[] = {"C",     "pl_PL", "en_US", "en_GB", "de_DE", "fr_FR", "es_ES", "it_IT",
                                   "ru_RU", "uk_UA", "cs_CZ", "sk_SK", "hu_HU", "nl_NL", "sv_SE", "ja_JP",
                                   "zh_CN", "ko_KR", "pt_BR", "lt_LT", "bg_BG", "hr_HR", "sl_SI", "fi_FI"};
    const QList<QDate> days = {kDate, QDate(2019, 12, 31), QDate(2024, 1, 5), QDate(2024, 11, 3)};
    for (const char* name : locales) {
        const QLocale locale(QString::fromLatin1(name));
        QStringList written, iso;
        for (const QDate& day : days) {
            written.append(cyfrolia::shortDateText(day, locale));
            iso.append(day.toString(Qt::ISODate));
        }
        for (const QStringList& texts : {written, iso}) {
            const QList<GradeLine> lines = readClassText(classFile(texts), DateReader(locale), kToday);
            ASSERT_EQ(lines.size(), days.size());
            for (qsizetype i = 0; i < days.size(); ++i) {
                EXPECT_EQ(lines.at(i).date, days.at(i)) << name << " " << texts.at(i).toStdString();
                EXPECT_FALSE(lines.at(i).uncertain()) << name << " " << texts.at(i).toStdString();
            }
        }
    }
}

TEST(ShownDate, MarksBothReadingsOfAnUncertainDate) {
    QList<GradeLine> lines =
        readClassText("Ala Kot. Ocena: 4. Dnia: 2/6/26\r\nAla Kot. Ocena: 4. Dnia: 1/2/25\r\n"
                      "Ala Kot. Ocena: 4. Dnia: 18.02.2007\r\nAla Kot. Ocena: 4. Dnia: wczoraj",
                      DateReader(QLocale::c()), kToday);
    EXPECT_EQ(shownDate(lines.at(0)), QStringLiteral("6.02 lub 2.06.2026"));
    EXPECT_EQ(spokenDate(lines.at(0)), QStringLiteral("6 lutego lub 2 czerwca 2026, data niepewna"));
    EXPECT_EQ(shownDate(lines.at(1)), QStringLiteral("2.01 lub 1.02.2025"));
    EXPECT_EQ(shownDate(lines.at(2)), QStringLiteral("18.02.2007"));
    EXPECT_EQ(shownDate(lines.at(3)), QStringLiteral("wczoraj"));
}

TEST(PupilKey, IgnoresCaseBlanksAndTheMarksOfLetters) {
    EXPECT_EQ(pupilKey(u"  Łucja   ŻÓŁĆ "), pupilKey(u"lucja zolc"));
    EXPECT_EQ(pupilKey(u"Małgorzata Ściborek"), pupilKey(u"Malgorzata  Sciborek"));
    EXPECT_TRUE(pupilKey(u"Antoni Łęcki").contains(pupilKey(u"lecki")));
    EXPECT_NE(pupilKey(u"Ala Nowak"), pupilKey(u"Ala Nowakowa"));
}

} // namespace
