#include "teacher/pupil_view.h"

#include "teacher/pupil_table.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace teacher {

namespace {

// A count with its noun in the Polish form it takes: 1 ocena, 2-4 oceny (not 12-14), 5 ocen.
QString counted(qsizetype count, const char* one, const char* few, const char* many) {
    const qsizetype tens = count % 100, ones = count % 10;
    const char* word = count == 1 ? one : ones >= 2 && ones <= 4 && (tens < 12 || tens > 14) ? few : many;
    return QString::number(count) + QLatin1Char(' ') + QString::fromUtf8(word);
}

QString gradeCount(qsizetype count) {
    return counted(count, "ocena", "oceny", "ocen");
}

} // namespace

PupilView::PupilView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pupilView"));
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setWordWrap(true);
    summary->setTextFormat(Qt::PlainText);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    chartView = new QChartView(chart, this);
    chartView->setObjectName(QStringLiteral("chart"));
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setMinimumSize(320, 220);
    chartView->setFocusPolicy(Qt::NoFocus);

    lines = new QListWidget(this);
    lines->setObjectName(QStringLiteral("lines"));
    lines->setAccessibleName(QStringLiteral("Wpisy ucznia"));
    lines->setMinimumWidth(300);
    lines->setUniformItemSizes(true);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(chartView, 3);
    row->addWidget(lines, 2);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(summary);
    column->addLayout(row, 1);
    clear();
}

void PupilView::setChartEmpty(const QString& title) {
    QChart* chart = chartView->chart();
    chart->removeAllSeries();
    // Series go with removeAllSeries(); a removed axis is handed back to be deleted.
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(title);
    chartView->setAccessibleName(title);
}

void PupilView::clear() {
    summary->setText(QStringLiteral("Wybierz ucznia z tabeli, aby zobaczyć jego oceny."));
    setChartEmpty(QString());
    lines->clear();
    lines->setAccessibleName(QStringLiteral("Wpisy ucznia"));
}

void PupilView::showPupil(const ClassBook& book, const Pupil& pupil) {
    // The list: every line as written, oldest first.
    lines->clear();
    QList<const GradeLine*> dated;
    for (int i : pupil.lines) {
        const GradeLine& line = book.lines.at(i);
        lines->addItem(line.written);
        if (line.date.isValid())
            dated.append(&line);
    }
    lines->setAccessibleName(QStringLiteral("Wpisy ucznia ") + pupil.name.simplified());
    lines->setCurrentRow(lines->count() - 1);

    const int undated = int(pupil.lines.size() - dated.size());
    QString text = pupil.name.simplified() + QStringLiteral(", klasa ") + book.schoolClass +
                   QStringLiteral(": ") + gradeCount(pupil.count()) + QStringLiteral(", średnia ") +
                   averageText(pupil.average) + QStringLiteral(", ostatnia ") +
                   QString::number(pupil.lastGrade) + QStringLiteral(" (") +
                   gradeDateText(pupil.lastDate, pupil.lastDateText) + QStringLiteral("), trend: ") +
                   trendSpoken(pupil) + QLatin1Char('.');
    if (undated > 0)
        text += QLatin1Char(' ') + gradeCount(undated) +
                QStringLiteral(" bez czytelnej daty: tylko na liście, nie na wykresie.");
    summary->setText(text);

    // The chart: the dated grades in date order; lines saved on one day stay in file order.
    std::stable_sort(dated.begin(), dated.end(),
                     [](const GradeLine* a, const GradeLine* b) { return a->date < b->date; });
    setChartEmpty(QString());
    if (dated.isEmpty()) {
        setChartEmpty(QStringLiteral("Brak ocen z czytelną datą"));
        return;
    }
    QChart* chart = chartView->chart();
    auto* line = new QLineSeries;
    auto* points = new QScatterSeries;
    points->setMarkerSize(9);
    for (const GradeLine* g : dated) {
        const qreal x = qreal(QDateTime(g->date, QTime(12, 0)).toMSecsSinceEpoch());
        line->append(x, g->grade);
        points->append(x, g->grade);
    }
    chart->addSeries(line);
    chart->addSeries(points);
    points->setColor(line->color());
    points->setBorderColor(line->color());

    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("d.MM.yyyy"));
    const QDate first = dated.first()->date, last = dated.last()->date;
    // A day's room either side, and half a grade above and below, so no point is cut at an edge.
    time->setRange(QDateTime(first.addDays(-1), QTime(0, 0)), QDateTime(last.addDays(1), QTime(23, 59)));
    time->setTickCount(int(std::min<qint64>(5, first.daysTo(last) + 3)));
    auto* grades = new QValueAxis;
    grades->setRange(-0.5, 6.5);
    grades->setTickType(QValueAxis::TicksDynamic);
    grades->setTickAnchor(0);
    grades->setTickInterval(1);
    grades->setLabelFormat(QStringLiteral("%d"));
    grades->setTitleText(QStringLiteral("Ocena"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(grades, Qt::AlignLeft);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(line), static_cast<QAbstractSeries*>(points)}) {
        s->attachAxis(time);
        s->attachAxis(grades);
    }
    const QString title = QStringLiteral("Oceny: ") + pupil.name.simplified();
    chart->setTitle(title);
    chartView->setAccessibleName(QStringLiteral("Wykres ocen ucznia ") + pupil.name.simplified());
    chartView->setAccessibleDescription(gradeCount(dated.size()) + QStringLiteral(" od ") +
                                        gradeDateText(first, {}) + QStringLiteral(" do ") +
                                        gradeDateText(last, {}));
}

void PupilView::showUnread(const ClassBook& book, const QList<int>& unread) {
    lines->clear();
    for (int i : unread)
        lines->addItem(book.lines.at(i).written);
    lines->setAccessibleName(QStringLiteral("Wiersze nieodczytane, klasa ") + book.schoolClass);
    lines->setCurrentRow(0);
    summary->setText(
        QStringLiteral("Klasa ") + book.schoolClass + QStringLiteral(": ") +
        counted(unread.size(), "wiersz", "wiersze", "wierszy") +
        QStringLiteral(" bez zapisu oceny (np. poprawione ręcznie), pokazane tak, jak je zapisano."));
    setChartEmpty(QStringLiteral("Wiersze bez oceny"));
}

} // namespace teacher
