#pragma once

#include "app/app_window.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>

// The grades viewer ("Oceny"): the six results files side by side, read afresh at every showing.
class Twyniki : public AppWindow {
    Q_OBJECT
public:
    explicit Twyniki(QWidget* parent = nullptr);

    // Handlers.
    void FormShow();
    void Button1Click();

    // Where the results files are; the program's folder unless a test says otherwise.
    void setResultsFolder(const QString& folder) { m_folder = folder; }
    QString resultsFolder() const;

    QGroupBox* klasa1;
    QGroupBox* klasa2;
    QGroupBox* klasa3;
    QGroupBox* klasa4;
    QGroupBox* klasa5;
    QGroupBox* klasa6;
    QPlainTextEdit* klasai;
    QPlainTextEdit* klasaii;
    QPlainTextEdit* klasaiii;
    QPlainTextEdit* klasaiv;
    QPlainTextEdit* klasav;
    QPlainTextEdit* klasavi;
    QPushButton* Button1;

    // The text box of each class, in the order I to VI.
    QPlainTextEdit* box(int index) const;

public:
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void reportFailures();

    QString m_folder;
    bool m_placed = false;
    QStringList m_failures;
};

extern Twyniki* wyniki;
