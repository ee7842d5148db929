#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

class QLabel;
class QRect;
class QWidget;

// The colours and typefaces the windows share, by the names the program knows them by.
namespace style {

inline const QColor kSkyBlue{166, 202, 240};
inline const QColor kNavy{0, 0, 128};
inline const QColor kGreen{0, 128, 0};
inline const QColor kRed{255, 0, 0};
inline const QColor kBlue{0, 0, 255};
inline const QColor kLightGrey{192, 192, 192};
inline const QColor kMoneyGreen{192, 220, 192};

inline const QString kSans = QStringLiteral("MS Sans Serif");
inline const QString kArial = QStringLiteral("Arial");
inline const QString kRounded = QStringLiteral("Arial Rounded MT Bold");
inline const QString kRavie = QStringLiteral("Ravie");
inline const QString kElementarz = QStringLiteral("ElementarzDwa");
inline const QString kDigitSmall = QStringLiteral("DigitSmall");

// Maps the typefaces above to free fonts installed with the program; every one of them carries
// the Polish letters.
void installFontSubstitutes();

// A font of the given family whose character height is `pixels` pixels.
QFont pixelFont(const QString& family, int pixels, bool bold = false, bool italic = false);

// Gives one colour role of the widget's palette a colour of its own.
void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);

// A plain-text label in `colour` at `geometry`, top-left aligned unless told otherwise.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  const QColor& colour, const QRect& geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

} // namespace style
