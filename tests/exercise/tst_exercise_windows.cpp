#include "common/accessibility.h"
#include "common/picture_button.h"
#include "common/style.h"
#include "exercise/pictures.h"
#include "exercise/tform2.h"
#include "exercise/tform3.h"
#include "exercise/tform5.h"
#include "exercise/tform6.h"
#include "exercise/time_bar.h"
#include "support/scripted_random.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <cmath>
#include <memory>

using cyfrolia::Operation;
using cyfrolia::testing::ScriptedRandom;

namespace {

// 7 + 8, 8 - 7, 7 x 8 and 56 : 7 with the scripted draws.
QString expectedAnswer(Operation op) {
    switch (op) {
    case Operation::Addition:
        return QStringLiteral("15");
    case Operation::Subtraction:
        return QStringLiteral("1");
    case Operation::Multiplication:
        return QStringLiteral("56");
    case Operation::Division:
        return QStringLiteral("8");
    }
    return {};
}

std::unique_ptr<ExerciseWindow> makeWindow(Operation op, cyfrolia::RandomSource& random) {
    const auto seed = [] { return 1u; };
    switch (op) {
    case Operation::Addition:
        return std::make_unique<Tform2>(random, seed);
    case Operation::Subtraction:
        return std::make_unique<TForm5>(random, seed);
    case Operation::Multiplication:
        return std::make_unique<TForm3>(random, seed);
    case Operation::Division:
        return std::make_unique<TForm6>(random, seed);
    }
    return nullptr;
}

// Shows the window as the active one, where keys and shortcuts reach it.
bool showActive(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

void addWindowRows() {
    QTest::addColumn<Operation>("op");
    QTest::newRow("form2") << Operation::Addition;
    QTest::newRow("Form5") << Operation::Subtraction;
    QTest::newRow("Form3") << Operation::Multiplication;
    QTest::newRow("Form6") << Operation::Division;
}

QString saveName(Operation op) {
    return op == Operation::Addition || op == Operation::Multiplication ? QStringLiteral("Image3")
                                                                        : QStringLiteral("Image4");
}

// An Enter pressed a second after the one before, as the window system times it: never a bounce.
void pressEnter(QWidget* target, Qt::Key key = Qt::Key_Return, Qt::KeyboardModifiers modifiers = {}) {
    static ulong at = 1'000'000;
    at += 1000;
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers, QStringLiteral("\r"));
        event.setTimestamp(at);
        QApplication::sendEvent(target, &event);
    }
}

// Draws, answers with Enter and draws again until the 50th problem is on screen, then lets
// the end watcher close the series.
void runToSummary(ExerciseWindow& w) {
    w.startClick();
    for (int i = 0; i < 60; ++i) {
        w.Timer1Timer();
        if (w.licznik->text() == QLatin1String("0"))
            break;
        pressEnter(w.odp);
    }
    w.Timer4Timer();
}

// Types any text, Polish letters included, one key at a time.
void typeText(QWidget* field, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A problem as a screen reader says it; by default the one of the scripted draws.
QString spokenProblem(Operation op, int left = 0, int right = 0) {
    const bool scripted = left == 0;
    switch (op) {
    case Operation::Addition:
        return scripted ? spokenProblem(op, 7, 8)
                        : QStringLiteral("%1 plus %2 równa się").arg(left).arg(right);
    case Operation::Subtraction:
        return scripted ? spokenProblem(op, 8, 7)
                        : QStringLiteral("%1 minus %2 równa się").arg(left).arg(right);
    case Operation::Multiplication:
        return scripted ? spokenProblem(op, 7, 8)
                        : QStringLiteral("%1 razy %2 równa się").arg(left).arg(right);
    case Operation::Division:
        return scripted ? spokenProblem(op, 56, 7)
                        : QStringLiteral("%1 podzielić przez %2 równa się").arg(left).arg(right);
    }
    return {};
}

bool coveredByPanel(ExerciseWindow& w, const QPoint& point) {
    for (QWidget* hit = w.childAt(point); hit; hit = hit->parentWidget())
        if (hit == w.podsumowanie)
            return true;
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestExerciseWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void names_data() { addWindowRows(); }
    void names();
    void geometry_data();
    void geometry();
    void looks_data();
    void looks();
    void polishLetters_data();
    void polishLetters();
    void welcomeTextHasItsTwoLines_data() { addWindowRows(); }
    void welcomeTextHasItsTwoLines();

    void visibility_data();
    void visibility();
    void timersFollowTheSeries_data() { addWindowRows(); }
    void timersFollowTheSeries();
    void closingResetDropsTheSeries_data() { addWindowRows(); }
    void closingResetDropsTheSeries();

    void enterJudges_data();
    void enterJudges();
    void heldEnterFromAnXServerJudgesOnce();
    void otherKeysEdit_data();
    void otherKeysEdit();
    void answerTakesTwoCharacters_data();
    void answerTakesTwoCharacters();

    void panelCoversTheWindow_data() { addWindowRows(); }
    void panelCoversTheWindow();
    void welcomeTextCoversTheProblemLine_data() { addWindowRows(); }
    void welcomeTextCoversTheProblemLine();
    void enterBeneathThePanel_data() { addWindowRows(); }
    void enterBeneathThePanel();

    void backClosesTheWindow_data() { addWindowRows(); }
    void backClosesTheWindow();
    void mnemonicsPressWhatCanBeSeen_data() { addWindowRows(); }
    void mnemonicsPressWhatCanBeSeen();
    void timeBarLook_data();
    void timeBarLook();
    void pointers_data() { addWindowRows(); }
    void pointers();

    void buttonPictures_data();
    void buttonPictures();
    void operatorPictures();
    void icons_data();
    void icons();
    void sqlCursor();
    void savePictureFallsBack();

    void screenReaders_data() { addWindowRows(); }
    void screenReaders();
};

void TestExerciseWindows::initTestCase() {
    style::installFontSubstitutes();
    QCOMPARE(exercise_pictures::saveButtonFailure(), QString());
}

void TestExerciseWindows::names() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);

    const QString instance = QString::fromLatin1(QTest::currentDataTag());
    QCOMPARE(w->objectName(), instance);
    const QHash<QString, QString> captions{
        {"form2", "Dodawanie"}, {"Form5", "Odejmowanie"}, {"Form3", "Mnożenie"}, {"Form6", "Dzielenie"}};
    QCOMPARE(w->windowTitle(), captions.value(instance));
    QVERIFY(!w->windowIcon().isNull());

    const QStringList controls{"liczba1", "liczba2",   "rowna",        "pasek",  "dobre", "zle",
                               "Label3",  "licznik",   "Label5",       "Label6", "start", "Image2",
                               "odp",     "powitanie", "podsumowanie", "Label1", "ocena", "Image1"};
    for (const QString& name : controls)
        QVERIFY2(w->findChild<QWidget*>(name), qPrintable(name));
    for (const QString& name : {QStringLiteral("Timer1"), QStringLiteral("Timer2"), QStringLiteral("Timer3"),
                                QStringLiteral("Timer4")})
        QVERIFY2(w->findChild<SeriesTimer*>(name), qPrintable(name));

    const bool pictureOperator = op == Operation::Subtraction || op == Operation::Division;
    QCOMPARE(w->operatorControl()->objectName(),
             pictureOperator ? QStringLiteral("Image3") : QStringLiteral("plus"));
    // Pictures are drawn once they are shown.
    w->show();
    w->operatorControl()->show();
    QCOMPARE(w->operatorControl()->pixmap().isNull(), !pictureOperator);

    // Each picture button carries the word it shows.
    const QList<std::pair<QString, QString>> words{
        {"start", "START"}, {"Image2", "WSTECZ"}, {"Image1", "Od nowa"}, {saveName(op), "Zapisz swój wynik"}};
    for (const auto& [name, word] : words) {
        auto* button = w->findChild<PictureButton*>(name);
        QVERIFY2(button, qPrintable(name));
        QCOMPARE(button->accessibleName(), word);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(w->saveButton()->parentWidget(), w->podsumowanie);
    QCOMPARE(w->Image1->parentWidget(), w->podsumowanie);
}

