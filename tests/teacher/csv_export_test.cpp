#include "teacher/csv_export.h"

#include "common/results_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace teacher;

namespace {

const QDate kToday(2026, 12, 8);

void put(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray get(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Six class files as a week in a classroom leaves them: Windows-1250 names, every kind of line
// break, a line edited by hand, a missing final break, one class file that is a folder.
TEST(ExportCsv, WritesEveryLineOfTheReadableClassesAndNamesTheOther) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    // The system's short form, with a day that shows which number is the day.
    const QByteArray polish = cyfrolia::shortDateText(QDate(2007, 2, 18), QLocale()).toLatin1();
    put(folder + "wyniki_kl_I.txt", "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 5. Dnia: 2007-02-08\r\n"
                                    "ala nowak. Ocena: 3. Dnia: " +
                                        polish + "\r\n");
    put(folder + "wyniki_kl_II.txt", "Ola, \"Ola\" Kot. Ocena: 6. Dnia: 8 lutego 2007\n"
                                     "poprawka: Ola 5\r"
                                     "\r\n"
                                     "Jan Lis. Ocena: 2. Dnia: nie wiem");
    put(folder + "wyniki_kl_III.txt", "");
    QDir(folder).mkdir("wyniki_kl_IV.txt");
    put(folder + "wyniki_kl_V.txt", "Ewa Bo . Ocena: 4. Dnia: 2007-02-08\r\n");
    put(folder + "wyniki_kl_VI.txt", "Ewa Bo. Ocena: 1. Dnia: 19.02.2007\r\n");

    QString errors;
    QTextStream errorStream(&errors);
    EXPECT_EQ(exportCsv(folder, folder + "out.csv", kToday, errorStream), 1);
    EXPECT_EQ(errors.count(QLatin1Char('\n')), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(folder + "wyniki_kl_IV.txt")) << errors.toStdString();

    const QByteArray expected =
        "klasa,imię i nazwisko,ocena,data,wiersz,uwagi,uczeń\r\n"
        "I,Łucja Żółć,5,2007-02-08,Łucja Żółć. Ocena: 5. Dnia: 2007-02-08,,Łucja Żółć\r\n"
        "I,ala nowak,3,2007-02-18,ala nowak. Ocena: 3. Dnia: " +
        polish +
        ",,ala nowak\r\n"
        "II,\"Ola, \"\"Ola\"\" Kot\",6,2007-02-08,"
        "\"Ola, \"\"Ola\"\" Kot. Ocena: 6. Dnia: 8 lutego 2007\",,\"Ola, \"\"Ola\"\" Kot\"\r\n"
        "II,,,,poprawka: Ola 5,,\r\n"
        "II,,,,,,\r\n"
        "II,Jan Lis,2,,Jan Lis. Ocena: 2. Dnia: nie wiem,data nieczytelna,Jan Lis\r\n"
        // A name written with a blank at its end keeps it: quoted.
        "V,\"Ewa Bo \",4,2007-02-08,Ewa Bo . Ocena: 4. Dnia: 2007-02-08,,Ewa Bo\r\n"
        "VI,Ewa Bo,1,2007-02-19,Ewa Bo. Ocena: 1. Dnia: 19.02.2007,,Ewa Bo\r\n";
    EXPECT_EQ(get(folder + "out.csv").toStdString(), expected.toStdString());

    // With every file readable, the same call succeeds and says nothing.
    QDir(folder).rmdir("wyniki_kl_IV.txt");
    put(folder + "wyniki_kl_IV.txt", "");
    errors.clear();
    EXPECT_EQ(exportCsv(folder, folder + "out.csv", kToday, errorStream), 0);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(get(folder + "out.csv"), expected);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 7) << "a file left beside the CSV";

    // A file that can't be written is a failure too.
    EXPECT_EQ(exportCsv(folder, folder + "no/such/folder.csv", kToday, errorStream), 1);
    EXPECT_TRUE(errors.contains(folder + "no/such/folder.csv")) << errors.toStdString();
}

// What a spreadsheet would run as a formula stays text: an apostrophe goes first. Names and
// lines typed by hand alike; the grouped name too. A date that reads two ways is left out, and
// the notes say why.
TEST(ExportCsv, KeepsFormulasTextAndSaysWhyADateIsEmpty) {
    ClassBook book{QStringLiteral("II"), {}, {}};
    const QStringList lines = {QStringLiteral("=1+1 X. Ocena: 4. Dnia: 2007-02-08"),
                               QStringLiteral("=== II półrocze ==="),
                               QStringLiteral("=HYPERLINK(\"x y\"&\"z. Ocena: 5. Dnia: \";\"kliknij\")"),
                               QStringLiteral("+48 Ala. Ocena: 3. Dnia: 2/6/26"),
                               QStringLiteral("-Ala Kot. Ocena: 2. Dnia: 2007-02-08"),
                               QStringLiteral("@Ala Kot. Ocena: 1. Dnia: 2007-02-08"),
                               QStringLiteral("\tAla. Ocena: 6. Dnia: 2007-02-08")};
    QList<DateReading> readings;
    for (const QString& line : lines) {
        readings.append(DateReading());
        book.lines.append(readGradeLine(line, DateReader(QLocale::c()), &readings.last()));
    }
    settleDates(book.lines, readings, kToday);
    const QList<QByteArray> rows = csvText({book}).split('\n');
    ASSERT_EQ(rows.size(), lines.size() + 2);
    EXPECT_EQ(rows.at(1), "II,'=1+1 X,4,2007-02-08,'=1+1 X. Ocena: 4. Dnia: 2007-02-08,,'=1+1 X\r");
    EXPECT_EQ(rows.at(2), "II,,,,'=== II półrocze ===,,\r");
    EXPECT_EQ(rows.at(3).toStdString(),
              "II,\"'=HYPERLINK(\"\"x y\"\"&\"\"z\",5,,\"'=HYPERLINK(\"\"x y\"\"&\"\"z. Ocena: 5. Dnia: "
              "\"\";\"\"kliknij\"\")\",data nieczytelna,\"'=HYPERLINK(\"\"x y\"\"&\"\"z\"\r");
    EXPECT_EQ(rows.at(4).toStdString(),
              "II,'+48 Ala,3,,'+48 Ala. Ocena: 3. Dnia: 2/6/26,data niepewna: 6.02 lub 2.06.2026,'+48 Ala\r");
    EXPECT_EQ(rows.at(5), "II,'-Ala Kot,2,2007-02-08,'-Ala Kot. Ocena: 2. Dnia: 2007-02-08,,'-Ala Kot\r");
    EXPECT_EQ(rows.at(6), "II,'@Ala Kot,1,2007-02-08,'@Ala Kot. Ocena: 1. Dnia: 2007-02-08,,'@Ala Kot\r");
    EXPECT_EQ(rows.at(7), "II,'\tAla,6,2007-02-08,'\tAla. Ocena: 6. Dnia: 2007-02-08,,Ala\r");
}

} // namespace
