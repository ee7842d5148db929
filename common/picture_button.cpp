#include "common/picture_button.h"

#include "common/accessibility.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

namespace {

class PictureButtonAccessible : public QAccessibleWidget {
public:
    explicit PictureButtonAccessible(PictureButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (static_cast<PictureButton*>(widget())->isHighlighted())
            state.focusable = state.focused = true;
        return state;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    // The action returns at once: the click comes from the event loop right after, so a window the
    // button opens modally never holds the screen reader that pressed it.
    void doAction(const QString& action) override {
        if (action == pressAction())
            QTimer::singleShot(0, widget(),
                               [button = static_cast<PictureButton*>(widget())] { button->click(); });
    }
};

} // namespace

PictureButton::PictureButton(const QString& name, const QString& word, const QPixmap& picture,
                             QWidget* parent)
    : QLabel(parent) {
    accessibility::presentAs<PictureButton, PictureButtonAccessible>();
    setObjectName(name);
    setAccessibleName(word);
    setPixmap(picture);
    resize(picture.deviceIndependentSize().toSize());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    accessibility::refreshAccessible(this);
}

void PictureButton::click() {
    const QWidget* modal = QApplication::activeModalWidget();
    if (!isVisible() || !isEnabled() || (modal && modal != window()))
        return;
    emit clicked();
}

void PictureButton::setHighlighted(bool highlighted) {
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    if (highlighted) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

PictureButton::PictureButton(const QString& name, const QString& word, const QSize& size,
                             crisp::Drawing picture, QWidget* parent)
    : PictureButton(name, word, QPixmap(), parent) {
    resize(size);
    crisp::setPicture(this, std::move(picture));
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}
