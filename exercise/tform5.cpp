#include "exercise/tform5.h"

#include "common/picture_button.h"
#include "exercise/pictures.h"

TForm5* Form5 = nullptr;

static ExerciseLayout layoutOfTForm5() {
    ExerciseLayout layout{cyfrolia::Operation::Subtraction, QStringLiteral("TForm5"),
                          QStringLiteral("Odejmowanie")};
    layout.saveName = QStringLiteral("Image4");
    layout.powitanie = QPoint(40, 16);
    return layout;
}

TForm5::TForm5(QWidget* parent) : TForm5(programRandom(), clockSeed, parent) {}

TForm5::TForm5(cyfrolia::RandomSource& random, cyfrolia::Series::SeedSource seed, QWidget* parent)
    : ExerciseWindow(layoutOfTForm5(), random, std::move(seed), parent) {
    Image3 = addOperatorPicture(QSize(49, 12), exercise_pictures::minusSign, QPoint(160, 56));
    Image4 = saveButton();
    connect(Image4, &PictureButton::clicked, this, &TForm5::Image4Click);
}

void TForm5::Image4Click() {
    saveClick();
}
