#include "exercise/tform3.h"

#include "common/crisp.h"
#include "common/picture_button.h"
#include "exercise/pictures.h"
#include "exercise/time_bar.h"

TForm3* Form3 = nullptr;

static ExerciseLayout layoutOfTForm3() {
    ExerciseLayout layout{cyfrolia::Operation::Multiplication, QStringLiteral("TForm3"),
                          QStringLiteral("Mnożenie")};
    layout.saveName = QStringLiteral("Image3");
    return layout;
}

TForm3::TForm3(QWidget* parent) : TForm3(programRandom(), clockSeed, parent) {}

TForm3::TForm3(cyfrolia::RandomSource& random, cyfrolia::Series::SeedSource seed, QWidget* parent)
    : ExerciseWindow(layoutOfTForm3(), random, std::move(seed), parent) {
    plus = addOperatorLabel(QStringLiteral("x"), QRect(136, 16, 105, 81), false);
    // Drawn for the screen's scale once the bar is first shown.
    crisp::whenShown(pasek,
                     [bar = pasek](qreal ratio) { bar->setCursor(exercise_pictures::sqlWaitCursor(ratio)); });
    Image3 = saveButton();
    connect(Image3, &PictureButton::clicked, this, &TForm3::Image3Click);
    FormCreate();
}

void TForm3::FormCreate() {
    welcomeReset();
}

void TForm3::Image3Click() {
    saveClick();
}
