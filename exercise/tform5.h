#pragma once

#include "common/windows.h"

#include "exercise/exercise_window.h"

class PictureButton;

// The subtraction ("Odejmowanie") window.
class TForm5 : public ExerciseWindow {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    TForm5(cyfrolia::RandomSource& random, cyfrolia::Series::SeedSource seed, QWidget* parent = nullptr);

    void Image4Click();

    QLabel* Image3; // the operator picture
    PictureButton* Image4;
};
