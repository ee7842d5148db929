#include "common/style.h"

#include <QLabel>
#include <QStringList>

namespace style {

void installFontSubstitutes() {
    const struct {
        const QString& family;
        const char* substitutes;
    } table[] = {
        {kRounded, "Quicksand,Comfortaa,DejaVu Sans"}, {kSans, "Liberation Sans,DejaVu Sans"},
        {kArial, "Liberation Sans,DejaVu Sans"},       {kRavie, "Lobster Two,URW Bookman,DejaVu Sans"},
        {kElementarz, "Havana,Z003,DejaVu Sans"},      {kDigitSmall, "Bebas Neue,URW Gothic,DejaVu Sans"},
    };
    for (const auto& row : table)
        QFont::insertSubstitutions(row.family, QString::fromLatin1(row.substitutes).split(QLatin1Char(',')));
}

QFont pixelFont(const QString& family, int pixels, bool bold, bool italic) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  const QColor& colour, const QRect& geometry, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    setColour(label, QPalette::WindowText, colour);
    label->setAlignment(alignment);
    label->setGeometry(geometry);
    return label;
}

} // namespace style
