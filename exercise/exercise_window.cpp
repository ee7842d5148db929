#include "exercise/exercise_window.h"

#include "common/accessibility.h"
#include "common/crisp.h"
#include "common/error_dialog.h"
#include "common/picture_button.h"
#include "common/style.h"
#include "exercise/pictures.h"
#include "exercise/time_bar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QShortcut>
#include <QTimer>
#include <chrono>

using namespace style;

using accessibility::hideFromScreenReaders;
using accessibility::nameWithCaption;
using cyfrolia::Operation;

namespace {

// The operator as a screen reader should say it in Polish.
QString spokenOperator(Operation op) {
    switch (op) {
    case Operation::Addition:
        return QStringLiteral("plus");
    case Operation::Subtraction:
        return QStringLiteral("minus");
    case Operation::Multiplication:
        return QStringLiteral("razy");
    case Operation::Division:
        return QStringLiteral("podzielić przez");
    }
    return {};
}

const QString kGradeCaption = QStringLiteral("Ocena:");
const QString kRight = QStringLiteral("Dobrze");
const QString kWrong = QStringLiteral("Źle");

// When a key was pressed: the window system's own time of the event, which a busy program does not
// shift; where a platform gives none, the time it is handled.
std::int64_t keyTime(const QKeyEvent& key) {
    static const QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return key.timestamp() != 0 ? std::int64_t(key.timestamp()) : started.elapsed();
}

} // namespace

cyfrolia::RandomSource& programRandom() {
    static cyfrolia::Mt19937Source random;
    return random;
}

std::uint32_t clockSeed() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks) & 0xffffffffu);
}

ExerciseWindow::ExerciseWindow(const ExerciseLayout& layout, cyfrolia::RandomSource& random,
                               cyfrolia::Series::SeedSource seed, QWidget* parent)
    : AppWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_series(layout.operation, random, std::move(seed)) {
    // Named after the one instance: form2, Form3, Form5, Form6.
    setObjectName(layout.className.mid(1));
    setWindowTitle(layout.caption);
    setWindowIcon(exercise_pictures::windowIcon(layout.operation));
    // Modal over the main menu only, so the save-result window beside it stays usable.
    setWindowModality(Qt::WindowModal);
    setAutoFillBackground(true);
    setColour(this, QPalette::Window, kSkyBlue);
    setColour(this, QPalette::Base, kSkyBlue);
    setFont(pixelFont(kSans, 11));
    resize(kClientSize);

    createControls(layout);
    createTimers();
    showSeries();
}

void ExerciseWindow::createControls(const ExerciseLayout& layout) {
    createProblemLine(layout);
    createCounters();
    createButtons();
    createAnswerField(layout);
    createWelcomeText(layout);
    createSummaryPanel(layout);

    addMnemonic(start, Qt::Key_S);
    addMnemonic(Image2, Qt::Key_W);
    addMnemonic(Image1, Qt::Key_O);
    addMnemonic(m_save, Qt::Key_Z);
    // Screen readers hear the problem line as one sentence on liczba1 and each count named with
    // its caption, so the other parts and the captions would only repeat them.
    for (QWidget* repeated :
         {static_cast<QWidget*>(liczba2), static_cast<QWidget*>(rowna), static_cast<QWidget*>(Label3),
          static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label6), static_cast<QWidget*>(Label1)})
        hideFromScreenReaders(repeated);
    nameWithCaption(licznik, Label3->text());
    nameWithCaption(dobre, Label5->text());
    nameWithCaption(zle, Label6->text());
    nameWithCaption(ocena, kGradeCaption);
    m_announcer = new Announcer(this);

    // Windowed controls lie above what is drawn on the window's own surface.
    odp->raise();
    powitanie->raise();
    podsumowanie->raise();
}

