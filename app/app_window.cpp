#include "app/app_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

AppWindow::AppWindow(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void AppWindow::showModal()
{
    exec();
}

void AppWindow::setOuterSize(int width, int height)
{
    resize(width - 2 * kFrameSide, height - 2 * kFrameSide - kTitleBar);
}

void AppWindow::centreOnScreen()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    QSize outer = frameGeometry().size();
    if (!isVisible())
        outer = size() + QSize(2 * kFrameSide, 2 * kFrameSide + kTitleBar);
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void AppWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
