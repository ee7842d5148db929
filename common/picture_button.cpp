#include "common/picture_button.h"

#include <QMouseEvent>

PictureButton::PictureButton(const QString& name, const QString& word, const QPixmap& picture,
                             QWidget* parent)
    : QLabel(parent) {
    setObjectName(name);
    setAccessibleName(word);
    setPixmap(picture);
    resize(picture.deviceIndependentSize().toSize());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
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
