#pragma once

#include "common/windows.h"

#include "exercise/exercise_window.h"

class PictureButton;

// The addition ("Dodawanie") window.
class Tform2 : public ExerciseWindow {
    Q_OBJECT
public:
    explicit Tform2(QWidget* parent = nullptr);
    Tform2(cyfrolia::RandomSource& random, cyfrolia::Series::SeedSource seed, QWidget* parent = nullptr);

    void FormCreate();
    void Image3Click();

    QLabel* plus;
    PictureButton* Image3;
};
