#include "app/application.h"
#include "app/command_line.h"
#include "common/program_folder.h"
#include "common/style.h"
#include "teacher/csv_export.h"
#include "teacher/teacher_window.h"
#include "teacher/xlsx_export.h"

#include <QCommandLineParser>
#include <QDate>
#include <QTextStream>

using namespace style;

// The teacher's program: the class results window, or an export, which needs no display.
int main(int argc, char* argv[]) {
    QCommandLineParser commandLine;
    if (const std::optional<int> code = command_line::read(argc, argv, commandLine))
        return *code;

    for (const char* option : {command_line::kExportCsv, command_line::kExportXlsx}) {
        if (!commandLine.isSet(option))
            continue;
        QCoreApplication core(argc, argv);
        QTextStream errors(stderr);
        const QString path = commandLine.value(option);
        // Dates are read as of today: a reading that lies ahead is none.
        return option == command_line::kExportCsv
                   ? teacher::exportCsv(cyfrolia::programFolder(), path, QDate::currentDate(), errors)
                   : teacher::exportXlsx(cyfrolia::programFolder(), path, QDate::currentDate(), errors);
    }

    Application app(argc, argv);
    // A program of its own to docks and taskbars, beside the children's: its window class is the
    // desktop entry's StartupWMClass, its ID the entry's name.
    QCoreApplication::setApplicationName(QStringLiteral("Cyfrolia-nauczyciel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.cyfrolia.teacher"));
    installFontSubstitutes();
    teacher::TeacherWindow window;
    window.show();
    return app.exec();
}
