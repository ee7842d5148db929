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
class CaptionedLabelAccessible : public QAccessibleWidget {
public:
    CaptionedLabelAccessible(QLabel* label, const QString& caption)
        : QAccessibleWidget(label, QAccessible::StaticText), m_caption(caption) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(&m_text);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return m_caption + QLatin1Char(' ') + shown();
        return QAccessibleWidget::text(kind);
    }

private:
    QString shown() const { return static_cast<QLabel*>(widget())->text(); }

    QString m_caption;
    ReadOnlyAccessibleText m_text{[this] { return shown(); }};
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

QString ReadOnlyAccessibleText::text(int startOffset, int endOffset) const {
    return m_shown().mid(startOffset, endOffset - startOffset);
}

QString ReadOnlyAccessibleText::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = offset;
    return {};
}

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
