#include "app/application.h"
#include "app/command_line.h"
#include "app/window_set.h"
#include "common/style.h"
#include "shell/tform1.h"

#include <QCommandLineParser>

using namespace style;

int main(int argc, char* argv[]) {
    QCommandLineParser commandLine;
    if (const std::optional<int> code = command_line::read(argc, argv, commandLine))
        return *code;
    Application app(argc, argv);
    installFontSubstitutes();
    WindowSet windows;
    form1->show();
    return app.exec();
}
