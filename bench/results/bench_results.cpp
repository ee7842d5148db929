// The grades viewer loading six files of 20,000 lines, one 2 MB file with no line break and one
// 10 MB file of ordinary lines, and one save into a long file, against a plain read and a plain
// write of the same bytes measured in the same run; and a save through the helper, as the
// installed program makes it, against a direct save of the same line through the same steps.
// Each figure is also printed as a line "RESULT name | figure | baseline | ratio".
#include "app/window_set.h"
#include "bench/median.h"
#include "common/results_file.h"
#include "results/twyniki.h"
#include "results/tzapisz.h"
#include "shell/tform7.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kLines = 20000;
constexpr int kRounds = 9;

double medianMs(const std::function<void()>& setUp, const std::function<void()>& action,
                int rounds = kRounds) {
    return bench::medianMs(setUp, action, rounds);
}

QByteArray fileContent(int variant) {
    QByteArray text;
    for (int i = 0; i < kLines; ++i)
        text += "\xA3ucja \xAF\xF3\xB3\xE6" + QByteArray::number(variant * kLines + i) +
                ". Ocena: " + QByteArray::number(i % 7) + ". Dnia: 2007-02-08\r\n";
    return text;
}

void writePlain(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readPlain(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void result(const char* name, double figure, double baseline) {
    std::printf("RESULT %s | %.2f ms | %.2f ms | %.1f\n", name, figure, baseline, figure / baseline);
}

// One set of six files in the viewer: how soon the window is up, how long until every byte is in
// its box, and the longest the program stays deaf to input meanwhile (one turn of the event loop).
void viewerCase(const char* name, const QString& folder, const std::vector<QByteArray>& contents,
                int rounds) {
    for (int i = 0; i < 6; ++i)
        writePlain(folder + cyfrolia::resultsFileName(cyfrolia::schoolClasses().at(i)), contents[i]);
    const double plainRead = medianMs(
        {},
        [&] {
            for (int i = 0; i < 6; ++i)
                readPlain(folder + cyfrolia::resultsFileName(cyfrolia::schoolClasses().at(i)));
        },
        rounds);
    wyniki->setResultsFolder(folder);
    const double up = medianMs([&] { wyniki->hide(); },
                               [&] {
                                   wyniki->show();
                                   wyniki->repaint();
                               },
                               rounds);
    double longestTurn = 0;
    const double complete = medianMs([&] { wyniki->hide(); },
                                     [&] {
                                         wyniki->show();
                                         wyniki->repaint();
                                         while (wyniki->isLoading()) {
                                             QElapsedTimer turn;
                                             turn.start();
                                             QCoreApplication::processEvents();
                                             longestTurn = std::max(longestTurn, turn.nsecsElapsed() / 1e6);
                                         }
                                     },
                                     rounds);
    // A box shows its file whole, the breaks the box adds to overlong lines aside.
    for (int i = 0; i < 6; ++i) {
        if (wyniki->box(i)->toPlainText().size() < cyfrolia::textForDisplay(contents[i]).size())
            std::printf("warning: box %d holds less than its file\n", i + 1);
    }
    std::printf("%s: %.1f MB; median of %d rounds\n", name,
                std::accumulate(contents.begin(), contents.end(), 0.0,
                                [](double sum, const QByteArray& c) { return sum + c.size(); }) /
                    (1 << 20),
                rounds);
    std::printf("  plain read                %8.2f ms\n", plainRead);
    std::printf("  viewer up                 %8.2f ms  ratio %.1f  (goal: under 100 ms)\n", up,
                up / plainRead);
    std::printf("  viewer holding all        %8.2f ms  ratio %.1f\n", complete, complete / plainRead);
    std::printf("  longest unresponsive turn %8.2f ms  (goal: under 100 ms)\n", longestTurn);
    const std::string base(name);
    result((base + ", viewer up").c_str(), up, plainRead);
    result((base + ", viewer holding all").c_str(), complete, plainRead);
    result((base + ", longest turn while filling").c_str(), longestTurn, plainRead);
}

} // namespace

// A class of `lines` lines saved through the helper (a process started with QProcess, the line
// on its standard input) and directly. The helper here is a copy built to save into a folder of
// this benchmark's; it is not set-user-id, which changes nothing of its work.
void saverCase(int lines) {
    const QString folder = QStringLiteral(CYFROLIA_BENCH_DATA_DIR "/");
    QDir().mkpath(folder);
    const QByteArray line = "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 5. Dnia: 8.12.2026";
    QByteArray content;
    for (int i = 0; i < lines; ++i)
        content += "Ola Lis" + QByteArray::number(i) + ". Ocena: 4. Dnia: 2007-02-08\r\n";
    // The helper lets a user save once in ten seconds: each round starts with no record of the last.
    const QString record = folder + QLatin1String(cyfrolia::classfile::kPaceFolder) + QLatin1Char('/') +
                           QString::number(::getuid());
    auto reset = [&] {
        writePlain(folder + cyfrolia::resultsFileName(QStringLiteral("I")), content);
        QFile::remove(record);
    };
    const double direct = medianMs(reset, [&] {
        if (cyfrolia::ResultsFiles(folder).save(QStringLiteral("I"), line))
            qFatal("the direct save failed");
    });
    const double helper = medianMs(reset, [&] {
        QProcess process;
        process.start(QStringLiteral(CYFROLIA_BENCH_SAVER), {QStringLiteral("I")});
        process.write(line);
        process.closeWriteChannel();
        if (!process.waitForFinished() || process.exitCode() != 0)
            qFatal("the helper failed: %s", process.readAllStandardOutput().constData());
    });
    std::printf("direct save, %5d lines        %8.2f ms\n", lines, direct);
    std::printf("save through the helper        %8.2f ms  ratio %.2f\n", helper, helper / direct);
    result(("save through the helper, " + std::to_string(lines) + " lines").c_str(), helper, direct);
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    WindowSet windows;
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    std::vector<QByteArray> contents;
    for (int i = 0; i < 6; ++i) {
        contents.push_back(fileContent(i));
        writePlain(folder + cyfrolia::resultsFileName(cyfrolia::schoolClasses().at(i)), contents.back());
    }
    const QString first = folder + cyfrolia::resultsFileName(QStringLiteral("I"));
    const QString copy = folder + QStringLiteral("plain.txt");

    // Viewer: files read, decoded and put into their boxes, and the window drawn.
    viewerCase("six files of 20,000 lines", folder, contents, kRounds);
    {
        // One line of 2 MB: names and grades run together with no break between them.
        QByteArray oneLine;
        while (oneLine.size() < 2 * 1024 * 1024)
            oneLine += "Ala Nowak. Ocena: 5. Dnia: 2007-02-08";
        std::vector<QByteArray> files(6);
        files[0] = oneLine;
        viewerCase("one 2 MB line with no break", folder, files, 3);
        // The same without a single blank, where wrapping finds no word to break at.
        files[0] = QByteArray(2 * 1024 * 1024, 'w');
        viewerCase("one 2 MB line with no blank", folder, files, 3);
        QByteArray normal;
        for (int i = 0; normal.size() < 10 * 1024 * 1024; ++i)
            normal += "Ola \xA3\xF3"
                      "d\x9F" +
                      QByteArray::number(i) + ". Ocena: 4. Dnia: 2007-02-08\r\n";
        files[0] = normal;
        viewerCase("one 10 MB file of ordinary lines", folder, files, 3);
    }
    for (int i = 0; i < 6; ++i)
        writePlain(folder + cyfrolia::resultsFileName(cyfrolia::schoolClasses().at(i)), contents[i]);

    // Save: read, append, rewrite one file; the baseline reads and writes the same bytes plainly.
    const QByteArray line = "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 5. Dnia: 2007-02-08\r\n";
    const double plainRewrite = medianMs({}, [&] { writePlain(copy, readPlain(first) + line); });
    const double coreSave =
        medianMs([&] { writePlain(first, contents[0]); },
                 [&] {
                     if (!cyfrolia::ResultsFiles(folder).append(QStringLiteral("I"), line.chopped(2)))
                         qFatal("the save failed");
                 });
    zapisz->setResultsFolder(folder);
    form7->klasa->setPlainText(QStringLiteral("I"));
    const double windowSave = medianMs(
        [&] {
            writePlain(first, contents[0]);
            zapisz->klasa->setPlainText(QStringLiteral("I"));
            zapisz->ocena->setPlainText(QStringLiteral("5"));
            zapisz->imie->setText(QStringLiteral("Łucja"));
            zapisz->nazwisko->setText(QStringLiteral("Żółć"));
            zapisz->show();
        },
        [&] { zapisz->zapiszClick(); });
    if (readPlain(first).size() != contents[0].size() + line.size() - int(sizeof("2007-02-08")) + 1 +
                                       cyfrolia::shortDateText(QDate(2007, 2, 8)).size())
        std::printf("warning: the save window's line has an unexpected length\n");

    std::printf("plain read + write of one   %8.2f ms\n", plainRewrite);
    std::printf("save (core, safe rewrite)   %8.2f ms  ratio %.2f  (goal: at most 3)\n", coreSave,
                coreSave / plainRewrite);
    std::printf("save (window zapiszClick)   %8.2f ms  ratio %.2f  (goal: at most 3)\n", windowSave,
                windowSave / plainRewrite);
    result("save of a 20,000-line file, core", coreSave, plainRewrite);
    result("save of a 20,000-line file, window", windowSave, plainRewrite);
    saverCase(200);
    saverCase(20000);
    return 0;
}
