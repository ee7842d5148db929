// A save through the helper, as the installed program makes it (a process started with QProcess,
// the line on its standard input), against a direct save of the same line into the same file
// through the same steps, in the same run: a class of 200 lines and one of 20,000. The helper
// here is a copy built to save into a folder of this benchmark's. Each figure is also printed as
// a line "RESULT name | figure | baseline | ratio".
#include "common/results_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 15;

double medianMs(const std::function<void()>& setUp, const std::function<void()>& action) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        setUp();
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void writePlain(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = QStringLiteral(CYFROLIA_BENCH_DATA_DIR "/");
    QDir().mkpath(folder);
    const QString saver = QStringLiteral(CYFROLIA_BENCH_SAVER);
    const QString line = QStringLiteral("Łucja Żółć. Ocena: 5. Dnia: 8.12.2026");
    const QString path = folder + cyfrolia::resultsFileName(QStringLiteral("I"));

    for (const int lines : {200, 20000}) {
        QByteArray content;
        for (int i = 0; i < lines; ++i)
            content += "Ola Lis" + QByteArray::number(i) + ". Ocena: 4. Dnia: 2007-02-08\r\n";
        auto reset = [&] { writePlain(path, content); };
        const double direct = medianMs(reset, [&] {
            if (cyfrolia::ResultsFiles(folder).save(QStringLiteral("I"), line))
                qFatal("the direct save failed");
        });
        const double helper = medianMs(reset, [&] {
            QProcess process;
            process.start(saver, {QStringLiteral("I")});
            process.write(line.toUtf8());
            process.closeWriteChannel();
            if (!process.waitForFinished() || process.exitCode() != 0)
                qFatal("the helper failed: %s", process.readAllStandardOutput().constData());
        });
        const QByteArray name = "save through the helper, " + QByteArray::number(lines) + " lines";
        std::printf("direct save, %5d lines        %8.2f ms\n", lines, direct);
        std::printf("save through the helper        %8.2f ms  ratio %.2f\n", helper, helper / direct);
        std::printf("RESULT %s | %.2f ms | %.2f ms | %.1f\n", name.constData(), helper, direct,
                    helper / direct);
    }
    return 0;
}
