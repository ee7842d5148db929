#pragma once

#include <QString>

class QWidget;

// The general error dialog: error icon, OK only, caption "Cyfrolia 1.0".
void showErrorDialog(const QString& message, QWidget* parent = nullptr);
