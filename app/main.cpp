#include "app/application.h"
#include "app/window_set.h"
#include "common/program_folder.h"
#include "common/style.h"
#include "shell/tform1.h"
#include "teacher/csv_export.h"
#include "teacher/teacher_window.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <cstdio>

using namespace style;

int main(int argc, char* argv[]) {
    // Read before any application object: the export needs no display, so it must not ask for one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser options;
    const QCommandLineOption teacherWindow(QStringLiteral("teacher"),
                                           QStringLiteral("Otwiera okno nauczyciela z wynikami klas."));
    const QCommandLineOption exportCsv(
        QStringLiteral("export-csv"),
        QStringLiteral("Zapisuje oceny wszystkich klas do PLIKU CSV (\"-\": na standardowe wyjście)."),
        QStringLiteral("PLIK"));
    options.addOptions({teacherWindow, exportCsv});
    if (!options.parse(arguments)) {
        std::fprintf(stderr, "cyfrolia: %s\n", qPrintable(options.errorText()));
        return 2;
    }
    if (options.isSet(exportCsv)) {
        QCoreApplication core(argc, argv);
        QTextStream errors(stderr);
        return teacher::exportCsv(cyfrolia::programFolder(), options.value(exportCsv), errors);
    }

    Application app(argc, argv);
    installFontSubstitutes();
    if (options.isSet(teacherWindow)) {
        teacher::TeacherWindow window;
        window.show();
        return app.exec();
    }
    WindowSet windows;
    form1->show();
    return app.exec();
}
