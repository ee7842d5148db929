#pragma once

#include "teacher/class_book.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

namespace teacher {

// The columns of both exports, in order: the class, the name as written, the grade, the date
// (empty where it is uncertain or unreadable), the line as written, why the date is empty, and
// the pupil's name as the window shows it. A line that is no grade line has only its class and
// text.
const QStringList& exportColumns();

// Why a line's date is left out of an export ("data niepewna: 6.02 lub 2.06.2026", "data
// nieczytelna"); empty where it is there or where the line is no grade line.
QString dateNote(const GradeLine& line);

// The six class files in `folder` for an export, dates settled as of `today`. Each one that can't
// be read is named on `errors`, and `failed` is set.
QList<ClassBook> readForExport(const QString& folder, const QDate& today, QTextStream& errors, bool& failed);

// The classes as one CSV table for scripts and spreadsheets: UTF-8, a header row, then one row per
// line of each class in file order, quoted per RFC 4180. A text that a spreadsheet would take
// for a formula (one beginning with =, +, -, @, a tab or a carriage return) gets an apostrophe in
// front.
QByteArray csvText(const QList<ClassBook>& books);

// Reads the six class files in `folder` and writes them as CSV to `path` ("-" for standard
// output), through a new file that takes the old one's place only when it is whole. A class file
// that can't be read is named on `errors` and the others are still written. Returns the exit
// code: 0 when every file was read and the CSV written, 1 otherwise.
int exportCsv(const QString& folder, const QString& path, const QDate& today, QTextStream& errors);

} // namespace teacher