void ExerciseWindow::createProblemLine(const ExerciseLayout& layout) {
    const QFont big = pixelFont(kRounded, 80, true);
    const QColor text = palette().color(QPalette::WindowText);

    liczba1 = makeLabel(this, QStringLiteral("liczba1"), QStringLiteral("33"), big, kNavy,
                        QRect(layout.liczba1, QSize(113, 81)), Qt::AlignHCenter | Qt::AlignTop);
    liczba2 = makeLabel(this, QStringLiteral("liczba2"), QStringLiteral("5"), big, text,
                        QRect(layout.liczba2, QSize(129, 81)), Qt::AlignHCenter | Qt::AlignTop);
    rowna = makeLabel(this, QStringLiteral("rowna"), QStringLiteral("="), big, text,
                      QRect(layout.rowna, QSize(105, 81)), Qt::AlignHCenter | Qt::AlignTop);

    pasek = new TimeBar(this);
    pasek->setGeometry(24, 144, 593, 17);
    pasek->setFont(pixelFont(kSans, 13));
    pasek->setCursor(Qt::ArrowCursor);
}

void ExerciseWindow::createCounters() {
    const QColor text = palette().color(QPalette::WindowText);

    dobre = makeLabel(this, QStringLiteral("dobre"), QStringLiteral("0"), pixelFont(kSans, 32), kGreen,
                      QRect(200, 272, 49, 41), Qt::AlignHCenter | Qt::AlignTop);
    zle = makeLabel(this, QStringLiteral("zle"), QStringLiteral("0"), pixelFont(kSans, 32), kRed,
                    QRect(384, 272, 49, 41), Qt::AlignHCenter | Qt::AlignTop);
    Label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Pozostało:"),
                       pixelFont(kSans, 19, true), text, QRect(264, 168, 101, 24));
    fitToText(Label3);
    licznik = makeLabel(this, QStringLiteral("licznik"), QStringLiteral("50"), pixelFont(kRounded, 32, true),
                        text, QRect(296, 192, 38, 37));
    fitToText(licznik);
    Label5 = makeLabel(this, QStringLiteral("Label5"), QStringLiteral("Dobre:"), pixelFont(kSans, 19), kGreen,
                       QRect(200, 240, 57, 24));
    fitToText(Label5);
    Label6 = makeLabel(this, QStringLiteral("Label6"), QStringLiteral("Złe:"), pixelFont(kSans, 19), kRed,
                       QRect(392, 240, 36, 24));
    fitToText(Label6);
}

void ExerciseWindow::createButtons() {
    // The pictures are drawn for the screen's scale when they are first shown.
    start = new PictureButton(QStringLiteral("start"), QStringLiteral("START"), QSize(104, 38),
                              exercise_pictures::startButton, this);
    start->move(264, 280);
    connect(start, &PictureButton::clicked, this, &ExerciseWindow::startClick);
    Image2 = new PictureButton(QStringLiteral("Image2"), QStringLiteral("WSTECZ"), QSize(141, 37),
                               exercise_pictures::backButton, this);
    Image2->move(488, 288);
    connect(Image2, &PictureButton::clicked, this, &ExerciseWindow::Image2Click);
}

void ExerciseWindow::createAnswerField(const ExerciseLayout& layout) {
    const QFont big = pixelFont(kRounded, 80, true);

    odp = new QLineEdit(this);
    odp->setObjectName(QStringLiteral("odp"));
    odp->setAccessibleName(QStringLiteral("Odpowiedź"));
    odp->setGeometry(QRect(layout.odp, QSize(121, 101)));
    odp->setFont(big);
    odp->setFrame(false);
    odp->setMaxLength(cyfrolia::Series::kMaxAnswerLength);
    odp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    odp->setTextMargins(0, 0, 0, 0);
    odp->installEventFilter(this);
    connect(odp, &QLineEdit::textChanged, this, [this](const QString& typed) { m_series.setAnswer(typed); });
}

