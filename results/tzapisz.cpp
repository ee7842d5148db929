#include "results/tzapisz.h"

#include "common/accessibility.h"
#include "common/cp1250.h"
#include "common/error_dialog.h"
#include "common/program_folder.h"
#include "common/results_file.h"
#include "common/results_line.h"
#include "common/style.h"
#include "results/name_validator.h"
#include "results/results_icon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QTextCharFormat>
#include <QTextOption>
#include <QTimer>

using namespace style;

Tzapisz* zapisz = nullptr;

namespace {

// The helper installed beside the program that alone may write the shared class files.
constexpr char kSaverName[] = "cyfrolia-zapis";
// A direct save that finds another under way tries again this often, for at most this long.
constexpr int kRetryMs = 20;
constexpr int kWaitMs = 10000;
constexpr QSize kCalendarSize{197, 153};

// Whether every short day name fits a calendar column of `column` pixels, the cell's margins
// taken off.
bool shortDayNamesFit(const QLocale& locale, const QFont& font, int column) {
    const QFontMetrics metrics(font);
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
        if (metrics.horizontalAdvance(locale.dayName(day, QLocale::ShortFormat)) > column - 6)
            return false;
    return true;
}

// Labels keep the system's text colour; only the window's own font is navy.
QLabel* makeCaption(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    return makeLabel(parent, name, text, pixelFont(kSans, 16),
                     QApplication::palette().color(QPalette::WindowText), geometry);
}

QLineEdit* makeNameField(QWidget* parent, const QString& name, const QString& accessible, int top) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setAccessibleName(accessible);
    field->setValidator(new NameValidator(int(cyfrolia::ResultsLine::kMaxNameLength), field));
    field->setGeometry(128, top, 137, 21);
    return field;
}

// The class, grade and date boxes: set by the program, read-only, centred, in the window's colour.
QPlainTextEdit* makeValueBox(QWidget* parent, const QString& name, const QString& accessible, int top) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setReadOnly(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->document()->setDocumentMargin(1);
    QTextOption option = box->document()->defaultTextOption();
    option.setAlignment(Qt::AlignHCenter);
    box->document()->setDefaultTextOption(option);
    setColour(box, QPalette::Base, parent->palette().color(QPalette::Window));
    box->setGeometry(128, top, 137, 21);
    return box;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text, const QString& accessible,
                        int top) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAccessibleName(accessible);
    button->setFont(pixelFont(kRavie, 16));
    setColour(button, QPalette::ButtonText, kNavy);
    button->setCursor(Qt::PointingHandCursor);
    // Enter and Esc never press them.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(32, top, 233, 25);
    return button;
}

} // namespace

void TodayCalendar::paintCell(QPainter* painter, const QRect& rect, QDate date) const {
    QCalendarWidget::paintCell(painter, rect, date);
    if (date != QDate::currentDate())
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(QColor(192, 0, 0), 1.5));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(rect).adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
    painter->restore();
}

Tzapisz::Tzapisz(QWidget* parent)
    : AppWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("zapisz"));
    setWindowTitle(QStringLiteral("Zapisz swój wynik:"));
    setWindowIcon(resultsWindowIcon());
    setColour(this, QPalette::WindowText, kNavy);
    setColour(this, QPalette::Text, kNavy);
    setFont(pixelFont(kSans, 11));
    setOuterSize(305, 468);
    move(257, 48);
    createControls();
    FormCreate();
}

