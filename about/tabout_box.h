#pragma once

#include "common/windows.h"

#include "common/app_window.h"

class QLabel;
class QPushButton;
class QWidget;
class TLink;

// The About window: the program's name and version, its authors and a link to its home page.
class TAboutBox : public AppWindow {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Handlers.
    void FormShow();
    void OKButtonClick();

    // The controls, named as the program knows them.
    QWidget* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright; // the author line
    QLabel* Comments;
    TLink* Link1;
    QLabel* Image6;
    QPushButton* OKButton;

    static constexpr int kClientWidth = 320;
    static constexpr int kClientHeight = 250;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void sizeLabelsToText();
    bool m_sized = false;
    void createPanelLabels();
    void createLink();
    void createAuthorPicture();
};
