#include "app/application.h"
#include "app/command_line.h"
#include "app/display_choice.h"
#include "common/program_folder.h"
#include "common/style.h"
#include "teacher/csv_export.h"
#include "teacher/teacher_window.h"
#include "teacher/xlsx_export.h"

#include <QCommandLineParser>
#include <QDate>
#include <QTextStream>

#include <algorithm>

using namespace style;

// The teacher's program: the class results window, or an export, which needs no display.
int main(int argc, char* argv[]) {
    QCommandLineParser commandLine;
    if (const std::optional<int> code = command_line::read(argc, argv, commandLine))
        return *code;

    const bool csv = commandLine.isSet(command_line::kExportCsv);
    const bool xlsx = commandLine.isSet(command_line::kExportXlsx);
    if (csv || xlsx) {
        QCoreApplication core(argc, argv);
        QTextStream errors(stderr);
        // Dates are read as of today: a reading that lies ahead is none.
        const QDate today = QDate::currentDate();
        const QString folder = cyfrolia::programFolder();
        int code = 0;
        if (csv)
            code = teacher::exportCsv(folder, commandLine.value(command_line::kExportCsv), today, errors);
        if (xlsx)
            code = std::max(code, teacher::exportXlsx(folder, commandLine.value(command_line::kExportXlsx),
                                                      today, errors));
        return code;
    }

    DisplayChoice display(argc, argv);
    if (!display.found()) {
        DisplayChoice::reportNoDisplay();
        return 1;
    }
    Application app(display.argc(), display.argv());
    // A program of its own to docks and taskbars, beside the children's: its window class is the
    // desktop entry's StartupWMClass, its ID the entry's name.
    QCoreApplication::setApplicationName(QStringLiteral("Cyfrolia-nauczyciel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.cyfrolia.teacher"));
    installFontSubstitutes();
    teacher::TeacherWindow window;
    window.show();
    return app.exec();
}
