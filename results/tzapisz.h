#pragma once

#include "app/app_window.h"

// The save-result window ("Zapisz swój wynik:").
class Tzapisz : public AppWindow {
    Q_OBJECT
public:
    explicit Tzapisz(QWidget* parent = nullptr);
};

extern Tzapisz* zapisz;
