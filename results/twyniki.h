#pragma once

#include "common/windows.h"

#include "common/app_window.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <array>

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

    // True while long files are still flowing into their boxes after a showing.
    bool isLoading() const;

public:
    void setVisible(bool visible) override;

protected:
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void reportFailures();
    void fillSome();

    // A file's bytes, line breaks normalised, and how many of them have reached its box.
    struct Pending {
        QByteArray bytes;
        qsizetype done = 0;
    };
    std::array<Pending, 6> m_pending;
    QTimer* m_filler;

    QString m_folder;
    bool m_placed = false;
    QStringList m_failures;
};