void TestExerciseWindows::geometry_data() {
    QTest::addColumn<Operation>("op");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("sizedToText"); // then only the top-left corner is fixed

    struct Row {
        const char* name;
        QRect rect;
        bool sizedToText;
    };
    const QList<Row> common{
        {"pasek", {24, 144, 593, 17}, false},   {"dobre", {200, 272, 49, 41}, false},
        {"zle", {384, 272, 49, 41}, false},     {"Label3", {264, 168, 101, 24}, true},
        {"licznik", {296, 192, 38, 37}, true},  {"Label5", {200, 240, 57, 24}, true},
        {"Label6", {392, 240, 36, 24}, true},   {"start", {264, 280, 104, 38}, false},
        {"Image2", {488, 288, 141, 37}, false}, {"podsumowanie", {8, 8, 625, 325}, false},
        {"Label1", {240, 24, 140, 40}, true},   {"ocena", {280, 96, 57, 111}, true},
    };
    const QList<std::pair<Operation, const char*>> windows{{Operation::Addition, "form2"},
                                                           {Operation::Subtraction, "Form5"},
                                                           {Operation::Multiplication, "Form3"},
                                                           {Operation::Division, "Form6"}};
    for (const auto& [op, tag] : windows) {
        QList<Row> rows = common;
        if (op == Operation::Division) {
            rows += {{"liczba1", {32, 16, 113, 81}, false},   {"liczba2", {240, 16, 129, 81}, false},
                     {"rowna", {376, 16, 105, 81}, false},    {"odp", {488, 16, 121, 101}, false},
                     {"powitanie", {48, 24, 561, 89}, false}, {"Image1", {240, 208, 142, 37}, false},
                     {"Image4", {192, 256, 234, 38}, false},  {"Image3", {168, 40, 49, 43}, false}};
        } else {
            rows += {{"liczba1", {16, 16, 113, 81}, false},
                     {"liczba2", {248, 16, 129, 81}, false},
                     {"rowna", {384, 16, 105, 81}, false},
                     {"odp", {496, 16, 121, 101}, false},
                     {"Image1", {240, 224, 142, 37}, false}};
            rows.append(
                Row{op == Operation::Addition || op == Operation::Multiplication ? "Image3" : "Image4",
                    {192, 272, 234, 38},
                    false});
        }
        if (op == Operation::Addition)
            rows += {{"powitanie", {40, 24, 561, 89}, false}, {"plus", {160, 24, 47, 93}, true}};
        if (op == Operation::Multiplication)
            rows += {{"powitanie", {40, 24, 561, 89}, false}, {"plus", {136, 16, 105, 81}, false}};
        if (op == Operation::Subtraction)
            rows += {{"powitanie", {40, 16, 561, 89}, false}, {"Image3", {160, 56, 49, 12}, false}};
        for (const Row& row : rows) {
            QTest::addRow("%s %s", tag, row.name)
                << op << QString::fromLatin1(row.name) << row.rect << row.sizedToText;
        }
    }
}

void TestExerciseWindows::geometry() {
    QFETCH(Operation, op);
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(bool, sizedToText);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    w->show(); // labels are sized to their text from the first showing on

    // The client area leaves an even rim round the summary panel.
    QCOMPARE(w->size(), QSize(641, 341));
    QWidget* control = w->findChild<QWidget*>(name);
    QVERIFY(control);
    if (auto* label = qobject_cast<QLabel*>(control); label && sizedToText) {
        QCOMPARE(label->pos(), rect.topLeft());
        QCOMPARE(label->size(), label->sizeHint());
    } else {
        QCOMPARE(control->geometry(), rect);
    }
}

