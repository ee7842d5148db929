#include "exercise/opener.h"

#include "exercise/exercise_window.h"
#include "shell/tform7.h"

void openExercise(ExerciseWindow* window)
{
    if (form7->klasa->toPlainText().isEmpty())
        form7->showModal();
    window->showModal();
    window->closingReset();
}
