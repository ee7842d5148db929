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
#include <cstring>

using namespace style;

namespace {

// The export needs no display: it runs on a core application, made before anything could ask for
// a window system. Everything else is read after the application has taken Qt's own options.
bool exporting(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--export-csv", 12) == 0)
            return true;
    }
    return false;
}

bool parse(QCommandLineParser& options, const QStringList& arguments) {
    if (options.parse(arguments))
        return true;
    std::fprintf(stderr, "cyfrolia: %s\n", qPrintable(options.errorText()));
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    QCommandLineParser options;
    const QCommandLineOption teacherWindow(QStringLiteral("teacher"),
                                           QStringLiteral("Otwiera okno nauczyciela z wynikami klas."));
    const QCommandLineOption exportCsv(
        QStringLiteral("export-csv"),
        QStringLiteral("Zapisuje oceny wszystkich klas do PLIKU CSV (\"-\": na standardowe wyjście)."),
        QStringLiteral("PLIK"));
    options.addOptions({teacherWindow, exportCsv});

    if (exporting(argc, argv)) {
        QCoreApplication core(argc, argv);
        if (!parse(options, QCoreApplication::arguments()))
            return 2;
        QTextStream errors(stderr);
        return teacher::exportCsv(cyfrolia::programFolder(), options.value(exportCsv), errors);
    }

    Application app(argc, argv);
    if (!parse(options, QCoreApplication::arguments()))
        return 2;
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
