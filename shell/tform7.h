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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRadioButton* createRadio(const char* name, const QString& text, int left, int top, int width);
    void keepCheckedTabStop();
};
