#include "app/application.h"
#include "app/command_line.h"
#include "app/display_choice.h"
#include "common/program_folder.h"
#include "common/style.h"
#include "teacher/csv_export.h"
#include "teacher/teacher_window.h"

#include <QCommandLineParser>
#include <QTextStream>

using namespace style;

// The teacher's program: the class results window, or the CSV export, which needs no display.
int main(int argc, char* argv[]) {
    QCommandLineParser commandLine;
    if (const std::optional<int> code = command_line::read(argc, argv, commandLine))
        return *code;

    if (commandLine.isSet(command_line::kExportCsv)) {
        QCoreApplication core(argc, argv);
        QTextStream errors(stderr);
        return teacher::exportCsv(cyfrolia::programFolder(), commandLine.value(command_line::kExportCsv),
                                  errors);
    }

    DisplayChoice display(argc, argv);
    if (!display.found()) {
        DisplayChoice::reportNoDisplay();
        return 1;
    }
    Application app(display.argc(), display.argv());
    installFontSubstitutes();
    teacher::TeacherWindow window;
    window.show();
    return app.exec();
}
