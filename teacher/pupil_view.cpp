#include "teacher/pupil_view.h"

#include "teacher/pupil_table.h"

#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListView>
#include <QScatterSeries>
#include <QToolTip>
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

QString dayText(qint64 day) {
    return QDate::fromJulianDay(day).toString(QStringLiteral("d.MM.yyyy"));
}

qreal chartX(qint64 day) {
    return qreal(QDateTime(QDate::fromJulianDay(day), QTime(12, 0)).toMSecsSinceEpoch());
}

QString pointTipText(const ChartPoint& p, const GradeLine& only) {
    if (p.count == 1) {
        return QStringLiteral("Ocena %1, %2").arg(only.grade).arg(shownDate(only)) +
               (p.uncertain ? QStringLiteral(" (data niepewna)") : QString());
    }
    const QString when = p.firstDay == p.lastDay
                             ? dayText(p.firstDay)
                             : QStringLiteral("od %1 do %2").arg(dayText(p.firstDay), dayText(p.lastDay));
    return gradeCount(p.count) + QStringLiteral(", średnia ") + averageText(p.grade) + QStringLiteral(", ") +
           when + (p.uncertain ? QStringLiteral(" (daty niepewne)") : QString());
}

// Days merged into at most `room` stretches of equal length; a stretch of one day keeps its tip.
QList<ChartPoint> thinned(const QList<ChartPoint>& days, int room) {
    if (days.size() <= room)
        return days;
    const qint64 first = days.first().firstDay, span = days.last().firstDay - first + 1;
    QList<ChartPoint> out;
    QList<int> daysIn;
    qint64 bucket = -1;
    for (const ChartPoint& day : days) {
        const qint64 b = (day.firstDay - first) * room / span;
        if (b != bucket) {
            out.append(ChartPoint{day.firstDay, day.lastDay, 0, 0, day.uncertain, day.tip});
            daysIn.append(0);
            bucket = b;
        }
        ChartPoint& p = out.last();
        p.grade += day.grade * day.count;
        p.count += day.count;
        p.lastDay = day.lastDay;
        ++daysIn.last();
    }
    for (qsizetype i = 0; i < out.size(); ++i) {
        ChartPoint& p = out[i];
        p.grade /= p.count;
        if (daysIn.at(i) > 1)
            p.tip = pointTipText(p, {});
    }
    return out;
}

QList<QPointF> seriesPoints(const QList<ChartPoint>& points) {
    QList<QPointF> out;
    out.reserve(points.size());
    for (const ChartPoint& p : points)
        out.append(QPointF(chartX(p.firstDay), p.grade));
    return out;
}

} // namespace

void LineList::show(const QList<GradeLine>& lines, QList<int> shown, bool numbered) {
    beginResetModel();
    m_lines = lines;
    m_shown = std::move(shown);
    m_numbered = numbered;
    endResetModel();
}

int LineList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant LineList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const int at = m_shown.at(index.row());
    const GradeLine& line = m_lines.at(at);
    const QString text =
        m_numbered ? QStringLiteral("wiersz %1: %2").arg(at + 1).arg(line.written) : line.written;
    switch (role) {
    case Qt::DisplayRole:
        return text;
    case Qt::AccessibleTextRole:
        return line.uncertain() ? text + QStringLiteral(" (") + spokenDate(line) + QLatin1Char(')') : text;
    case Qt::ToolTipRole:
        return line.uncertain() ? QStringLiteral("Data niepewna: ") + shownDate(line) : QVariant();
    default:
        return {};
    }
}

QList<ChartPoint> chartPoints(const ClassBook& book, const Pupil& pupil, bool uncertain, int room) {
    QList<ChartPoint> days;
    const GradeLine* single = nullptr;
    for (int i : pupil.lines) {
        const GradeLine& line = book.lines.at(i);
        if (!line.date.isValid() || line.uncertain() != uncertain)
            continue;
        const qint64 day = line.date.toJulianDay();
        if (days.isEmpty() || days.last().firstDay != day) {
            if (!days.isEmpty())
                days.last().tip = pointTipText(days.last(), *single);
            days.append(ChartPoint{day, day, 0, 0, uncertain, {}});
        }
        ChartPoint& p = days.last();
        p.grade = (p.grade * p.count + line.grade) / (p.count + 1);
        ++p.count;
        single = &line;
    }
    if (!days.isEmpty())
        days.last().tip = pointTipText(days.last(), *single);
    return thinned(days, std::max(room, 2));
}

