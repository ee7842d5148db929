#pragma once

#include "app/app_window.h"

#include <QPlainTextEdit>

// The class chooser ("Poziom").
class Tform7 : public AppWindow {
    Q_OBJECT
public:
    explicit Tform7(QWidget* parent = nullptr);

    // Hidden; its lines hold the chosen class, empty until the first OK.
    QPlainTextEdit* klasa;
};

extern Tform7* form7;
