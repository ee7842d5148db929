#pragma once

#include "common/app_window.h"
#include "common/crisp.h"
#include "exercise/series.h"
#include "exercise/series_timer.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPoint>

class Announcer;
class PictureButton;
class TimeBar;

// Where the four windows differ in layout and look.
struct ExerciseLayout {
    cyfrolia::Operation operation;
    QString className; // "Tform2", ...
    QString caption;   // "Dodawanie", ...
    QPoint liczba1{16, 16};
    QPoint liczba2{248, 16};
    QPoint rowna{384, 16};
    QPoint odp{496, 16};
    QPoint powitanie{40, 24};
    QPoint again{240, 224};
    QPoint save{192, 272};
    QString saveName; // "Image3" or "Image4"
};

// An exercise window: the controls of the layout bound to one series. Every tick, click and
// Enter calls the series operation of the same name and then shows the series' state.
class ExerciseWindow : public AppWindow {
    Q_OBJECT
public:
    ExerciseWindow(const ExerciseLayout& layout, cyfrolia::RandomSource& random,
                   cyfrolia::Series::SeedSource seed, QWidget* parent);

    cyfrolia::Series& series() { return m_series; }

    // Handlers.
    void startClick();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();
    // A key pressed in the answer field at `at` milliseconds of the key events' clock.
    void odpKeyDown(int key, std::int64_t at, bool autoRepeat = false);
    void Image1Click();
    void Image2Click();
    void closingReset();

    // Shows the window modally, asking for a school class first while `schoolClass` is empty, and
    // puts it back into its welcome state once it has closed.
    void open(const QString& schoolClass);

    // The class chooser's pace for this window, in milliseconds; the series knows which timer
    // it retunes.
    void setPace(int milliseconds);

signals:
    // Asks for the class chooser, shown modally; returns once it is closed.
    void classNeeded();
    // The summary's save button: the save-result window beside this one, with the grade.
    void saveRequested(const QString& grade);

public:
    // The controls, named as the program knows them.
    QLabel* liczba1;
    QLabel* liczba2;
    QLabel* rowna;
    TimeBar* pasek;
    QLabel* dobre;
    QLabel* zle;
    QLabel* Label3;
    QLabel* licznik;
    QLabel* Label5;
    QLabel* Label6;
    PictureButton* start;
    PictureButton* Image2;
    QLineEdit* odp;
    QPlainTextEdit* powitanie;
    QWidget* podsumowanie;
    QLabel* Label1;
    QLabel* ocena;
    PictureButton* Image1;

    SeriesTimer* Timer1;
    SeriesTimer* Timer2;
    SeriesTimer* Timer3;
    SeriesTimer* Timer4;

    // The operator control: label `plus` or picture `Image3`.
    QLabel* operatorControl() const { return m_operator; }
    // The save picture button of the summary panel: `Image3` or `Image4`.
    PictureButton* saveButton() const { return m_save; }

    // The problem on screen as one sentence, "33 plus 5 równa się": the problem line's name for
    // screen readers, announced to them at each draw.
    QString problemSentence() const;
    // Tells screen readers the welcome when the window opens, each new problem, then the grade, each
    // after the word on the answer before it ("Dobrze", "Źle").
    const Announcer* announcer() const { return m_announcer; }

    static constexpr QSize kClientSize{641, 341};

protected:
    // Opens the save-result window with this window's grade (the save button's handler).
    void saveClick();
    void welcomeReset();
    void setOperatorControl(QLabel* control);
    // The operator as a label in the problem line's big type, or as a picture.
    QLabel* addOperatorLabel(const QString& text, const QRect& geometry, bool sizedToText);
    QLabel* addOperatorPicture(const QSize& size, crisp::Drawing picture, const QPoint& at);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void fitToText(QLabel* label);

private:
    void createControls(const ExerciseLayout& layout);
    void createProblemLine(const ExerciseLayout& layout);
    void createCounters();
    void createButtons();
    void createAnswerField(const ExerciseLayout& layout);
    void createWelcomeText(const ExerciseLayout& layout);
    void createSummaryPanel(const ExerciseLayout& layout);
    void createTimers();
    // Alt+letter presses the picture while it can be seen.
    void addMnemonic(PictureButton* button, Qt::Key letter);
    static void reportSavePictureFailure();
    void showSeries();
    void noteJudgement();
    void announce(const QString& message);
    QString welcomeSpoken() const;

    cyfrolia::Series m_series;
    Announcer* m_announcer = nullptr;
    bool m_summaryAnnounced = false;
    bool m_welcomePending = false; // shown, to be greeted once it has the keyboard
    QString m_verdict;             // the word on the last answer, told with what comes next
    int m_rightSeen = 0;
    int m_wrongSeen = 0;
    struct {
        int key = 0;
        ulong at = 0;
    } m_enterReleased; // the last release of Return or Enter in the answer field, and its time
    QLabel* m_operator = nullptr;
    bool m_measured = false;
    QList<QLabel*> m_fitted; // to be sized to their text at the first showing
    PictureButton* m_save = nullptr;
};

// The program-wide generator and its seed: the low 32 bits of the monotonic clock.
cyfrolia::RandomSource& programRandom();
std::uint32_t clockSeed();
