#pragma once

#include "common/windows.h"

#include "common/app_window.h"

#include <QPlainTextEdit>

class QLabel;
class QPushButton;
class QRadioButton;

// The class chooser ("Poziom"): the school class sets the pace of the four exercise windows.
class Tform7 : public AppWindow {
    Q_OBJECT
public:
    explicit Tform7(QWidget* parent = nullptr);

    // Shared by all six radio buttons: hands the focus to OK so Enter or Space confirms.
    void RadioButton1Click();
    // OK: applies the checked row of the class table, then closes.
    void BitBtn1Click();

    // The chosen class, "I" to "VI", or empty while none has been chosen.
    QString schoolClass() const { return klasa->toPlainText(); }

    QLabel* tlo = nullptr;
    // Hidden; its lines hold the chosen class, empty until the first OK.
    QPlainTextEdit* klasa = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QPushButton* BitBtn1 = nullptr;

signals:
    // OK: the class and the pace it sets, in milliseconds, for addition and subtraction and for
    // multiplication and division.
    void classChosen(const QString& schoolClass, int additionAndSubtraction, int multiplicationAndDivision);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_sized = false;
    QRadioButton* createRadio(const char* name, const QString& text, int left, int top, int width);
    void keepCheckedTabStop();
};
