#pragma once

#include "teacher/class_book.h"

#include <QDate>
#include <QString>

class QTextStream;

namespace teacher {

// Writes the classes as a spreadsheet to `path`: a sheet with every class, then one a class, each
// with the export's columns, a frozen header row and a filter. Dates are date cells, grades
// number cells and every text a text cell exactly as written, so that nothing is ever taken for a
// formula. The file is written beside `path` and takes its place only when it is whole. Returns
// why it failed, or nothing.
QString writeXlsx(const QList<ClassBook>& books, const QString& path);

// Reads the six class files in `folder` and writes them as a spreadsheet to `path` ("-" for
// standard output). A class file that can't be read is named on `errors` and the others are still
// written. Returns the exit code: 0 when every file was read and the spreadsheet written.
int exportXlsx(const QString& folder, const QString& path, const QDate& today, QTextStream& errors);

} // namespace teacher
