// The teacher's window and the exports over six class files of 20,000 lines each, and the window
// over one pupil's 200,000 lines, against a plain read of the same bytes measured in the same run.
// Each figure is also printed as a line "RESULT name | figure | baseline | ratio".
#include "bench/median.h"
#include "common/results_file.h"
#include "teacher/csv_export.h"
#include "teacher/teacher_window.h"
#include "teacher/xlsx_export.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kLines = 20000;
constexpr int kRounds = 7;
constexpr int kOnePupilLines = 200000;
const QDate kToday(2026, 6, 30);

double medianMs(const std::function<void()>& action) {
    return bench::medianMs({}, action, kRounds);
}

// A school year of saves: `pupils` names (each line another pupil when it is 0), Polish letters,
// dates over ten months in the Polish short form with some in ISO form.
QByteArray classFile(int variant, int pupils, int lines = kLines) {
    QByteArray text;
    const QDate start(2025, 9, 1);
    for (int i = 0; i < lines; ++i) {
        const int pupil = pupils ? i % pupils : variant * lines + i;
        const QDate day = start.addDays(qint64(i) * 300 / lines);
        const QByteArray date = i % 5 ? day.toString(QStringLiteral("d.MM.yyyy")).toLatin1()
                                      : day.toString(Qt::ISODate).toLatin1();
        text += "\xA3ucja \xAF\xF3\xB3\xE6" + QByteArray::number(pupil) +
                ". Ocena: " + QByteArray::number(i % 7) + ". Dnia: " + date + "\r\n";
    }
    return text;
}

void result(const std::string& name, double figure, double baseline) {
    std::printf("RESULT %s | %.2f ms | %.2f ms | %.1f\n", name.c_str(), figure, baseline, figure / baseline);
}

// Writes the class files (class I's alone where `only` is set) and measures a plain read of them.
double writeAndRead(const QString& folder, const std::function<QByteArray(int)>& content, qint64& bytes) {
    bytes = 0;
    for (int i = 0; i < 6; ++i) {
        const QByteArray text = content(i);
        bytes += text.size();
        QFile file(folder + cyfrolia::resultsFileName(cyfrolia::schoolClasses().at(i)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
    }
    return medianMs([&] {
        for (const QString& schoolClass : cyfrolia::schoolClasses()) {
            QFile file(folder + cyfrolia::resultsFileName(schoolClass));
            if (!file.open(QIODevice::ReadOnly))
                qFatal("cannot read %s", qPrintable(file.fileName()));
            file.readAll();
        }
    });
}

// Ready: every file read and parsed, the first class's table sorted, its first pupil's chart and
// lines filled and the window drawn.
double windowReady(const QString& folder) {
    return medianMs([&] {
        teacher::TeacherWindow window(folder, kToday);
        window.show();
        window.repaint();
    });
}

void benchCase(const char* name, const QString& folder, int pupils) {
    qint64 bytes = 0;
    const double plainRead = writeAndRead(
        folder, [&](int i) { return classFile(i, pupils); }, bytes);
    const double ready = windowReady(folder);
    QString errors;
    QTextStream errorStream(&errors);
    const double exported = medianMs([&] {
        if (teacher::exportCsv(folder, folder + QStringLiteral("export.csv"), kToday, errorStream) != 0)
            qFatal("the export failed: %s", qPrintable(errors));
    });
    const double spreadsheet = medianMs([&] {
        if (teacher::exportXlsx(folder, folder + QStringLiteral("export.xlsx"), kToday, errorStream) != 0)
            qFatal("the export failed: %s", qPrintable(errors));
    });
    std::printf("%s: 6 files of %d lines, %.1f MB; median of %d rounds\n", name, kLines,
                bytes / double(1 << 20), kRounds);
    std::printf("  plain read          %8.2f ms\n", plainRead);
    std::printf("  window ready        %8.2f ms  ratio %.1f  (goal: under 300 ms)\n", ready,
                ready / plainRead);
    std::printf("  CSV export          %8.2f ms  ratio %.1f  (goal: under 200 ms)\n", exported,
                exported / plainRead);
    std::printf("  spreadsheet export  %8.2f ms  ratio %.1f\n", spreadsheet, spreadsheet / plainRead);
    result(std::string(name) + ", teacher's window ready", ready, plainRead);
    result(std::string(name) + ", CSV export", exported, plainRead);
    result(std::string(name) + ", spreadsheet export", spreadsheet, plainRead);
}

// One pupil who saved again and again: the chart has a point a day, the list every line.
void benchOnePupil(const QString& folder) {
    qint64 bytes = 0;
    const double plainRead = writeAndRead(
        folder, [](int i) { return i == 0 ? classFile(0, 1, kOnePupilLines) : QByteArray(); }, bytes);
    const double ready = windowReady(folder);
    std::printf("one pupil, %d lines, %.1f MB; median of %d rounds\n", kOnePupilLines,
                bytes / double(1 << 20), kRounds);
    std::printf("  plain read          %8.2f ms\n", plainRead);
    std::printf("  window ready        %8.2f ms  ratio %.1f  (goal: under 1000 ms)\n", ready,
                ready / plainRead);
    result("one pupil with 200,000 lines, teacher's window ready", ready, plainRead);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    benchCase("30 pupils a class", folder, 30);
    benchCase("every line another pupil", folder, 0);
    benchOnePupil(folder);
    return 0;
}