void ExerciseWindow::createWelcomeText(const ExerciseLayout& layout) {
    powitanie = new QPlainTextEdit(this);
    powitanie->setObjectName(QStringLiteral("powitanie"));
    powitanie->setGeometry(QRect(layout.powitanie, QSize(561, 89)));
    powitanie->setFont(pixelFont(kSans, 32));
    powitanie->setFrameShape(QFrame::NoFrame);
    powitanie->setReadOnly(true);
    powitanie->setFocusPolicy(Qt::NoFocus);
    powitanie->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    powitanie->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    powitanie->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    powitanie->document()->setDocumentMargin(0);
    powitanie->setPlainText(
        QStringLiteral("Aby rozpocząć wciśnij przycisk START\nAby wrócić do menu wciśnij WSTECZ."));
}

void ExerciseWindow::createSummaryPanel(const ExerciseLayout& layout) {
    const QColor text = palette().color(QPalette::WindowText);

    podsumowanie = new QWidget(this);
    podsumowanie->setObjectName(QStringLiteral("podsumowanie"));
    podsumowanie->setGeometry(8, 8, 625, 325);
    podsumowanie->setAutoFillBackground(true);
    Label1 = makeLabel(podsumowanie, QStringLiteral("Label1"), QStringLiteral("OCENA:"),
                       pixelFont(kRounded, 35, true), text, QRect(240, 24, 140, 40));
    fitToText(Label1);
    ocena = makeLabel(podsumowanie, QStringLiteral("ocena"), QStringLiteral("0"),
                      pixelFont(kRounded, 96, true), text, QRect(280, 96, 57, 111));
    fitToText(ocena);
    Image1 = new PictureButton(QStringLiteral("Image1"), QStringLiteral("Od nowa"), QSize(142, 37),
                               exercise_pictures::againButton, podsumowanie);
    Image1->move(layout.again);
    connect(Image1, &PictureButton::clicked, this, &ExerciseWindow::Image1Click);
    m_save = new PictureButton(
        layout.saveName, QStringLiteral("Zapisz swój wynik"), exercise_pictures::kSaveButtonSize,
        [](qreal ratio) {
            QPixmap picture = exercise_pictures::saveButton(ratio);
            reportSavePictureFailure();
            return picture;
        },
        podsumowanie);
    m_save->move(layout.save);
}

void ExerciseWindow::addMnemonic(PictureButton* button, Qt::Key letter) {
    // A shortcut of a hidden picture is not active; one under the summary panel is turned away.
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | letter), button);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, button] {
        if (childAt(button->mapTo(this, button->rect().center())) == button)
            emit button->clicked();
    });
}

void ExerciseWindow::reportSavePictureFailure() {
    // The drawn stand-in keeps the button usable; the failure is told once for all four
    // windows, once the picture is first shown, in the general error dialog.
    static bool reported = false;
    const QString failure = exercise_pictures::saveButtonFailure();
    if (failure.isEmpty() || reported)
        return;
    reported = true;
    QTimer::singleShot(0, qApp, [failure] { showErrorDialog(failure); });
}

void ExerciseWindow::setOperatorControl(QLabel* control) {
    m_operator = control;
    m_operator->lower();
    hideFromScreenReaders(m_operator);
    showSeries();
}

QLabel* ExerciseWindow::addOperatorLabel(const QString& text, const QRect& geometry, bool sizedToText) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("plus"));
    label->setFont(pixelFont(kRounded, 80, true));
    label->setGeometry(geometry);
    if (sizedToText)
        fitToText(label);
    else
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setOperatorControl(label);
    return label;
}

QLabel* ExerciseWindow::addOperatorPicture(const QSize& size, crisp::Drawing picture, const QPoint& at) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Image3"));
    label->setGeometry(QRect(at, size));
    crisp::setPicture(label, std::move(picture));
    label->setCursor(Qt::ArrowCursor);
    setOperatorControl(label);
    return label;
}