void Tzapisz::createControls() {
    Label1 = makeCaption(this, QStringLiteral("Label1"), QStringLiteral("Imię:"), {32, 32, 36, 20});
    Label2 = makeCaption(this, QStringLiteral("Label2"), QStringLiteral("Nazwisko:"), {32, 64, 77, 20});
    Label4 = makeCaption(this, QStringLiteral("Label4"), QStringLiteral("Klasa:"), {32, 96, 47, 20});
    Label3 = makeCaption(this, QStringLiteral("Label3"), QStringLiteral("Ocena:"), {32, 128, 54, 20});
    Label5 = makeCaption(this, QStringLiteral("Label5"), QStringLiteral("Data:"), {32, 160, 41, 20});

    imie = makeNameField(this, QStringLiteral("imie"), QStringLiteral("Imię"), 32);
    nazwisko = makeNameField(this, QStringLiteral("nazwisko"), QStringLiteral("Nazwisko"), 64);
    klasa = makeValueBox(this, QStringLiteral("klasa"), QStringLiteral("Klasa"), 96);
    ocena = makeValueBox(this, QStringLiteral("ocena"), QStringLiteral("Ocena"), 128);
    data = makeValueBox(this, QStringLiteral("data"), QStringLiteral("Data"), 160);

    zapisz =
        makeButton(this, QStringLiteral("zapisz"), QStringLiteral("&Zapisz"), QStringLiteral("Zapisz"), 200);
    anuluj =
        makeButton(this, QStringLiteral("anuluj"), QStringLiteral("&Anuluj"), QStringLiteral("Anuluj"), 232);
    connect(zapisz, &QPushButton::clicked, this, &Tzapisz::zapiszClick);
    connect(anuluj, &QPushButton::clicked, this, &Tzapisz::anulujClick);

    // The work buffer of a save; never shown.
    plik = new QPlainTextEdit(this);
    plik->setObjectName(QStringLiteral("plik"));
    plik->setGeometry(8, 8, 281, 257);
    plik->hide();

    QWidget::setTabOrder(imie, nazwisko);
    QWidget::setTabOrder(nazwisko, klasa);
    QWidget::setTabOrder(klasa, zapisz);
    QWidget::setTabOrder(zapisz, anuluj);
    QWidget::setTabOrder(anuluj, ocena);
    QWidget::setTabOrder(ocena, data);
    QWidget::setTabOrder(data, plik);
}

TodayCalendar* Tzapisz::calendar() {
    if (date1)
        return date1;
    date1 = new TodayCalendar(this);
    date1->setObjectName(QStringLiteral("date1"));
    date1->setAccessibleName(QStringLiteral("Kalendarz"));
    date1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    date1->setSelectionMode(QCalendarWidget::SingleSelection);
    date1->setSelectedDate(m_date);
    // The whole month, both arrows and all seven columns stay inside the laid-out area in any
    // language: the day names in a smaller type than the dates, and as single letters where even
    // the short ones are too wide for a column ("niedz." in Polish).
    const QFont headerFont = pixelFont(kSans, 10);
    QTextCharFormat header = date1->headerTextFormat();
    header.setFont(headerFont, QTextCharFormat::FontPropertiesSpecifiedOnly);
    date1->setHeaderTextFormat(header);
    date1->setHorizontalHeaderFormat(shortDayNamesFit(date1->locale(), headerFont, kCalendarSize.width() / 7)
                                         ? QCalendarWidget::ShortDayNames
                                         : QCalendarWidget::SingleLetterDayNames);
    date1->setGeometry(QRect(QPoint(56, 272), kCalendarSize));
    // The date field follows the chosen day, by mouse or by keyboard.
    connect(date1, &QCalendarWidget::clicked, this, &Tzapisz::date1Click);
    connect(date1, &QCalendarWidget::selectionChanged, this, &Tzapisz::date1Click);

    QWidget::setTabOrder(plik, date1);
    accessibility::nameCalendarArrows(date1);
    date1->show();
    return date1;
}

void Tzapisz::showEvent(QShowEvent* event) {
    calendar();
    AppWindow::showEvent(event);
}

// A save under way ends before the window closes, and it closes only when the save went through.
void Tzapisz::closeEvent(QCloseEvent* event) {
    if (m_saving) {
        event->ignore();
        return;
    }
    AppWindow::closeEvent(event);
}

QString Tzapisz::resultsFolder() const {
    return m_folder.isEmpty() ? cyfrolia::programFolder() : m_folder;
}

void Tzapisz::setDateText() {
    data->setPlainText(cyfrolia::shortDateText(m_date));
}

void Tzapisz::FormCreate() {
    setDateText();
}

void Tzapisz::date1Click() {
    m_date = date1->selectedDate();
    setDateText();
}

