#pragma once

#include <QString>

class QWidget;

// The save picture button of an exercise window's summary panel: shows the save-result window
// beside it, modelessly, with the school class and the given grade.
void openSaveResult(QWidget* exerciseWindow, const QString& grade);
