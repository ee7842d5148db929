#include "common/app_window.h"

#include "common/window_manager.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

AppWindow::AppWindow(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags), m_owner(parent) {}

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
    // Before the first mapping Qt knows no frame yet; the window manager does.
    std::optional<QMargins> frame = window_manager::frameExtents(this);
    if (!frame && testAttribute(Qt::WA_Mapped)) {
        const QRect outer = frameGeometry();
        const QRect client = geometry();
        frame = QMargins(client.left() - outer.left(), client.top() - outer.top(),
                         outer.right() - client.right(), outer.bottom() - client.bottom());
    }
    const QMargins margins =
        frame.value_or(QMargins(kFrameSide, kFrameSide + kTitleBar, kFrameSide, kFrameSide));
    const QSize outer = size().grownBy(margins);
    const QPoint corner(area.x() + (area.width() - outer.width()) / 2,
                        area.y() + (area.height() - outer.height()) / 2);
    // The client area's place: the frame grows around it where it lies.
    setGeometry(QRect(corner + QPoint(margins.left(), margins.top()), size()));
}

void AppWindow::setOwner(QWidget* owner) {
    m_owner = owner;
    if (isVisible())
        window_manager::setOwner(this, owner);
}

namespace {
// How many times any of the program's windows has been shown.
quint64 showings = 0;
} // namespace

void AppWindow::setVisible(bool visible) {
    const bool hadKeyboard = !visible && isVisible() && isActiveWindow();
    // Counted before it is shown: showing it may turn the event loop (to learn the frame), and a
    // request to give the owner the keyboard must know then that a window is coming.
    if (visible)
        ++showings;
    QDialog::setVisible(visible);
    if (visible && m_owner)
        window_manager::setOwner(this, m_owner);
    // A window the child opens takes the keyboard (asked for once it is mapped): weston gives it
    // to none when the window before it has just closed.
    if (visible)
        activateWindow();
    // The keyboard goes back to the window this one belongs to: some window managers (weston's
    // among them) give it to no window when the active one closes, and the menu's Alt keys
    // would be lost until a click. Not when another window opens in its place (the class chooser's
    // OK opens an exercise window): the window manager gives that one the keyboard, and the
    // owner's late request could take it away again.
    if (!hadKeyboard || !m_owner)
        return;
    const QPointer<QWidget> owner = m_owner->window();
    const quint64 showingsThen = showings;
    QTimer::singleShot(0, owner, [owner, showingsThen] {
        if (owner && owner->isVisible() && showings == showingsThen)
            owner->activateWindow();
    });
}

void AppWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
