#include "exercise/tform6.h"

#include "common/picture_button.h"
#include "exercise/pictures.h"

TForm6* Form6 = nullptr;

static ExerciseLayout layoutOfTForm6() {
    ExerciseLayout layout{cyfrolia::Operation::Division, QStringLiteral("TForm6"),
                          QStringLiteral("Dzielenie")};
    layout.saveName = QStringLiteral("Image4");
    layout.liczba1 = QPoint(32, 16);
    layout.liczba2 = QPoint(240, 16);
    layout.rowna = QPoint(376, 16);
    layout.odp = QPoint(488, 16);
    layout.powitanie = QPoint(48, 24);
    layout.again = QPoint(240, 208);
    layout.save = QPoint(192, 256);
    return layout;
}

TForm6::TForm6(QWidget* parent) : TForm6(programRandom(), clockSeed, parent) {}

TForm6::TForm6(cyfrolia::RandomSource& random, cyfrolia::Series::SeedSource seed, QWidget* parent)
    : ExerciseWindow(layoutOfTForm6(), random, std::move(seed), parent) {
    Image3 = addOperatorPicture(QSize(49, 43), exercise_pictures::divisionSign, QPoint(168, 40));
    Image4 = saveButton();
    connect(Image4, &PictureButton::clicked, this, &TForm6::Image4Click);
}

void TForm6::Image4Click() {
    saveClick();
}