void TestExerciseWindows::looks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family"); // as resolved through the substitutes
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("colour");

    const QColor text = QApplication::palette().color(QPalette::WindowText);
    const QString rounded = QStringLiteral("Quicksand");
    const QString sans = QStringLiteral("Liberation Sans");
    QTest::newRow("liczba1") << "liczba1" << rounded << 80 << true << QColor(0, 0, 128);
    QTest::newRow("liczba2") << "liczba2" << rounded << 80 << true << text;
    QTest::newRow("plus") << "plus" << rounded << 80 << true << text;
    QTest::newRow("rowna") << "rowna" << rounded << 80 << true << text;
    QTest::newRow("odp") << "odp" << rounded << 80 << true << text;
    QTest::newRow("pasek") << "pasek" << sans << 13 << false << text;
    QTest::newRow("dobre") << "dobre" << sans << 32 << false << QColor(0, 128, 0);
    QTest::newRow("zle") << "zle" << sans << 32 << false << QColor(255, 0, 0);
    QTest::newRow("Label3") << "Label3" << sans << 19 << true << text;
    QTest::newRow("licznik") << "licznik" << rounded << 32 << true << text;
    QTest::newRow("Label5") << "Label5" << sans << 19 << false << QColor(0, 128, 0);
    QTest::newRow("Label6") << "Label6" << sans << 19 << false << QColor(255, 0, 0);
    QTest::newRow("powitanie") << "powitanie" << sans << 32 << false << text;
    QTest::newRow("Label1") << "Label1" << rounded << 35 << true << text;
    QTest::newRow("ocena") << "ocena" << rounded << 96 << true << text;
}

void TestExerciseWindows::looks() {
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFETCH(QColor, colour);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    Tform2 w(random, [] { return 1u; });

    auto* control = w.findChild<QWidget*>(name);
    QVERIFY(control);
    const QFontInfo info(control->font());
    QCOMPARE(info.family(), family);
    QCOMPARE(control->font().pixelSize(), pixels);
    QCOMPARE(control->font().bold(), bold);
    const QPalette::ColorRole role = qobject_cast<QLabel*>(control) ? QPalette::WindowText : QPalette::Text;
    if (name != QLatin1String("pasek"))
        QCOMPARE(control->palette().color(role), colour);

    // The answer field and the welcome text lie on the window's sky blue.
    const QColor skyBlue(166, 202, 240);
    QCOMPARE(w.palette().color(QPalette::Window), skyBlue);
    QCOMPARE(w.odp->palette().color(QPalette::Base), skyBlue);
    QVERIFY(!w.odp->hasFrame());
    QCOMPARE(w.powitanie->viewport()->palette().color(QPalette::Base), skyBlue);
    QCOMPARE(w.podsumowanie->palette().color(QPalette::Window), skyBlue);
}