void Tzapisz::zapiszClick() {
    if (imie->text().isEmpty() || nazwisko->text().isEmpty()) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Wpisz imię!!!"),
                        QStringLiteral("Wpisz swoje imię i nazwisko!!!"), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("nameCheck"));
        box.exec();
        imie->setFocus();
        return;
    }
    const QString schoolClass = klasa->toPlainText();
    if (!cyfrolia::isSchoolClass(schoolClass))
        return;
    // One save at a time; another click meanwhile is the same save.
    if (m_saving)
        return;
    auto bytes = [](const QString& text) { return cyfrolia::cp1250::encode(text).value_or(QByteArray()); };
    const QByteArray first = bytes(imie->text()), last = bytes(nazwisko->text()),
                     grade = bytes(ocena->toPlainText()), date = bytes(data->toPlainText());
    const auto line = cyfrolia::buildResultsLine(first.toStdString(), last.toStdString(), grade.toStdString(),
                                                 date.toStdString());
    if (!line) {
        const QString shown = resultsFolder() + cyfrolia::resultsFileName(schoolClass);
        showErrorDialog(
            cyfrolia::SaveFailure{cyfrolia::SaveFailure::Step::Create, cyfrolia::kRefusedLine, shown}
                .message(),
            this);
        return;
    }
    setSaving(true);
    m_class = schoolClass;
    m_line = QByteArray::fromStdString(*line);
    m_waitedMs = 0;
    if (const QString saver = saverPath(); !saver.isEmpty())
        saveThroughSaver(saver);
    else
        saveDirectly();
}

QString Tzapisz::saverPath() const {
    if (!m_folder.isEmpty())
        return {};
    const QFileInfo saver(cyfrolia::programFolder() + QLatin1String(kSaverName));
    return saver.isFile() && saver.isExecutable() ? saver.filePath() : QString();
}

// The installed program writes nothing itself: the helper saves while every window goes on.
void Tzapisz::saveThroughSaver(const QString& saver) {
    auto* process = new QProcess(this);
    const QString shown = resultsFolder() + cyfrolia::resultsFileName(m_class);
    auto broken = [shown] {
        return cyfrolia::SaveFailure{cyfrolia::SaveFailure::Step::Create, cyfrolia::kSaverBroken, shown};
    };
    connect(process, &QProcess::finished, this, [=, this](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status == QProcess::NormalExit && code == 0)
            return saveFinished(std::nullopt);
        const auto failure = status == QProcess::NormalExit && code == 1
                                 ? cyfrolia::SaveFailure::fromReport(process->readAllStandardOutput())
                                 : std::nullopt;
        saveFinished(failure ? *failure : broken());
    });
    connect(process, &QProcess::errorOccurred, this, [=, this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        saveFinished(broken());
    });
    process->start(saver, {m_class});
    process->write(m_line);
    process->closeWriteChannel();
}

// A copy with no helper beside it saves into its own files; a save that finds another under
// way is tried again from the event loop, so the windows never wait for it.
void Tzapisz::saveDirectly() {
    const auto failure =
        cyfrolia::ResultsFiles(resultsFolder()).save(m_class, m_line, cyfrolia::LockWait::TryOnce);
    if (failure && failure->error == cyfrolia::kAnotherSave && m_waitedMs < kWaitMs) {
        m_waitedMs += kRetryMs;
        QTimer::singleShot(kRetryMs, this, &Tzapisz::saveDirectly);
        return;
    }
    saveFinished(failure);
}

void Tzapisz::setSaving(bool saving) {
    if (saving == m_saving)
        return;
    m_saving = saving;
    zapisz->setEnabled(!saving);
    anuluj->setEnabled(!saving);
    imie->setReadOnly(saving);
    nazwisko->setReadOnly(saving);
    if (saving)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Tzapisz::saveFinished(const std::optional<cyfrolia::SaveFailure>& failure) {
    setSaving(false);
    if (failure) {
        // The window stays open with everything as it was, to try again or cancel.
        showErrorDialog(failure->message(), this);
        return;
    }
    close();
}

void Tzapisz::anulujClick() {
    close();
}

void Tzapisz::showResult(QWidget* owner, const QString& schoolClass, const QString& grade) {
    // Free of the exercise window's modality, so usable beside it, yet kept in front of it by
    // the window manager.
    setOwner(owner);
    show();
    raise();
    activateWindow();
    // A save under way keeps the window as it is; the picture is pressed again once it is done.
    if (m_saving)
        return;
    klasa->setPlainText(schoolClass);
    ocena->setPlainText(grade);
    imie->clear();
    nazwisko->clear();
    imie->setFocus();
}
