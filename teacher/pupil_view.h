#pragma once

#include "teacher/class_book.h"

#include <QWidget>

class QChart;
class QChartView;
class QLabel;
class QListWidget;

namespace teacher {

// One pupil's grades: a chart of the grades over their dates beside the list of the pupil's lines
// as written. The list carries every fact of the chart, so a screen reader needs nothing else.
class PupilView : public QWidget {
    Q_OBJECT
public:
    explicit PupilView(QWidget* parent = nullptr);

    // Shows `pupil` of `book`.
    void showPupil(const ClassBook& book, const Pupil& pupil);
    // Shows lines that are no grade lines, with no chart.
    void showUnread(const ClassBook& book, const QList<int>& lines);
    void clear();

    QLabel* summary;
    QChartView* chartView;
    QListWidget* lines;

private:
    void setChartEmpty(const QString& title);
};

} // namespace teacher