void TestExerciseWindows::polishLetters_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"Label3", "Label6", "powitanie", "Label1", "odp"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestExerciseWindows::polishLetters() {
    QFETCH(QString, name);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    Tform2 w(random, [] { return 1u; });
    const QFontMetrics metrics(w.findChild<QWidget*>(name)->font());
    for (const QChar letter : QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ"))
        QVERIFY2(metrics.inFont(letter), qPrintable(QString(letter)));
}

void TestExerciseWindows::welcomeTextHasItsTwoLines() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    QTextDocument* document = w->powitanie->document();
    QCOMPARE(document->blockCount(), 2);
    QCOMPARE(document->firstBlock().text(), QStringLiteral("Aby rozpocząć wciśnij przycisk START"));
    QCOMPARE(document->lastBlock().text(), QStringLiteral("Aby wrócić do menu wciśnij WSTECZ."));
    // Neither line wraps, and nothing scrolls.
    QCOMPARE(document->firstBlock().layout()->lineCount(), 1);
    QCOMPARE(document->lastBlock().layout()->lineCount(), 1);
    QVERIFY(w->powitanie->isReadOnly());
    QCOMPARE(w->powitanie->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(w->powitanie->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(w->powitanie->frameShape(), QFrame::NoFrame);
}

void TestExerciseWindows::visibility_data() {
    QTest::addColumn<Operation>("op");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("problem");
    QTest::addColumn<bool>("welcome");
    QTest::addColumn<bool>("start");
    QTest::addColumn<bool>("panel");
    for (const auto& [op, tag] :
         QList<std::pair<Operation, const char*>>{{Operation::Addition, "form2"},
                                                  {Operation::Subtraction, "Form5"},
                                                  {Operation::Multiplication, "Form3"},
                                                  {Operation::Division, "Form6"}}) {
        QTest::addRow("%s welcome", tag) << op << "welcome" << false << true << true << false;
        QTest::addRow("%s drawing", tag) << op << "drawing" << true << false << false << false;
        QTest::addRow("%s answering", tag) << op << "answering" << true << false << false << false;
        QTest::addRow("%s summary", tag) << op << "summary" << true << false << false << true;
        QTest::addRow("%s again", tag) << op << "again" << false << true << true << false;
    }
}

void TestExerciseWindows::visibility() {
    QFETCH(Operation, op);
    QFETCH(QString, state);
    QFETCH(bool, problem);
    QFETCH(bool, welcome);
    QFETCH(bool, start);
    QFETCH(bool, panel);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    if (state == QLatin1String("drawing")) {
        w->startClick();
    } else if (state == QLatin1String("answering")) {
        w->startClick();
        w->Timer1Timer();
        w->Timer2Timer();
    } else if (state == QLatin1String("summary")) {
        runToSummary(*w);
    } else if (state == QLatin1String("again")) {
        runToSummary(*w);
        QTest::mouseClick(w->Image1, Qt::LeftButton);
    }

    for (QWidget* control : {static_cast<QWidget*>(w->liczba1), static_cast<QWidget*>(w->liczba2),
                             static_cast<QWidget*>(w->rowna), static_cast<QWidget*>(w->pasek),
                             static_cast<QWidget*>(w->odp), static_cast<QWidget*>(w->operatorControl())})
        QVERIFY2(control->isVisible() == problem, qPrintable(control->objectName()));
    QCOMPARE(w->powitanie->isVisible(), welcome);
    QCOMPARE(w->start->isVisible(), start);
    QCOMPARE(w->podsumowanie->isVisible(), panel);
    // Never hidden by the flow; beneath the panel they are only covered.
    for (QWidget* control :
         {static_cast<QWidget*>(w->dobre), static_cast<QWidget*>(w->zle), static_cast<QWidget*>(w->licznik),
          static_cast<QWidget*>(w->Label3), static_cast<QWidget*>(w->Label5),
          static_cast<QWidget*>(w->Label6), static_cast<QWidget*>(w->Image2)})
        QVERIFY2(control->isVisible(), qPrintable(control->objectName()));
    if (state == QLatin1String("again"))
        QCOMPARE(w->licznik->text(), QStringLiteral("50"));
}

void TestExerciseWindows::timersFollowTheSeries() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    // Nothing wakes up while the window waits.
    QVERIFY(!w->Timer1->isArmed() && !w->Timer2->isArmed() && !w->Timer3->isArmed() && !w->Timer4->isArmed());
    QVERIFY(w->Timer4->isActive());

    w->startClick();
    QVERIFY(w->Timer1->isArmed());
    QVERIFY(w->Timer1->isActive());
    w->Timer1Timer();
    QVERIFY(!w->Timer1->isArmed());
    QVERIFY(w->Timer2->isArmed());
    QCOMPARE(w->licznik->text(), QStringLiteral("49"));
    QCOMPARE(random.reseeds, 1);

    // Bar full with an empty field: the pause timer takes over.
    const int ticks = op == Operation::Multiplication || op == Operation::Division ? 34 : 50;
    for (int i = 0; i < ticks; ++i)
        w->Timer2Timer();
    QCOMPARE(w->pasek->value(), 100);
    QVERIFY(!w->Timer2->isArmed());
    QVERIFY(w->Timer3->isArmed());
    w->Timer3Timer();
    QCOMPARE(w->zle->text(), QStringLiteral("1"));
    QVERIFY(!w->Timer3->isArmed());
    QVERIFY(w->Timer1->isArmed());
}

void TestExerciseWindows::closingResetDropsTheSeries() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    w->startClick();
    w->Timer1Timer();
    pressEnter(w->odp);
    w->Timer1Timer();
    w->closingReset();

    QCOMPARE(w->licznik->text(), QStringLiteral("50"));
    QCOMPARE(w->dobre->text(), QStringLiteral("0"));
    QCOMPARE(w->zle->text(), QStringLiteral("0"));
    QCOMPARE(w->pasek->value(), 0);
    QVERIFY(w->powitanie->isVisibleTo(w.get()));
    QVERIFY(w->start->isVisibleTo(w.get()));
    QVERIFY(!w->odp->isVisibleTo(w.get()));
    QVERIFY(!w->Timer1->isArmed() && !w->Timer2->isArmed() && !w->Timer3->isArmed());
}

