#include "app/application.h"
#include "app/command_line.h"
#include "app/display_choice.h"
#include "app/window_set.h"
#include "common/program_folder.h"
#include "common/style.h"
#include "shell/tform1.h"

#include <QCommandLineParser>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

using namespace style;

namespace {

// The teacher's view is a program of its own beside this one, so that the children's menu starts
// without charts and printing. It gets the same arguments.
int handOverToTeacher(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    const QByteArray program =
        QFile::encodeName(cyfrolia::programFolder() + QLatin1String(command_line::kTeacherProgram));
    ::execv(program.constData(), argv);
    std::fprintf(stderr, "cyfrolia: %s: %s\n", program.constData(), std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCommandLineParser commandLine;
    if (const std::optional<int> code = command_line::read(argc, argv, commandLine))
        return *code;
    if (commandLine.isSet(command_line::kTeacher) || commandLine.isSet(command_line::kExportCsv) ||
        commandLine.isSet(command_line::kExportXlsx))
        return handOverToTeacher(argc, argv);

    DisplayChoice display(argc, argv);
    if (!display.found()) {
        DisplayChoice::reportNoDisplay();
        return 1;
    }
    Application app(display.argc(), display.argv());
    installFontSubstitutes();
    WindowSet windows(WindowSet::Start::MenuFirst);
    // Closed before it was ever drawn (the window system's close): nothing more to do.
    if (!form1->isVisible())
        return 0;
    return app.exec();
}
