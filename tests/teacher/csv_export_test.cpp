#include "teacher/csv_export.h"

#include "common/results_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace teacher;

namespace {

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
    const QDate date(2007, 2, 8);
    const QByteArray polish = cyfrolia::shortDateText(date, QLocale()).toLatin1();
    put(folder + "wyniki_kl_I.txt", "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 5. Dnia: 2007-02-08\r\n"
                                    "ala nowak. Ocena: 3. Dnia: " +
                                        polish + "\r\n");
    put(folder + "wyniki_kl_II.txt", "Ola, \"Ola\" Kot. Ocena: 6. Dnia: 8 lutego 2007\n"
                                     "poprawka: Ola 5\r"
                                     "\r\n"
                                     "Jan Lis. Ocena: 2. Dnia: nie wiem");
    put(folder + "wyniki_kl_III.txt", "");
    QDir(folder).mkdir("wyniki_kl_IV.txt");
    put(folder + "wyniki_kl_V.txt", "=1+1 X. Ocena: 4. Dnia: 2007-02-08\r\n");
    put(folder + "wyniki_kl_VI.txt", "Ewa Bo. Ocena: 1. Dnia: 09.02.2007\r\n");

    QString errors;
    QTextStream errorStream(&errors);
    EXPECT_EQ(exportCsv(folder, folder + "out.csv", errorStream), 1);
    EXPECT_EQ(errors.count(QLatin1Char('\n')), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(folder + "wyniki_kl_IV.txt")) << errors.toStdString();

    const QByteArray expected = "klasa,imię i nazwisko,ocena,data,wiersz\r\n"
                                "I,Łucja Żółć,5,2007-02-08,Łucja Żółć. Ocena: 5. Dnia: 2007-02-08\r\n"
                                "I,ala nowak,3,2007-02-08,ala nowak. Ocena: 3. Dnia: " +
                                polish +
                                "\r\n"
                                "II,\"Ola, \"\"Ola\"\" Kot\",6,2007-02-08,"
                                "\"Ola, \"\"Ola\"\" Kot. Ocena: 6. Dnia: 8 lutego 2007\"\r\n"
                                "II,,,,poprawka: Ola 5\r\n"
                                "II,,,,\r\n"
                                "II,Jan Lis,2,,Jan Lis. Ocena: 2. Dnia: nie wiem\r\n"
                                "V,=1+1 X,4,2007-02-08,=1+1 X. Ocena: 4. Dnia: 2007-02-08\r\n"
                                "VI,Ewa Bo,1,2007-02-09,Ewa Bo. Ocena: 1. Dnia: 09.02.2007\r\n";
    EXPECT_EQ(get(folder + "out.csv").toStdString(), expected.toStdString());

    // With every file readable, the same call succeeds and says nothing.
    QDir(folder).rmdir("wyniki_kl_IV.txt");
    put(folder + "wyniki_kl_IV.txt", "");
    errors.clear();
    EXPECT_EQ(exportCsv(folder, folder + "out.csv", errorStream), 0);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(get(folder + "out.csv"), expected);

    // A file that can't be written is a failure too.
    EXPECT_EQ(exportCsv(folder, folder + "no/such/folder.csv", errorStream), 1);
    EXPECT_TRUE(errors.contains(folder + "no/such/folder.csv")) << errors.toStdString();
}

} // namespace
