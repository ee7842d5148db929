#include "shell/tform7.h"

#include "common/accessibility.h"
#include "common/crisp.h"
#include "common/style.h"
#include "shell/shell_pictures.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

using namespace style;

Tform7* form7 = nullptr;

namespace {

// Arrow keys move the check inside the group: Qt clicks the next button and only then gives it
// the focus, so the focus has to be handed on once more after the key has been handled.
class ClassRadioButton : public QRadioButton {
public:
    ClassRadioButton(const QString& text, QWidget* parent, Tform7* chooser)
        : QRadioButton(text, parent), m_chooser(chooser) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        QRadioButton::keyPressEvent(event);
        QWidget* focused = window()->focusWidget();
        auto* radio = qobject_cast<QRadioButton*>(focused);
        if (radio && radio != this && radio->isChecked())
            m_chooser->RadioButton1Click();
    }

private:
    Tform7* m_chooser;
};

struct ClassRow {
    const char* text;
    int additionAndSubtraction;
    int multiplicationAndDivision;
};

constexpr ClassRow kClassTable[] = {
    {"I", 300, 250}, {"II", 275, 225}, {"III", 250, 200}, {"IV", 200, 150}, {"V", 150, 125}, {"VI", 100, 100},
};

} // namespace

Tform7::Tform7(QWidget* parent)
    : AppWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("form7"));
    setWindowTitle(QStringLiteral("Poziom"));
    setOuterSize(462, 281);
    move(150, 180);
    setFont(pixelFont(kSans, 11));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    white.setColor(QPalette::ButtonText, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);

    tlo = new QLabel(this);
    tlo->setObjectName(QStringLiteral("tlo"));
    tlo->setGeometry(7, 8, 441, 233);
    tlo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    crisp::setPicture(tlo, shell_pictures::squaredPaper);
    // The question is handwritten in the picture; screen readers read it as the window's text.
    accessibility::readAsText(tlo, QStringLiteral("Zaznacz klasę do której chodzisz:"));

    RadioButton1 = createRadio("RadioButton1", QStringLiteral("I klasa"), 64, 64, 73);
    RadioButton2 = createRadio("RadioButton2", QStringLiteral("II klasa"), 64, 104, 81);
    RadioButton3 = createRadio("RadioButton3", QStringLiteral("III klasa"), 64, 144, 89);
    RadioButton4 = createRadio("RadioButton4", QStringLiteral("IV klasa"), 256, 64, 89);
    RadioButton5 = createRadio("RadioButton5", QStringLiteral("V klasa"), 256, 104, 81);
    RadioButton6 = createRadio("RadioButton6", QStringLiteral("VI klasa"), 256, 144, 89);
    RadioButton1->setChecked(true);

    BitBtn1 = new QPushButton(QStringLiteral("O&K"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("OK"));
    BitBtn1->setGeometry(168, 184, 81, 25);
    BitBtn1->setFont(pixelFont(kArial, 16));
    BitBtn1->setCursor(Qt::PointingHandCursor);
    // Not the default button: Enter on a radio button does nothing; only a focused OK
    // takes Enter (keyPressEvent).
    BitBtn1->setAutoDefault(false);
    BitBtn1->setDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &Tform7::BitBtn1Click);

    klasa = new QPlainTextEdit(this);
    klasa->setObjectName(QStringLiteral("klasa"));
    klasa->setGeometry(0, 0, 41, 25);
    klasa->hide();

    setTabOrder(RadioButton1, RadioButton2);
    setTabOrder(RadioButton2, RadioButton3);
    setTabOrder(RadioButton3, RadioButton4);
    setTabOrder(RadioButton4, RadioButton5);
    setTabOrder(RadioButton5, RadioButton6);
    setTabOrder(RadioButton6, BitBtn1);
    setTabOrder(BitBtn1, klasa);
    keepCheckedTabStop();
}

QRadioButton* Tform7::createRadio(const char* name, const QString& text, int left, int top, int width) {
    auto* radio = new ClassRadioButton(text, this, this);
    radio->setObjectName(QLatin1String(name));
    radio->setAccessibleName(text);
    radio->setFont(pixelFont(kArial, 19));
    QPalette white = radio->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    white.setColor(QPalette::Button, Qt::white);
    radio->setBackgroundRole(QPalette::Window);
    radio->setPalette(white);
    radio->setAutoFillBackground(true);
    radio->setGeometry(left, top, width, 25);
    connect(radio, &QRadioButton::clicked, this, &Tform7::RadioButton1Click);
    connect(radio, &QRadioButton::toggled, this, &Tform7::keepCheckedTabStop);
    return radio;
}

// This style's indicator is wider than the one the layout was measured with; the text must not be
// clipped, so a button grows to its text if it needs to. Measured at the first showing: measuring
// loads the typeface, which nothing needs before.
void Tform7::showEvent(QShowEvent* event) {
    if (!m_sized) {
        m_sized = true;
        for (QRadioButton* radio :
             {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5, RadioButton6})
            radio->resize(std::max(radio->width(), radio->sizeHint().width()), radio->height());
    }
    AppWindow::showEvent(event);
}

// Tab reaches the group through its checked button only; the arrows move within it.
void Tform7::keepCheckedTabStop() {
    for (QRadioButton* radio :
         {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5, RadioButton6}) {
        if (radio)
            radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void Tform7::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == BitBtn1 && !event->isAutoRepeat()) {
        BitBtn1->click();
        return;
    }
    AppWindow::keyPressEvent(event);
}

void Tform7::RadioButton1Click() {
    BitBtn1->setFocus(Qt::OtherFocusReason);
}

void Tform7::BitBtn1Click() {
    const QRadioButton* radios[] = {RadioButton1, RadioButton2, RadioButton3,
                                    RadioButton4, RadioButton5, RadioButton6};
    for (int i = 0; i < 6; ++i) {
        if (!radios[i]->isChecked())
            continue;
        const ClassRow& row = kClassTable[i];
        klasa->setPlainText(QString::fromLatin1(row.text));
        emit classChosen(klasa->toPlainText(), row.additionAndSubtraction, row.multiplicationAndDivision);
        break;
    }
    form7->close();
}
