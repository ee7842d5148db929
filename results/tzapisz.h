#pragma once

#include "common/windows.h"

#include "common/app_window.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <optional>

namespace cyfrolia {
struct SaveFailure;
}

// A month calendar that rings today's date, so a child sees where "today" is.
class TodayCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    using QCalendarWidget::QCalendarWidget;

protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;
};

// The save-result window ("Zapisz swój wynik:"): a child types a name and saves the grade of
// the series just finished into the results file of the class.
class Tzapisz : public AppWindow {
    Q_OBJECT
public:
    explicit Tzapisz(QWidget* parent = nullptr);

    // Shows the window beside the exercise window `owner`, for a grade of a school class.
    void showResult(QWidget* owner, const QString& schoolClass, const QString& grade);

    // Handlers.
    void FormCreate();
    void date1Click();
    void zapiszClick();
    void anulujClick();

    // Where the results files are; the program's folder unless a test says otherwise.
    void setResultsFolder(const QString& folder) { m_folder = folder; }
    QString resultsFolder() const;

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* imie;
    QLineEdit* nazwisko;
    QPlainTextEdit* klasa;
    QPlainTextEdit* ocena;
    QPlainTextEdit* data;
    QPushButton* zapisz;
    QPushButton* anuluj;
    QPlainTextEdit* plik;
    // Made at the first showing, or by calendar() before it: no window needs it until then.
    TodayCalendar* date1 = nullptr;
    TodayCalendar* calendar();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void setDateText();
    QString saverPath() const;
    void saveThroughSaver(const QString& saver);
    void saveDirectly();
    void saveFinished(const std::optional<cyfrolia::SaveFailure>& failure);
    // While a save is under way the window shows it and holds still: the buttons off, the names
    // read-only, the busy pointer, and no closing.
    void setSaving(bool saving);

    QString m_folder;
    // The save under way, if any: its class and line, and how long it has waited for another.
    bool m_saving = false;
    QString m_class;
    QByteArray m_line; // as it will stand in the file
    int m_waitedMs = 0;
    // The date field's day, and the calendar's once it is made: a grade is dated today unless the
    // child picks another day.
    QDate m_date = QDate::currentDate();
};
