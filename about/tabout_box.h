#pragma once

#include "app/app_window.h"

// The About window.
class TAboutBox : public AppWindow {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

extern TAboutBox* AboutBox;
