#include "exercise/tform2.h"

#include "common/picture_button.h"
#include "exercise/pictures.h"

Tform2* form2 = nullptr;

static ExerciseLayout layoutOfTform2() {
    ExerciseLayout layout{cyfrolia::Operation::Addition, QStringLiteral("Tform2"),
                          QStringLiteral("Dodawanie")};
    layout.saveName = QStringLiteral("Image3");
    return layout;
}

Tform2::Tform2(QWidget* parent) : Tform2(programRandom(), clockSeed, parent) {}

Tform2::Tform2(cyfrolia::RandomSource& random, cyfrolia::Series::SeedSource seed, QWidget* parent)
    : ExerciseWindow(layoutOfTform2(), random, std::move(seed), parent) {
    plus = addOperatorLabel(QStringLiteral("+"), QRect(160, 24, 47, 93), true);
    Image3 = saveButton();
    connect(Image3, &PictureButton::clicked, this, &Tform2::Image3Click);
    FormCreate();
}

void Tform2::FormCreate() {
    welcomeReset();
}

void Tform2::Image3Click() {
    saveClick();
}
