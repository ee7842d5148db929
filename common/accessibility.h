#pragma once

#include <QAccessible>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QCalendarWidget;
class QLabel;

// What screen readers see beyond Qt's own reading of the widgets.
namespace accessibility {

// Leaves a widget out of what screen readers present: a picture that only decorates, a caption
// whose words another control already carries in its name. Mouse and drawing are untouched.
void hideFromScreenReaders(QWidget* widget);

// A label that shows a bare number is read with its caption: "Pozostało: 49". Its text stays the
// number as drawn.
void nameWithCaption(QLabel* label, const QString& caption);

// A picture of words, such as a handwritten question, is read as those words: a text, where a
// screen reader would otherwise meet an unnamed picture.
void readAsText(QWidget* picture, const QString& words);

// The month calendar's arrows, which Qt draws as pictures without words, are named for what they do.
void nameCalendarArrows(QCalendarWidget* calendar);

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

// The text side of a widget that screen readers read as a text of its own: `shown` as it is now,
// read-only, without caret or selection. A widget's interface hands it out for TextInterface.
class ReadOnlyAccessibleText : public QAccessibleTextInterface {
public:
    explicit ReadOnlyAccessibleText(std::function<QString()> shown) : m_shown(std::move(shown)) {}

    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override { return int(m_shown().size()); }
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    std::function<QString()> m_shown;
};

// Speaks a message to screen readers without taking the keyboard focus: an invisible
// notification that is shown to them, and only to them, at each announce().
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    void announce(const QString& message);

signals:
    void announced(const QString& message);

private:
    static constexpr int kKept = 20;
    QList<QWidget*> m_told; // the latest messages, oldest first
};
