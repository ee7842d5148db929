#pragma once

#include "app/app_window.h"

// The grades viewer ("Oceny").
class Twyniki : public AppWindow {
    Q_OBJECT
public:
    explicit Twyniki(QWidget* parent = nullptr);
};

extern Twyniki* wyniki;
