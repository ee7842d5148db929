#pragma once

#include <QAccessible>
#include <QString>
#include <QWidget>

class QLabel;

// What screen readers see beyond Qt's own reading of the widgets.
namespace accessibility {

// Leaves a widget out of what screen readers present: a picture that only decorates, a caption
// whose words another control already carries in its name. Mouse and drawing are untouched.
void hideFromScreenReaders(QWidget* widget);

// A label that shows a bare number is read with its caption: "Pozostało: 49". Its text stays the
// number as drawn.
void nameWithCaption(QLabel* label, const QString& caption);

// Drops the interface Qt may have made for a widget while it was still being built (a screen
// reader listening at start-up asks for it early), so that the factories decide anew.
void refreshAccessible(QWidget* widget);

// Screen readers see every widget of class `Widget` (one with Q_OBJECT) through the interface
// `Interface(Widget*)`. Said in the widget's constructor; the factory is installed once.
template <typename Widget, typename Interface> void presentAs() {
    static const bool installed =
        (QAccessible::installFactory([](const QString& className, QObject* object) -> QAccessibleInterface* {
             if (object && object->isWidgetType() &&
                 className == QLatin1String(Widget::staticMetaObject.className()))
                 return new Interface(static_cast<Widget*>(object));
             return nullptr;
         }),
         true);
    Q_UNUSED(installed);
}

} // namespace accessibility

// Speaks a message to screen readers without taking the keyboard focus: an invisible
// notification that is shown to them, and only to them, at each announce().
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    void announce(const QString& message);

signals:
    void announced(const QString& message);
};
