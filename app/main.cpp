#include "app/application.h"
#include "app/command_line.h"
#include "app/window_set.h"
#include "common/program_folder.h"
#include "common/style.h"
#include "shell/tform1.h"
#include "teacher/csv_export.h"
#include "teacher/teacher_window.h"

#include <QCommandLineParser>
#include <QTextStream>

using namespace style;

int main(int argc, char* argv[]) {
    QCommandLineParser commandLine;
    if (const std::optional<int> code = command_line::read(argc, argv, commandLine))
        return *code;

    // The export needs no display: it runs on a core application.
    if (commandLine.isSet(command_line::kExportCsv)) {
        QCoreApplication core(argc, argv);
        QTextStream errors(stderr);
        return teacher::exportCsv(cyfrolia::programFolder(), commandLine.value(command_line::kExportCsv),
                                  errors);
    }

    Application app(argc, argv);
    installFontSubstitutes();
    if (commandLine.isSet(command_line::kTeacher)) {
        teacher::TeacherWindow window;
        window.show();
        return app.exec();
    }
    WindowSet windows;
    form1->show();
    return app.exec();
}
