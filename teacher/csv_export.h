#pragma once

#include "teacher/class_book.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QTextStream;

namespace teacher {

// The classes as one CSV table for a spreadsheet: UTF-8, a header row, then one row per line of
// each class in file order, with the class, the name, the grade, the date in ISO form (empty when
// unreadable) and the line as written. A line that is no grade line has only its class and text.
QByteArray csvText(const QList<ClassBook>& books);

// Reads the six class files in `folder` and writes them as CSV to `path` ("-" for standard
// output). A class file that can't be read is named on `errors` and the others are still written.
// Returns the exit code: 0 when every file was read and the CSV written, 1 otherwise.
int exportCsv(const QString& folder, const QString& path, QTextStream& errors);

} // namespace teacher
