#pragma once

#include <optional>

#include <QString>

class QCommandLineParser;

// The program's command line, read before any window exists: help, the version and a mistake
// need no display.
namespace command_line {

// The program's own options, by name: the teacher's window, and the grades written out as CSV
// and as a spreadsheet.
inline constexpr char kTeacher[] = "teacher";
inline constexpr char kExportCsv[] = "export-csv";
inline constexpr char kExportXlsx[] = "export-xlsx";

// The program beside this one that both hand over to.
inline constexpr char kTeacherProgram[] = "cyfrolia-nauczyciel";

// Reads the arguments into `parser`, which knows the program's options. Help and the version are
// printed on standard output, a mistake on standard error, and the code the program then ends with
// is returned (0, or 2 for a mistake); nothing when the program is to start. The options Qt's
// application object takes (-platform, -style, -reverse, the -session a desktop restores, ...)
// are left to it.
std::optional<int> read(int argc, char** argv, QCommandLineParser& parser);

// The value given to Qt's own option `name` ("platform", "display"), the last one if given twice.
std::optional<QString> qtOptionValue(int argc, char** argv, const char* name);

} // namespace command_line