void TestExerciseWindows::enterJudges_data() {
    QTest::addColumn<Operation>("op");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    const QList<std::pair<const char*, int>> keys{{"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}};
    const QList<std::pair<const char*, int>> modifiers{
        {"plain", Qt::NoModifier},
        {"Shift", Qt::ShiftModifier},
        {"Ctrl", Qt::ControlModifier},
        {"Alt", Qt::AltModifier},
        {"keypad", Qt::KeypadModifier},
        {"Shift+Ctrl+Alt", Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier}};
    for (const auto& [keyName, key] : keys)
        for (const auto& [modifierName, modifier] : modifiers)
            QTest::addRow("form2 %s %s", keyName, modifierName) << Operation::Addition << key << modifier;
    QTest::newRow("Form5 Return") << Operation::Subtraction << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("Form3 Enter") << Operation::Multiplication << int(Qt::Key_Enter)
                                 << int(Qt::KeypadModifier);
    QTest::newRow("Form6 Ctrl+Return")
        << Operation::Division << int(Qt::Key_Return) << int(Qt::ControlModifier);
}

void TestExerciseWindows::enterJudges() {
    QFETCH(Operation, op);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    w->startClick();
    w->Timer1Timer();
    QSignalSpy reachedField(w->odp, &QLineEdit::returnPressed);

    QTest::keyClicks(w->odp, expectedAnswer(op));
    QTest::keyClick(w->odp, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(w->dobre->text(), QStringLiteral("1"));
    QCOMPARE(w->zle->text(), QStringLiteral("0"));
    QCOMPARE(w->odp->text(), QString());
    QCOMPARE(w->series().answer(), QString());
    QVERIFY(w->Timer1->isArmed());
    // The key is not swallowed on its way to the field.
    QCOMPARE(reachedField.count(), 1);

    // A second Enter right after it, on the emptied field, is the same press bouncing; one a
    // second later judges the empty field against the same problem.
    QTest::keyClick(w->odp, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(w->zle->text(), QStringLiteral("0"));
    pressEnter(w->odp, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(w->dobre->text(), QStringLiteral("1"));
    QCOMPARE(w->zle->text(), QStringLiteral("1"));
}

// An X server without detectable auto-repeat repeats a held key as a release and a press of the same
// moment, and Qt does not always mark the press as a repeat.
void TestExerciseWindows::heldEnterFromAnXServerJudgesOnce() {
    ScriptedRandom random{7, 8};
    Tform2 w(random, [] { return 1u; });
    w.startClick();
    w.Timer1Timer();
    const auto send = [&w](QEvent::Type type, ulong at) {
        QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        event.setTimestamp(at);
        QApplication::sendEvent(w.odp, &event);
    };
    send(QEvent::KeyPress, 5000); // held down on the empty field: a deliberate wrong answer
    w.Timer1Timer();
    for (ulong repeat = 5500; repeat < 6500; repeat += 33) {
        send(QEvent::KeyRelease, repeat);
        send(QEvent::KeyPress, repeat);
    }
    QCOMPARE(w.zle->text(), QStringLiteral("1"));
    send(QEvent::KeyRelease, 6600);
    send(QEvent::KeyPress, 7000); // pressed again: a new press, long after
    QCOMPARE(w.zle->text(), QStringLiteral("2"));
}

void TestExerciseWindows::otherKeysEdit_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    QTest::newRow("digit") << int(Qt::Key_7) << "7";
    QTest::newRow("letter") << int(Qt::Key_A) << "a";
    QTest::newRow("space") << int(Qt::Key_Space) << " ";
    QTest::newRow("escape") << int(Qt::Key_Escape) << "";
    QTest::newRow("tab") << int(Qt::Key_Tab) << "";
}

void TestExerciseWindows::otherKeysEdit() {
    QFETCH(int, key);
    QFETCH(QString, typed);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    Tform2 w(random, [] { return 1u; });
    w.startClick();
    w.Timer1Timer();
    QTest::keyClick(w.odp, Qt::Key(key));
    QCOMPARE(w.odp->text(), typed);
    QCOMPARE(w.series().answer(), typed);
    QCOMPARE(w.dobre->text(), QStringLiteral("0"));
    QCOMPARE(w.zle->text(), QStringLiteral("0"));
    QVERIFY(w.Timer2->isArmed());
}

void TestExerciseWindows::answerTakesTwoCharacters_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("digits") << "123"
                            << "12";
    QTest::newRow("letters") << "abc"
                             << "ab";
    QTest::newRow("Polish letters") << "żółw"
                                    << "żó";
    QTest::newRow("spaces") << " 7 "
                            << " 7";
    QTest::newRow("sign") << "-5x"
                          << "-5";
    QTest::newRow("one") << "9"
                         << "9";
}

void TestExerciseWindows::answerTakesTwoCharacters() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    for (Operation op :
         {Operation::Addition, Operation::Subtraction, Operation::Multiplication, Operation::Division}) {
        auto w = makeWindow(op, random);
        w->startClick();
        typeText(w->odp, typed);
        QCOMPARE(w->odp->text(), kept);
        QCOMPARE(w->series().answer(), kept);
        QCOMPARE(w->odp->maxLength(), 2);
    }
}

void TestExerciseWindows::panelCoversTheWindow() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    runToSummary(*w);
    QCOMPARE(w->dobre->text().toInt() + w->zle->text().toInt(), 49);
    QCOMPARE(w->licznik->text(), QStringLiteral("0"));

    for (QWidget* covered :
         {static_cast<QWidget*>(w->start), static_cast<QWidget*>(w->Image2), static_cast<QWidget*>(w->dobre),
          static_cast<QWidget*>(w->zle), static_cast<QWidget*>(w->licznik), static_cast<QWidget*>(w->Label3),
          static_cast<QWidget*>(w->Label5), static_cast<QWidget*>(w->Label6),
          static_cast<QWidget*>(w->liczba1), static_cast<QWidget*>(w->odp), static_cast<QWidget*>(w->pasek),
          static_cast<QWidget*>(w->operatorControl())})
        QVERIFY2(coveredByPanel(*w, covered->geometry().center()), qPrintable(covered->objectName()));
    // The panel's own controls show and take the clicks.
    for (QWidget* own : {static_cast<QWidget*>(w->Image1), static_cast<QWidget*>(w->saveButton()),
                         static_cast<QWidget*>(w->ocena), static_cast<QWidget*>(w->Label1)})
        QCOMPARE(w->childAt(w->podsumowanie->mapTo(w.get(), own->geometry().center())), own);

    // A click where WSTECZ lies does not close the window.
    QTest::mouseClick(w->podsumowanie, Qt::LeftButton, {},
                      w->podsumowanie->mapFrom(w.get(), w->Image2->geometry().center()));
    QVERIFY(w->isVisible());
}

void TestExerciseWindows::welcomeTextCoversTheProblemLine() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QCOMPARE(w->childAt(w->start->geometry().center()), w->start);
    QCOMPARE(w->childAt(w->Image2->geometry().center()), w->Image2);
    QCOMPARE(w->childAt(w->liczba1->geometry().center()), w->powitanie->viewport());
    QCOMPARE(w->childAt(w->liczba2->geometry().center()), w->powitanie->viewport());

    // Once the series runs the windowed answer field lies above the labels.
    w->startClick();
    QCOMPARE(w->childAt(w->odp->geometry().center()), w->odp);
    QCOMPARE(w->childAt(w->pasek->geometry().center()), w->pasek);
}

