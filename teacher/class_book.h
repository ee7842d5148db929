#pragma once

#include "teacher/grade_line.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace teacher {

// One class's file, read: every line in file order, or why it could not be read.
struct ClassBook {
    QString schoolClass; // "I" to "VI"
    QList<GradeLine> lines;
    QString failure; // empty when the file was read
};

// One pupil of a class: the grade lines whose names are the same but for case, blanks and the
// marks of letters.
struct Pupil {
    // Shown trimmed and single-spaced: of the forms written, one with the most letters of its own
    // ("Ł", "ś"), of those the one written most often, and of two written as often the later.
    QString name;
    QString key; // pupilKey(name), what a search looks in
    // Indexes into the class's lines in one order: by date, in file order between equal dates; a
    // line with no readable date keeps its place after the dated line above it in the file.
    QList<int> lines;
    GradeLine last; // the last line in that order
    double average = 0;
    // The average of the latest grades (up to three, half of them at most) less that of as many
    // before them; 0 with fewer than two grades.
    double trend = 0;
    int count() const { return int(lines.size()); }
};

// The lines of one file's text as it comes from the disk (Windows-1250, any line breaks), their
// dates settled by the whole file's evidence with no date after `today`. A last line with no
// break is a line; the empty rest after a final break is none.
QList<GradeLine> readClassText(const QByteArray& bytes, const DateReader& dates, const QDate& today);

// The six class files in `folder` (with its trailing separator), I to VI. A file that can't be
// read gives a book with its failure and no lines; the others are read all the same.
QList<ClassBook> readClassBooks(const QString& folder, const DateReader& dates, const QDate& today);

// The pupils of a class, in the order their names first appear. `pupilOfLine`, when given, gets
// each line's pupil (-1 for a line that is no grade line).
QList<Pupil> pupilsOf(const ClassBook& book, QList<int>* pupilOfLine = nullptr);

// The lines of a class that are no grade lines and hold more than blanks.
QList<int> unreadLines(const ClassBook& book);

} // namespace teacher
