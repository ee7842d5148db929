#pragma once

#include <QIcon>

// The icon of the save-result window and the grades viewer: four navy arithmetic signs, plus,
// minus, times and divide, two by two on a transparent ground.
QIcon resultsWindowIcon();
