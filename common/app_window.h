#pragma once

#include <QDialog>
#include <QMargins>

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

    // Places the window's frame in the centre of the screen.
    void centreOnScreen();

    // Frame thickness assumed when an outer size is given and the window manager has not told
    // us yet (as on a bare X server).
    static constexpr int kFrameSide = 4;
    static constexpr int kTitleBar = 21;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The frame around the client area: assumed until the window manager has shown us its own.
    QMargins m_frame{kFrameSide, kFrameSide + kTitleBar, kFrameSide, kFrameSide};
};
