#include "common/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

const char* const kHidden = "cyfroliaHiddenFromScreenReaders";
const char* const kCaption = "cyfroliaCaption";

class HiddenAccessible : public QAccessibleWidget {
public:
    explicit HiddenAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Graphic) {}

    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
};

// Named "caption text"; the text itself, read-only, without caret or selection.
class CaptionedLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    CaptionedLabelAccessible(QLabel* label, const QString& caption)
        : QAccessibleWidget(label, QAccessible::StaticText), m_caption(caption) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return m_caption + QLatin1Char(' ') + shown();
        return QAccessibleWidget::text(kind);
    }

    QString text(int startOffset, int endOffset) const override {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shown().size()); }
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
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    QString shown() const { return static_cast<QLabel*>(widget())->text(); }

    QString m_caption;
};

class AnnouncerAccessible : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Notification) {}
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (widget->property(kHidden).toBool())
        return new HiddenAccessible(widget);
    if (auto* label = qobject_cast<QLabel*>(widget); label && widget->property(kCaption).isValid())
        return new CaptionedLabelAccessible(label, widget->property(kCaption).toString());
    return nullptr;
}

void installFactory() {
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}

} // namespace

namespace accessibility {

void hideFromScreenReaders(QWidget* widget) {
    installFactory();
    widget->setProperty(kHidden, true);
    refreshAccessible(widget);
}

void nameWithCaption(QLabel* label, const QString& caption) {
    installFactory();
    label->setProperty(kCaption, caption);
    refreshAccessible(label);
}

void refreshAccessible(QWidget* widget) {
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace accessibility

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    accessibility::presentAs<Announcer, AnnouncerAccessible>();
    setObjectName(QStringLiteral("announcer"));
    // Never drawn and never in the way of the mouse: only its accessible side speaks.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(0, 0);
    hide();
    accessibility::refreshAccessible(this);
}

void Announcer::announce(const QString& message) {
    // Qt 6.4 has no announcement event; a notification that shows itself is what Orca speaks.
    setAccessibleName(message);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    emit announced(message);
}