PupilView::PupilView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pupilView"));
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setWordWrap(true);
    summary->setTextFormat(Qt::PlainText);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    createChart();

    m_lines = new LineList(this);
    lines = new QListView(this);
    lines->setObjectName(QStringLiteral("lines"));
    lines->setModel(m_lines);
    lines->setMinimumWidth(240);
    lines->setUniformItemSizes(true);
    lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lines->setSelectionMode(QAbstractItemView::SingleSelection);

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

// One chart, its series and its axes for every pupil: only their points and ranges change.
void PupilView::createChart() {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    chartView = new QChartView(chart, this);
    chartView->setObjectName(QStringLiteral("chart"));
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setMinimumSize(280, 160);
    chartView->setFocusPolicy(Qt::NoFocus);

    m_line = new QLineSeries(chart);
    m_points = new QScatterSeries(chart);
    m_points->setObjectName(QStringLiteral("points"));
    m_points->setMarkerSize(9);
    m_uncertain = new QScatterSeries(chart);
    m_uncertain->setObjectName(QStringLiteral("uncertain"));
    m_uncertain->setMarkerSize(11);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(m_line), static_cast<QAbstractSeries*>(m_points),
                               static_cast<QAbstractSeries*>(m_uncertain)})
        chart->addSeries(s);
    m_points->setColor(m_line->color());
    m_points->setBorderColor(m_line->color());
    m_uncertain->setColor(Qt::white);
    m_uncertain->setBorderColor(m_line->color());
    QPen hollow = m_uncertain->pen();
    hollow.setWidthF(2);
    m_uncertain->setPen(hollow);

    m_time = new QDateTimeAxis(chart);
    m_time->setFormat(QStringLiteral("d.MM.yyyy"));
    m_grades = new QValueAxis(chart);
    // Half a grade above and below, so that no point is cut at an edge.
    m_grades->setRange(-0.5, 6.5);
    m_grades->setTickType(QValueAxis::TicksDynamic);
    m_grades->setTickAnchor(0);
    m_grades->setTickInterval(1);
    m_grades->setLabelFormat(QStringLiteral("%d"));
    m_grades->setTitleText(QStringLiteral("Ocena"));
    chart->addAxis(m_time, Qt::AlignBottom);
    chart->addAxis(m_grades, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(m_time);
        s->attachAxis(m_grades);
    }
    connect(m_points, &QScatterSeries::hovered, this,
            [this](const QPointF& p, bool shown) { showTip(m_points, p, shown); });
    connect(m_uncertain, &QScatterSeries::hovered, this,
            [this](const QPointF& p, bool shown) { showTip(m_uncertain, p, shown); });
}

void PupilView::setChartEmpty(const QString& title) {
    m_pointsShown.clear();
    m_uncertainShown.clear();
    for (QXYSeries* s : {static_cast<QXYSeries*>(m_line), static_cast<QXYSeries*>(m_points),
                         static_cast<QXYSeries*>(m_uncertain)})
        s->clear();
    m_time->hide();
    m_grades->hide();
    chartView->chart()->setTitle(title);
    chartView->setAccessibleName(title);
    chartView->setAccessibleDescription(QString());
}

void PupilView::clear() {
    summary->setText(QStringLiteral("Wybierz ucznia z tabeli, aby zobaczyć jego oceny."));
    setChartEmpty(QString());
    m_lines->show({}, {}, false);
    lines->setAccessibleName(QStringLiteral("Wpisy ucznia"));
    lines->setAccessibleDescription(QString());
}

void PupilView::showPupil(const ClassBook& book, const Pupil& pupil) {
    showLines(book, pupil);
    summary->setText(summaryText(book, pupil));
    lines->setAccessibleDescription(summary->text());
    fillChart(book, pupil);
}

// Every line as written, in the one order, the latest in sight. No line is made current: the list
// is not where the keyboard is, and a screen reader follows the current item.
void PupilView::showLines(const ClassBook& book, const Pupil& pupil) {
    m_lines->show(book.lines, pupil.lines, false);
    lines->setAccessibleName(QStringLiteral("Wpisy ucznia ") + pupil.name);
    lines->scrollToBottom();
}

