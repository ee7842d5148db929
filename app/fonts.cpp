#include "app/fonts.h"

#include <QStringList>

void installFontSubstitutes()
{
    const struct {
        const char* family;
        const char* substitutes;
    } table[] = {
        {"Arial Rounded MT Bold", "Quicksand,Comfortaa,DejaVu Sans"},
        {"MS Sans Serif", "Liberation Sans,DejaVu Sans"},
        {"Arial", "Liberation Sans,DejaVu Sans"},
        {"Ravie", "Lobster Two,URW Bookman,DejaVu Sans"},
        {"ElementarzDwa", "Havana,Z003,DejaVu Sans"},
        {"DigitSmall", "Bebas Neue,URW Gothic,DejaVu Sans"},
    };
    for (const auto& row : table)
        QFont::insertSubstitutions(QString::fromUtf8(row.family), QString::fromUtf8(row.substitutes).split(QLatin1Char(',')));
}

QFont pixelFont(const QString& family, int pixels, bool bold, bool italic)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
