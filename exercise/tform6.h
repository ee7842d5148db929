#pragma once

#include "common/windows.h"

#include "exercise/exercise_window.h"

class PictureButton;

// The division ("Dzielenie") window.
class TForm6 : public ExerciseWindow {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
    TForm6(cyfrolia::RandomSource& random, cyfrolia::Series::SeedSource seed, QWidget* parent = nullptr);

    void Image4Click();

    QLabel* Image3; // the operator picture
    PictureButton* Image4;
};
