#pragma once

#include "teacher/class_book.h"

#include <QAbstractListModel>
#include <QWidget>

class QAbstractSeries;
class QChartView;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QListView;
class QScatterSeries;
class QValueAxis;

namespace teacher {

// Lines of a class file as written, each with its line number where asked (for fixing it by hand);
// a screen reader also hears when a line's date is uncertain.
class LineList : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void show(const QList<GradeLine>& lines, QList<int> shown, bool numbered);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QList<GradeLine> m_lines; // shared with the class's book, not copied
    QList<int> m_shown;
    bool m_numbered = false;
};

// One point of the chart: the grades of a day (or of a stretch of days, where there are more days
// than the chart has room for), with what its tip says.
struct ChartPoint {
    qint64 firstDay = 0; // Julian days
    qint64 lastDay = 0;
    double grade = 0; // their average
    int count = 0;
    bool uncertain = false;
    QString tip;
};

// The chart's points from a pupil's lines in their one order: one a day, certain and uncertain
// dates apart, and at most `room` of each.
QList<ChartPoint> chartPoints(const ClassBook& book, const Pupil& pupil, bool uncertain, int room);

// One pupil's grades: a chart of the grades over their dates beside the list of the pupil's lines
// as written. The list carries every fact of the chart, so a screen reader needs nothing else.
class PupilView : public QWidget {
    Q_OBJECT
public:
    explicit PupilView(QWidget* parent = nullptr);

    // Shows `pupil` of `book`.
    void showPupil(const ClassBook& book, const Pupil& pupil);
    // Shows lines that are no grade lines, with their line numbers and no chart.
    void showUnread(const ClassBook& book, const QList<int>& lines);
    void clear();

    // What the tip of a point of the chart says.
    QString pointTip(const QAbstractSeries* series, int index) const;

    QLabel* summary;
    QChartView* chartView;
    QListView* lines;

private:
    void createChart();
    void setChartEmpty(const QString& title);
    void showLines(const ClassBook& book, const Pupil& pupil);
    QString summaryText(const ClassBook& book, const Pupil& pupil) const;
    void fillChart(const ClassBook& book, const Pupil& pupil);
    void setAxes(qint64 firstDay, qint64 lastDay);
    void showTip(const QAbstractSeries* series, const QPointF& point, bool shown);

    LineList* m_lines;
    QLineSeries* m_line;
    QScatterSeries* m_points;
    QScatterSeries* m_uncertain; // hollow: their dates could be read two ways
    QDateTimeAxis* m_time;
    QValueAxis* m_grades;
    QList<ChartPoint> m_pointsShown, m_uncertainShown;
};

} // namespace teacher