void TestExerciseWindows::enterBeneathThePanel() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    QVERIFY(showActive(w.get()));
    runToSummary(*w);
    QCOMPARE(QApplication::focusWidget(), w->odp);
    const int wrong = w->zle->text().toInt();

    // Real key routing: the Enter goes to whatever has the focus.
    QTest::keyClick(w->windowHandle(), Qt::Key_Return);
    w->Timer4Timer();
    QCOMPARE(w->zle->text().toInt(), wrong + 1);
    QVERIFY(w->podsumowanie->isVisible());

    if (op == Operation::Division) {
        // The first Enter there hides the field; further keys reach no field.
        QVERIFY(!w->odp->isVisible());
        QVERIFY(QApplication::focusWidget() != w->odp);
        QTest::keyClick(w->windowHandle(), Qt::Key_Return);
        w->Timer4Timer();
        QCOMPARE(w->zle->text().toInt(), wrong + 1);
    } else {
        QCOMPARE(QApplication::focusWidget(), w->odp);
        // Typing still reaches the covered field, and a right answer raises the grade's count.
        for (const QChar digit : expectedAnswer(op))
            QTest::keyClick(w->windowHandle(), digit.toLatin1());
        QCOMPARE(w->odp->text(), expectedAnswer(op));
        const int right = w->dobre->text().toInt();
        QTest::keyClick(w->windowHandle(), Qt::Key_Enter, Qt::KeypadModifier);
        w->Timer4Timer();
        QCOMPARE(w->dobre->text().toInt(), right + 1);
        QCOMPARE(w->zle->text().toInt(), wrong + 1);
        QCOMPARE(w->ocena->text(), cyfrolia::gradeFor(right + 1));
        QCOMPARE(QApplication::focusWidget(), w->odp);
    }
    QVERIFY(!w->Timer1->isArmed() && !w->Timer2->isArmed() && !w->Timer3->isArmed());

    // Again: the field is hidden with the problem line, so an Enter judges nothing.
    QTest::mouseClick(w->Image1, Qt::LeftButton);
    QVERIFY(QApplication::focusWidget() != w->odp);
    QTest::keyClick(w->windowHandle(), Qt::Key_Return);
    QCOMPARE(w->zle->text(), QStringLiteral("0"));
    QCOMPARE(w->dobre->text(), QStringLiteral("0"));
    QVERIFY(!w->Timer1->isArmed());

    // START gives the field the focus again.
    QTest::mouseClick(w->start, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), w->odp);
}

void TestExerciseWindows::mnemonicsPressWhatCanBeSeen() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // never a rejected division draw
    auto w = makeWindow(op, random);
    QVERIFY(showActive(w.get()));
    const auto alt = [&w](Qt::Key key) { QTest::keyClick(w->windowHandle(), key, Qt::AltModifier); };

    alt(Qt::Key_S); // START
    QVERIFY(!w->start->isVisible());
    QCOMPARE(QApplication::focusWidget(), w->odp);
    w->Timer1Timer();
    // START is gone now: Alt+S neither presses it nor types into the answer field.
    alt(Qt::Key_S);
    QCOMPARE(w->odp->text(), QString());

    runToSummary(*w);
    alt(Qt::Key_W); // WSTECZ lies under the summary panel
    QVERIFY(w->isVisible());
    alt(Qt::Key_O); // "Od nowa"
    QVERIFY(!w->podsumowanie->isVisible());
    QVERIFY(w->start->isVisible());
    alt(Qt::Key_W);
    QVERIFY(!w->isVisible());
}

void TestExerciseWindows::backClosesTheWindow() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QTest::mouseClick(w->start, Qt::LeftButton);
    QVERIFY(!w->start->isVisible());
    w->Timer1Timer();
    QTest::mouseClick(w->Image2, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    // Only a press and release on the button itself counts.
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QTest::mousePress(w->Image2, Qt::LeftButton);
    QTest::mouseRelease(w->Image2, Qt::LeftButton, {}, QPoint(-5, -5));
    QVERIFY(w->isVisible());
}

void TestExerciseWindows::timeBarLook_data() {
    QTest::addColumn<int>("value");
    QTest::newRow("empty") << 0;
    QTest::newRow("42") << 42;
    QTest::newRow("full") << 100;
    QTest::newRow("clamped") << 130;
}

