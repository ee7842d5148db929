// The grades viewer loading six files of 20,000 lines, and one save into such a file, against a
// plain read and a plain write of the same bytes measured in the same run.
#include "app/window_set.h"
#include "results/results_file.h"
#include "results/twyniki.h"
#include "results/tzapisz.h"
#include "shell/tform7.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kLines = 20000;
constexpr int kRounds = 9;

double medianMs(const std::function<void()>& setUp, const std::function<void()>& action) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        if (setUp)
            setUp();
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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

} // namespace

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

    // Viewer: six files read, decoded and put into their boxes, and the window drawn.
    const double plainRead = medianMs({}, [&] {
        for (int i = 0; i < 6; ++i)
            readPlain(folder + cyfrolia::resultsFileName(cyfrolia::schoolClasses().at(i)));
    });
    wyniki->setResultsFolder(folder);
    const double viewer = medianMs([&] { wyniki->hide(); },
                                   [&] {
                                       wyniki->show();
                                       wyniki->repaint();
                                   });
    const double viewerComplete = medianMs([&] { wyniki->hide(); },
                                           [&] {
                                               wyniki->show();
                                               wyniki->repaint();
                                               while (wyniki->isLoading())
                                                   QCoreApplication::processEvents();
                                           });

    // Save: read, append, rewrite one file; the baseline reads and writes the same bytes plainly.
    const QByteArray line = "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 5. Dnia: 2007-02-08\r\n";
    const double plainRewrite = medianMs({}, [&] { writePlain(copy, readPlain(first) + line); });
    const double coreSave =
        medianMs([&] { writePlain(first, contents[0]); },
                 [&] {
                     cyfrolia::ResultsFiles(folder).append(
                         QStringLiteral("I"), QStringLiteral("Łucja Żółć. Ocena: 5. Dnia: 2007-02-08"));
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

    std::printf("six files of %d lines, %.1f MB in all; median of %d rounds\n", kLines,
                6.0 * contents[0].size() / (1 << 20), kRounds);
    std::printf("plain read of six files     %8.2f ms\n", plainRead);
    std::printf("viewer up with six files    %8.2f ms  ratio %.1f  (goal: under 100 ms)\n", viewer,
                viewer / plainRead);
    std::printf("viewer holding all lines    %8.2f ms  ratio %.1f\n", viewerComplete,
                viewerComplete / plainRead);
    std::printf("plain read + write of one   %8.2f ms\n", plainRewrite);
    std::printf("save (core, safe rewrite)   %8.2f ms  ratio %.2f  (goal: at most 3)\n", coreSave,
                coreSave / plainRewrite);
    std::printf("save (window zapiszClick)   %8.2f ms  ratio %.2f  (goal: at most 3)\n", windowSave,
                windowSave / plainRewrite);
    std::printf("RESULT viewer (up with six files) | %.2f ms | %.2f ms (plain read) | %.1f\n", viewer,
                plainRead, viewer / plainRead);
    std::printf("RESULT save (window zapiszClick) | %.2f ms | %.2f ms (plain read + write) | %.2f\n",
                windowSave, plainRewrite, windowSave / plainRewrite);
    return 0;
}
