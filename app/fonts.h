#pragma once

#include <QFont>
#include <QString>

// Maps the typefaces the windows ask for by name to free fonts installed with the program;
// every one of them carries the Polish letters.
void installFontSubstitutes();

// A font of the given family whose character height is `pixels` pixels.
QFont pixelFont(const QString& family, int pixels, bool bold = false, bool italic = false);
