#include "common/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCalendarWidget>
#include <QLabel>
#include <QToolButton>

namespace {

const char* const kHidden = "cyfroliaHiddenFromScreenReaders";
const char* const kCaption = "cyfroliaCaption";
const char* const kWords = "cyfroliaWords";

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

// One message: a notification whose name is the message from the start, so no name change ever
// has to reach the screen reader, and nothing it kept of an earlier message is read again.
class Announcement : public QWidget {
    Q_OBJECT
public:
    Announcement(const QString& message, QWidget* parent) : QWidget(parent), m_message(message) {
        setObjectName(QStringLiteral("announcement"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        resize(0, 0);
        hide();
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

class AnnouncementAccessible : public QAccessibleWidget {
public:
    explicit AnnouncementAccessible(Announcement* note)
        : QAccessibleWidget(note, QAccessible::Notification) {}
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return static_cast<Announcement*>(widget())->message();
        return QAccessibleWidget::text(kind);
    }
};

// A picture of words, read as those words.
class WordsAccessible : public QAccessibleWidget {
public:
    WordsAccessible(QWidget* picture, const QString& words)
        : QAccessibleWidget(picture, QAccessible::StaticText), m_words(words) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(&m_text);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? m_words : QAccessibleWidget::text(kind);
    }

private:
    QString m_words;
    ReadOnlyAccessibleText m_text{[this] { return m_words; }};
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (widget->property(kHidden).toBool())
        return new HiddenAccessible(widget);
    if (widget->property(kWords).isValid())
        return new WordsAccessible(widget, widget->property(kWords).toString());
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

void readAsText(QWidget* picture, const QString& words) {
    installFactory();
    picture->setProperty(kWords, words);
    refreshAccessible(picture);
}

void nameCalendarArrows(QCalendarWidget* calendar) {
    const std::pair<const char*, QString> arrows[] = {
        {"qt_calendar_prevmonth", QStringLiteral("Poprzedni miesiąc")},
        {"qt_calendar_nextmonth", QStringLiteral("Następny miesiąc")}};
    for (const auto& [name, words] : arrows)
        if (auto* arrow = calendar->findChild<QToolButton*>(QLatin1String(name)))
            arrow->setAccessibleName(words);
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
    accessibility::presentAs<Announcement, AnnouncementAccessible>();
    setObjectName(QStringLiteral("announcer"));
    // Never drawn and never in the way of the mouse: only the notifications it holds speak.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(0, 0);
    hide();
}

void Announcer::announce(const QString& message) {
    // Qt 6.4 has no announcement event; a notification that shows itself is what Orca speaks. Each
    // message is a notification of its own, shown once. A screen reader reads its words when it
    // comes to the event, maybe after the next message: the last few stay to be read.
    auto* note = new Announcement(message, this);
    QAccessibleEvent shown(note, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    m_told.push_back(note);
    while (m_told.size() > kKept)
        delete m_told.takeFirst();
    emit announced(message);
}

#include "accessibility.moc"