void TestExerciseWindows::timeBarLook() {
    QFETCH(int, value);
    TimeBar bar(nullptr);
    bar.resize(593, 17);
    bar.setFont(style::pixelFont(QStringLiteral("MS Sans Serif"), 13));
    bar.setValue(value);
    const int shown = std::clamp(value, 0, 100);
    QCOMPARE(bar.value(), shown);
    const QImage image = bar.grab().toImage();

    const QColor red(255, 0, 0);
    const QColor green(0, 128, 0);
    const QColor border = bar.palette().color(QPalette::WindowText);
    QCOMPARE(image.pixelColor(0, 8), border);
    QCOMPARE(image.pixelColor(592, 8), border);
    QCOMPARE(image.pixelColor(300, 0), border);
    // Red grows from the left, green is what is left; away from the centred percentage.
    const int inner = 591;
    const int filled = inner * shown / 100;
    if (filled > 2)
        QCOMPARE(image.pixelColor(2, 8), red);
    if (filled < inner - 2)
        QCOMPARE(image.pixelColor(590, 8), green);
    // The percentage is there, and its strongest ink stands out from the part beneath it as
    // readable text must (a contrast of at least 4.5:1).
    const auto luminance = [](const QColor& c) {
        const auto linear = [](qreal v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const auto contrast = [&](const QColor& a, const QColor& b) {
        const qreal la = luminance(a), lb = luminance(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    };
    qreal strongest = 0;
    for (int x = 250; x < 343; ++x) {
        const QColor beneath = x - 1 < filled ? red : green;
        for (int y = 2; y < 15; ++y)
            strongest = std::max(strongest, contrast(image.pixelColor(x, y), beneath));
    }
    QVERIFY2(strongest >= 4.5, qPrintable(QString::number(strongest)));
}

void TestExerciseWindows::pointers() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    // The SQL pointer is drawn once the bar is first shown.
    w->show();
    w->pasek->show();
    if (op == Operation::Multiplication) {
        QCOMPARE(w->pasek->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(w->pasek->cursor().pixmap().size(), QSize(32, 32));
    } else {
        QCOMPARE(w->pasek->cursor().shape(), Qt::ArrowCursor);
    }
    QCOMPARE(w->operatorControl()->cursor().shape(), Qt::ArrowCursor);
    // The SQL pointer is the time bar's alone.
    for (QWidget* other : {static_cast<QWidget*>(w.get()), static_cast<QWidget*>(w->liczba1),
                           static_cast<QWidget*>(w->licznik), static_cast<QWidget*>(w->podsumowanie)})
        QCOMPARE(other->cursor().shape(), Qt::ArrowCursor);
    for (QWidget* button : {static_cast<QWidget*>(w->start), static_cast<QWidget*>(w->Image2),
                            static_cast<QWidget*>(w->Image1), static_cast<QWidget*>(w->saveButton())})
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
}

void TestExerciseWindows::buttonPictures_data() {
    QTest::addColumn<QPixmap>("picture");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("bottomFace"); // the face just above the lower edge
    QTest::addColumn<QColor>("lowerEdge");
    QTest::newRow("START") << exercise_pictures::startButton() << QSize(104, 38) << QColor(30, 140, 247)
                           << QColor(Qt::black);
    QTest::newRow("WSTECZ") << exercise_pictures::backButton() << QSize(141, 37) << QColor(30, 145, 255)
                            << QColor(3, 42, 81);
    QTest::newRow("Od nowa") << exercise_pictures::againButton() << QSize(142, 37) << QColor(30, 145, 255)
                             << QColor(3, 42, 81);
    QTest::newRow("Zapisz swój wynik")
        << exercise_pictures::saveButton() << QSize(234, 38) << QColor(30, 145, 255) << QColor(3, 42, 81);
}

void TestExerciseWindows::buttonPictures() {
    QFETCH(QPixmap, picture);
    QFETCH(QSize, size);
    QFETCH(QColor, bottomFace);
    QFETCH(QColor, lowerEdge);
    QCOMPARE(picture.size(), size);
    const QImage image = picture.toImage();
    const auto near = [](QColor a, QColor b) {
        return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 &&
               qAbs(a.blue() - b.blue()) < 24;
    };
    // Away from the word: light at the top, bright blue at the bottom, the edge beneath.
    const int x = 6;
    const QColor top = image.pixelColor(x, 2);
    QVERIFY2(top.red() > 200 && top.green() > 200 && top.blue() > 230, qPrintable(top.name()));
    int edgeRow = size.height() - 2;
    QVERIFY2(near(image.pixelColor(size.width() / 2, edgeRow), lowerEdge),
             qPrintable(image.pixelColor(size.width() / 2, edgeRow).name()));
    const QColor face = image.pixelColor(x, size.height() - 5);
    QVERIFY2(near(face, bottomFace), qPrintable(face.name()));
    // White letters in the middle.
    int white = 0;
    for (int column = 0; column < size.width(); ++column) {
        const QColor c = image.pixelColor(column, size.height() / 2);
        white += c.red() > 235 && c.green() > 235 && c.blue() > 235;
    }
    QVERIFY(white > 10);
}

void TestExerciseWindows::operatorPictures() {
    const QColor grey(192, 192, 192);
    const QColor skyBlue(166, 202, 240);
    const QImage minus = exercise_pictures::minusSign().toImage();
    QCOMPARE(minus.size(), QSize(49, 12));
    for (int y = 0; y < 12; ++y) {
        const bool bar = y >= 1 && y <= 9;
        QCOMPARE(minus.pixelColor(24, y), bar ? QColor(Qt::black) : grey);
    }
    QCOMPARE(minus.pixelColor(0, 0), grey);               // not transparent
    QVERIFY(minus.pixelColor(0, 1) != QColor(Qt::black)); // rounded ends

    const QImage division = exercise_pictures::divisionSign().toImage();
    QCOMPARE(division.size(), QSize(49, 43));
    const struct {
        int y;
        bool black;
    } column[] = {{0, true},  {10, true},  {11, false}, {16, false}, {17, true},
                  {25, true}, {26, false}, {31, false}, {32, true},  {42, true}};
    for (const auto& probe : column) {
        const QColor c = division.pixelColor(24, probe.y);
        QVERIFY2(probe.black ? c.lightness() < 60 : c == skyBlue, qPrintable(QString::number(probe.y)));
    }
    QCOMPARE(division.pixelColor(2, 2), skyBlue);
    QCOMPARE(division.pixelColor(2, 21), QColor(Qt::black));
    QVERIFY(division.pixelColor(0, 17) != QColor(Qt::black));
}

void TestExerciseWindows::icons_data() {
    QTest::addColumn<Operation>("op");
    QTest::addColumn<QList<QPoint>>("grey");
    QTest::addColumn<QList<QPoint>>("clear");
    QTest::newRow("plus") << Operation::Addition << QList<QPoint>{{1, 16}, {30, 16}, {16, 1}, {16, 30}}
                          << QList<QPoint>{{2, 2}, {29, 29}, {8, 8}};
    QTest::newRow("minus") << Operation::Subtraction << QList<QPoint>{{1, 16}, {30, 16}, {16, 15}}
                           << QList<QPoint>{{16, 2}, {16, 29}, {2, 2}};
    QTest::newRow("cross") << Operation::Multiplication
                           << QList<QPoint>{{2, 2}, {29, 29}, {29, 2}, {2, 29}, {16, 16}}
                           << QList<QPoint>{{16, 2}, {2, 16}, {16, 29}};
    QTest::newRow("division") << Operation::Division << QList<QPoint>{{1, 16}, {30, 16}, {16, 8}, {16, 24}}
                              << QList<QPoint>{{16, 2}, {16, 29}, {16, 12}, {2, 2}};
}

void TestExerciseWindows::icons() {
    QFETCH(Operation, op);
    QFETCH(QList<QPoint>, grey);
    QFETCH(QList<QPoint>, clear);
    const QImage icon = exercise_pictures::iconPixmap(op).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(icon.size(), QSize(32, 32));
    for (const QPoint& p : grey) {
        const QColor c = icon.pixelColor(p);
        QVERIFY2(c.alpha() > 200 && qAbs(c.red() - 192) < 8 && c.red() == c.green() && c.green() == c.blue(),
                 qPrintable(QStringLiteral("%1,%2 %3").arg(p.x()).arg(p.y()).arg(c.name(QColor::HexArgb))));
    }
    for (const QPoint& p : clear)
        QCOMPARE(icon.pixelColor(p).alpha(), 0);
}

void TestExerciseWindows::sqlCursor() {
    const QCursor cursor = exercise_pictures::sqlWaitCursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    QVERIFY(QRect(0, 0, 32, 32).contains(cursor.hotSpot()));
    // Letters in the lower third, dark ink with a light rim; the corners stay clear.
    int dark = 0;
    for (int y = 22; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            dark += image.pixelColor(x, y).alpha() > 200 && image.pixelColor(x, y).lightness() < 60;
    QVERIFY(dark > 15);
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(image.pixelColor(31, 31).alpha(), 0);
}

void TestExerciseWindows::savePictureFallsBack() {
    QString failure;
    const QPixmap decoded =
        exercise_pictures::saveButtonFrom(exercise_pictures::kSaveButtonResource, &failure);
    QCOMPARE(failure, QString());
    QCOMPARE(decoded.size(), QSize(234, 38));

    const QPixmap missing =
        exercise_pictures::saveButtonFrom(QStringLiteral(":/images/no_such_picture.jpg"), &failure);
    QVERIFY(!failure.isEmpty());
    QVERIFY(failure.contains(QStringLiteral("no_such_picture.jpg")));
    QCOMPARE(missing.size(), QSize(234, 38));
}

void TestExerciseWindows::screenReaders() {
    QFETCH(Operation, op);
    ScriptedRandom random{7, 8}; // 7 and 8 in turn: every problem is known
    auto w = makeWindow(op, random);
    QSignalSpy spy(w->announcer(), &Announcer::announced);
    const auto announced = [&spy] {
        QStringList messages;
        for (const QList<QVariant>& arguments : spy)
            messages << arguments.at(0).toString();
        return messages;
    };
    // Opened, the window greets the child once it has the keyboard.
    QVERIFY(showActive(w.get()));
    QCOMPARE(announced(),
             QStringList({"Aby rozpocząć wciśnij przycisk START. Aby wrócić do menu wciśnij WSTECZ."}));
    const auto read = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); };
    const auto name = [&](QWidget* widget) { return read(widget)->text(QAccessible::Name); };

    // Nothing internal is read aloud.
    for (QWidget* child : w->findChildren<QWidget*>())
        QVERIFY2(read(child)->text(QAccessible::Description).isEmpty(), qPrintable(child->objectName()));
    // The problem line is one sentence on liczba1, each count carries its caption; the rest of
    // the line and the captions are not read a second time.
    QCOMPARE(name(w->liczba1), spokenProblem(op, 33, 5));
    for (QWidget* repeated : {static_cast<QWidget*>(w->liczba2), static_cast<QWidget*>(w->rowna),
                              static_cast<QWidget*>(w->operatorControl()), static_cast<QWidget*>(w->Label3),
                              static_cast<QWidget*>(w->Label5), static_cast<QWidget*>(w->Label6),
                              static_cast<QWidget*>(w->Label1)})
        QVERIFY2(read(repeated)->state().invisible, qPrintable(repeated->objectName()));
    QCOMPARE(name(w->licznik), QStringLiteral("Pozostało: 50"));
    QCOMPARE(name(w->dobre), QStringLiteral("Dobre: 0"));
    QCOMPARE(name(w->zle), QStringLiteral("Złe: 0"));
    QCOMPARE(name(w->ocena), QStringLiteral("Ocena: 0"));
    QCOMPARE(read(w->licznik)->textInterface()->text(0, 2), QStringLiteral("50"));
    QCOMPARE(name(w->odp), QStringLiteral("Odpowiedź"));
    QCOMPARE(read(w->pasek)->role(), QAccessible::ProgressBar);

    // START pressed through its action starts the series; each problem the child is to answer
    // is announced while the focus stays in the answer field.
    // The action returns before the click, which the event loop makes right after.
    QAccessibleInterface* start = read(w->start);
    QCOMPARE(start->role(), QAccessible::Button);
    QCOMPARE(start->text(QAccessible::Name), QStringLiteral("START"));
    spy.clear();
    start->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(!w->odp->isVisible());
    QCoreApplication::processEvents();
    QVERIFY(w->odp->isVisible());
    w->Timer1Timer();
    QCOMPARE(name(w->liczba1), spokenProblem(op));
    QCOMPARE(name(w->licznik), QStringLiteral("Pozostało: 49"));
    // Each problem is told once, after the word on the answer before it; nothing of it shows.
    pressEnter(w->odp);
    w->Timer1Timer();
    QTest::keyClicks(w->odp, expectedAnswer(op));
    pressEnter(w->odp);
    w->Timer1Timer();
    QCOMPARE(announced(),
             QStringList({spokenProblem(op), "Źle. " + spokenProblem(op), "Dobrze. " + spokenProblem(op)}));
    QCOMPARE(QApplication::focusWidget(), w->odp);
    for (QWidget* told : w->announcer()->findChildren<QWidget*>())
        QVERIFY(!told->isVisible());
    w->Timer2Timer();
    // The bar reads as the time used; it has nothing to set, so no increase or decrease to offer.
    QAccessibleInterface* bar = read(w->pasek);
    QCOMPARE(bar->role(), QAccessible::ProgressBar);
    QCOMPARE(bar->textInterface()->text(0, 10), QString::number(cyfrolia::barStep(op)) + QLatin1Char('%'));
    QVERIFY(!bar->valueInterface());
    QVERIFY(!bar->actionInterface() || bar->actionInterface()->actionNames().isEmpty());

    // The 50th problem, closed at once, is not read out; the grade is, after the last word.
    runToSummary(*w);
    QCOMPARE(spy.size(), 49 + 1);
    QCOMPARE(announced().last(), QStringLiteral("Źle. Ocena: ") + w->ocena->text());
    // A press reaches only a button the mouse could reach: START lies beneath the panel.
    start->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    QVERIFY(w->podsumowanie->isVisible());
    QVERIFY(!w->Timer1->isActive());
}

QTEST_MAIN(TestExerciseWindows)
#include "tst_exercise_windows.moc"