void ExerciseWindow::createTimers() {
    Timer1 = new SeriesTimer(QStringLiteral("Timer1"), m_series.Timer1, this);
    Timer2 = new SeriesTimer(QStringLiteral("Timer2"), m_series.Timer2, this);
    Timer3 = new SeriesTimer(QStringLiteral("Timer3"), m_series.Timer3, this);
    Timer4 = new SeriesTimer(QStringLiteral("Timer4"), m_series.Timer4, this);
    connect(Timer1, &SeriesTimer::timeout, this, &ExerciseWindow::Timer1Timer);
    connect(Timer2, &SeriesTimer::timeout, this, &ExerciseWindow::Timer2Timer);
    connect(Timer3, &SeriesTimer::timeout, this, &ExerciseWindow::Timer3Timer);
    connect(Timer4, &SeriesTimer::timeout, this, &ExerciseWindow::Timer4Timer);
}

void ExerciseWindow::showSeries() {
    const cyfrolia::Series& s = m_series;
    liczba1->setText(QString::number(s.operands().left));
    liczba2->setText(QString::number(s.operands().right));
    licznik->setText(QString::number(s.remaining()));
    fitToText(licznik);
    dobre->setText(QString::number(s.rightCount()));
    zle->setText(QString::number(s.wrongCount()));
    ocena->setText(s.grade());
    fitToText(ocena);
    pasek->setValue(s.bar());
    if (odp->text() != s.answer())
        odp->setText(s.answer());
    // Every change of the name is an event on the accessibility bus.
    if (liczba1->accessibleName() != problemSentence())
        liczba1->setAccessibleName(problemSentence());

    const bool problem = s.problemVisible();
    liczba1->setVisible(problem);
    liczba2->setVisible(problem);
    rowna->setVisible(problem);
    pasek->setVisible(problem);
    if (m_operator)
        m_operator->setVisible(problem);
    odp->setVisible(s.answerVisible());
    // Qt leaves the focus on a hidden field when nothing else can take it, and keys would still
    // reach it; a hidden field has lost the focus, so further keys reach no field.
    if (!odp->isVisibleTo(this) && odp->hasFocus())
        odp->clearFocus();
    powitanie->setVisible(s.welcomeVisible());
    start->setVisible(s.startVisible());
    podsumowanie->setVisible(s.summaryVisible());

    Timer1->sync(s.armed(s.Timer1));
    Timer2->sync(s.armed(s.Timer2));
    Timer3->sync(s.armed(s.Timer3));
    Timer4->sync(s.armed(s.Timer4));

    noteJudgement();
    // The end of a series is told as the grade, and so is a judgement beneath the summary; the focus
    // stays in the covered answer field.
    if (s.summaryVisible() && (!m_summaryAnnounced || !m_verdict.isEmpty()))
        announce(kGradeCaption + QLatin1Char(' ') + ocena->text());
    m_summaryAnnounced = s.summaryVisible();
}

// A judgement is heard, never seen: its word waits for what is told next, the next problem or the
// grade, so that a screen reader says both and the one does not cut the other short.
void ExerciseWindow::noteJudgement() {
    const cyfrolia::Series& s = m_series;
    if (s.rightCount() > m_rightSeen)
        m_verdict = kRight;
    else if (s.wrongCount() > m_wrongSeen)
        m_verdict = kWrong;
    else if (s.rightCount() < m_rightSeen || s.wrongCount() < m_wrongSeen)
        m_verdict.clear(); // a fresh series
    m_rightSeen = s.rightCount();
    m_wrongSeen = s.wrongCount();
}

void ExerciseWindow::announce(const QString& message) {
    m_announcer->announce(m_verdict.isEmpty() ? message : m_verdict + QStringLiteral(". ") + message);
    m_verdict.clear();
}

// The welcome as it is spoken: its lines as sentences.
QString ExerciseWindow::welcomeSpoken() const {
    QStringList sentences = powitanie->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& sentence : sentences)
        if (!sentence.endsWith(QLatin1Char('.')))
            sentence += QLatin1Char('.');
    return sentences.join(QLatin1Char(' '));
}

QString ExerciseWindow::problemSentence() const {
    return liczba1->text() + QLatin1Char(' ') + spokenOperator(m_series.operation()) + QLatin1Char(' ') +
           liczba2->text() + QStringLiteral(" równa się");
}

