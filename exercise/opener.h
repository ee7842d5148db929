#pragma once

class ExerciseWindow;

// Opens an exercise window from the main menu: asks for a school class first while none has
// been chosen, shows the window modally and puts it back into its welcome state once closed.
void openExercise(ExerciseWindow* window);
