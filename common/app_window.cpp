#include "common/app_window.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QScreen>

AppWindow::AppWindow(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void AppWindow::showModal() {
    exec();
}

void AppWindow::setOuterSize(int width, int height) {
    resize(width - 2 * kFrameSide, height - 2 * kFrameSide - kTitleBar);
}

void AppWindow::centreOnScreen() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = isVisible() ? frameGeometry().size() : size().grownBy(m_frame);
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void AppWindow::hideEvent(QHideEvent* event) {
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    if (frame != client)
        m_frame = QMargins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    QDialog::hideEvent(event);
}

void AppWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