QString PupilView::summaryText(const ClassBook& book, const Pupil& pupil) const {
    qsizetype undated = 0, uncertain = 0;
    for (int i : pupil.lines) {
        undated += !book.lines.at(i).date.isValid();
        uncertain += book.lines.at(i).uncertain();
    }
    QString text = pupil.name + QStringLiteral(", klasa ") + book.schoolClass + QStringLiteral(": ") +
                   gradeCount(pupil.count()) + QStringLiteral(", średnia ") + averageText(pupil.average) +
                   QStringLiteral(", ostatnia ") + QString::number(pupil.last.grade) + QStringLiteral(" (") +
                   shownDate(pupil.last) + QStringLiteral("), trend: ") + trendSpoken(pupil) +
                   QLatin1Char('.');
    if (undated > 0)
        text += QLatin1Char(' ') + gradeCount(undated) +
                QStringLiteral(" bez czytelnej daty: tylko na liście, nie na wykresie.");
    if (uncertain > 0)
        text += QLatin1Char(' ') + gradeCount(uncertain) +
                QStringLiteral(" z niepewną datą (dzień i miesiąc mogą być zamienione): na wykresie puste "
                               "kółka we wcześniejszej z dwóch możliwych dat.");
    return text;
}

// The dated grades, one point a day at most and no more than the chart is wide; the line joins
// certain and uncertain points in their order.
void PupilView::fillChart(const ClassBook& book, const Pupil& pupil) {
    const int room = std::max(64, int(chartView->chart()->plotArea().width()));
    m_pointsShown = chartPoints(book, pupil, false, room);
    m_uncertainShown = chartPoints(book, pupil, true, room);
    if (m_pointsShown.isEmpty() && m_uncertainShown.isEmpty()) {
        setChartEmpty(QStringLiteral("Brak ocen z czytelną datą"));
        return;
    }
    QList<ChartPoint> all = m_pointsShown + m_uncertainShown;
    std::stable_sort(all.begin(), all.end(),
                     [](const ChartPoint& a, const ChartPoint& b) { return a.firstDay < b.firstDay; });
    m_line->replace(seriesPoints(all));
    m_points->replace(seriesPoints(m_pointsShown));
    m_uncertain->replace(seriesPoints(m_uncertainShown));
    setAxes(all.first().firstDay, all.last().lastDay);

    const QString title = QStringLiteral("Oceny: ") + pupil.name;
    chartView->chart()->setTitle(title);
    chartView->setAccessibleName(QStringLiteral("Wykres ocen ucznia ") + pupil.name);
    qsizetype dated = 0, uncertain = 0;
    for (const ChartPoint& p : std::as_const(all)) {
        dated += p.count;
        uncertain += p.uncertain ? p.count : 0;
    }
    chartView->setAccessibleDescription(
        gradeCount(dated) + QStringLiteral(" od ") + dayText(all.first().firstDay) + QStringLiteral(" do ") +
        dayText(all.last().lastDay) +
        (uncertain ? QStringLiteral(", w tym z niepewną datą: ") + QString::number(uncertain) : QString()));
}

// A day's room either side, so that no point is cut at an edge.
void PupilView::setAxes(qint64 firstDay, qint64 lastDay) {
    const QDate first = QDate::fromJulianDay(firstDay), last = QDate::fromJulianDay(lastDay);
    m_time->setRange(QDateTime(first.addDays(-1), QTime(0, 0)), QDateTime(last.addDays(1), QTime(23, 59)));
    m_time->setTickCount(int(std::min<qint64>(5, lastDay - firstDay + 3)));
    m_time->show();
    m_grades->show();
}

QString PupilView::pointTip(const QAbstractSeries* series, int index) const {
    const QList<ChartPoint>& points = series == m_uncertain ? m_uncertainShown : m_pointsShown;
    return index >= 0 && index < points.size() ? points.at(index).tip : QString();
}

void PupilView::showTip(const QAbstractSeries* series, const QPointF& point, bool shown) {
    if (!shown) {
        QToolTip::hideText();
        return;
    }
    const auto* xy = static_cast<const QXYSeries*>(series);
    const QList<QPointF> points = xy->points();
    const auto at = std::lower_bound(points.cbegin(), points.cend(), point.x() - 1,
                                     [](const QPointF& p, qreal x) { return p.x() < x; });
    QToolTip::showText(QCursor::pos(), pointTip(series, int(at - points.cbegin())), chartView);
}

void PupilView::showUnread(const ClassBook& book, const QList<int>& unread) {
    m_lines->show(book.lines, unread, true);
    lines->setAccessibleName(QStringLiteral("Wiersze bez oceny, klasa ") + book.schoolClass);
    summary->setText(
        QStringLiteral("Klasa ") + book.schoolClass + QStringLiteral(": ") +
        counted(unread.size(), "wiersz", "wiersze", "wierszy") +
        QStringLiteral(" bez zapisu oceny (np. poprawione ręcznie), pokazane tak, jak je zapisano, z numerem "
                       "wiersza w pliku."));
    lines->setAccessibleDescription(summary->text());
    setChartEmpty(QStringLiteral("Wiersze bez oceny"));
}

} // namespace teacher