void ExerciseWindow::startClick() {
    m_series.startClick();
    showSeries();
    odp->setFocus(Qt::OtherFocusReason);
}

void ExerciseWindow::Timer1Timer() {
    const int before = m_series.remaining();
    m_series.Timer1Timer();
    showSeries();
    // A problem the child is to answer is read out while the focus stays in the answer field;
    // the 50th, closed at once, and draws beneath the summary are not.
    const cyfrolia::Series& s = m_series;
    if (s.remaining() != before && s.remaining() > 0 && s.problemVisible() && !s.summaryVisible())
        announce(problemSentence());
}

void ExerciseWindow::Timer2Timer() {
    m_series.Timer2Timer();
    showSeries();
}

void ExerciseWindow::Timer3Timer() {
    m_series.Timer3Timer();
    showSeries();
}

void ExerciseWindow::Timer4Timer() {
    m_series.Timer4Timer();
    showSeries();
}

void ExerciseWindow::odpKeyDown(int key, std::int64_t at, bool autoRepeat) {
    if (key != 13)
        return;
    m_series.odpEnter(at, autoRepeat);
    showSeries();
}

void ExerciseWindow::Image1Click() {
    m_series.Image1Click();
    showSeries();
}

void ExerciseWindow::welcomeReset() {
    m_series.welcomeReset();
    showSeries();
}

void ExerciseWindow::setPace(int milliseconds) {
    m_series.setPace(milliseconds);
}

void ExerciseWindow::Image2Click() {
    close();
}

void ExerciseWindow::closingReset() {
    m_series.closingReset();
    showSeries();
}

void ExerciseWindow::open(const QString& schoolClass) {
    if (schoolClass.isEmpty())
        emit classNeeded();
    showModal();
    closingReset();
}

void ExerciseWindow::saveClick() {
    emit saveRequested(ocena->text());
}

bool ExerciseWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto isEnter = [](const QKeyEvent* key) {
        return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    };
    if (watched == odp && event->type() == QEvent::KeyRelease && isEnter(static_cast<QKeyEvent*>(event)))
        m_enterReleased = {static_cast<QKeyEvent*>(event)->key(),
                           static_cast<QKeyEvent*>(event)->timestamp()};
    if (watched == odp && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Return and the keypad's Enter are both key code 13, whatever the modifiers; the
        // key goes on to the field afterwards. An X server repeats a held key as a release and a
        // press of the same moment, which Qt does not always tell from a new press.
        if (isEnter(key)) {
            const bool repeated =
                key->isAutoRepeat() || (key->timestamp() != 0 && key->key() == m_enterReleased.key &&
                                        key->timestamp() == m_enterReleased.at);
            odpKeyDown(13, keyTime(*key), repeated);
        }
        // Alt with a letter is a picture's mnemonic, or nothing; never typing.
        if ((key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) == Qt::AltModifier &&
            !key->text().isEmpty() && key->text().at(0).isPrint())
            return true;
    }
    return AppWindow::eventFilter(watched, event);
}

// Labels sized to their text keep their top-left corner, as laid out. They are measured from the
// first showing on: measuring loads a typeface, and a window never shown needs none of its own.
void ExerciseWindow::fitToText(QLabel* label) {
    if (m_measured)
        label->adjustSize();
    else if (!m_fitted.contains(label))
        m_fitted.append(label);
}

void ExerciseWindow::showEvent(QShowEvent* event) {
    if (!m_measured) {
        m_measured = true;
        for (QLabel* label : std::as_const(m_fitted))
            label->adjustSize();
        m_fitted.clear();
    }
    if (!event->spontaneous()) {
        centreOnScreen();
        m_welcomePending = m_series.welcomeVisible();
    }
    AppWindow::showEvent(event);
}

// A screen reader first says the window it has come to; the welcome follows, so it is not cut short.
void ExerciseWindow::changeEvent(QEvent* event) {
    AppWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_welcomePending) {
        m_welcomePending = false;
        if (m_series.welcomeVisible())
            m_announcer->announce(welcomeSpoken());
    }
}
