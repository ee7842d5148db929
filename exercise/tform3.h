#pragma once

#include "common/windows.h"

#include "exercise/exercise_window.h"

class PictureButton;

// The multiplication ("Mnożenie") window.
class TForm3 : public ExerciseWindow {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    TForm3(cyfrolia::RandomSource& random, cyfrolia::Series::SeedSource seed, QWidget* parent = nullptr);

    void FormCreate();
    void Image3Click();

    QLabel* plus;
    PictureButton* Image3;
};
