#pragma once

#include <QDialog>
#include <QMargins>
#include <QPointer>

// A secondary window of the program: created once at start-up, then only shown and hidden.
// Closing it hides it; Esc does not close it (only its own buttons and the close box do).
class AppWindow : public QDialog {
    Q_OBJECT
public:
    explicit AppWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // Shows the window modally and returns once it has been hidden again. Callers never
    // look at a modal result.
    void showModal();

    // Sets the window's outer size, frame included, as laid out for a standard frame.
    void setOuterSize(int width, int height);

    // Places the window's frame in the centre of the screen: the frame the window manager gives
    // it, known before the window is first mapped.
    void centreOnScreen();

    // The standard frame the layout's outer sizes were given for; also the frame assumed when a
    // window manager does not tell its own.
    static constexpr int kFrameSide = 4;
    static constexpr int kTitleBar = 21;

    // The window this one belongs to, as the window manager is told (its Qt parent's window
    // unless set otherwise).
    void setOwner(QWidget* owner);

    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointer<QWidget> m_owner;
};
