#include "exercise/tform2.h"
#include "exercise/tform3.h"
#include "exercise/tform5.h"
#include "exercise/tform6.h"

namespace {

// Asks for a school class first while none has been chosen, shows the window modally and puts
// it back into its welcome state once it has closed.
void openExercise(ExerciseWindow* window) {
    if (windows::schoolClass().isEmpty())
        windows::showClassChooser();
    window->showModal();
    window->closingReset();
}

} // namespace

void windows::openAddition() {
    openExercise(form2);
}

void windows::openSubtraction() {
    openExercise(Form5);
}

void windows::openMultiplication() {
    openExercise(Form3);
}

void windows::openDivision() {
    openExercise(Form6);
}

void windows::setPace(int additionAndSubtraction, int multiplicationAndDivision) {
    form2->setPace(additionAndSubtraction);
    Form5->setPace(additionAndSubtraction);
    Form3->setPace(multiplicationAndDivision);
    Form6->setPace(multiplicationAndDivision);
}
