#pragma once

#include <QMargins>

#include <optional>

class QWidget;

// What the window manager does to the program's windows, asked of it before a window is mapped.
namespace window_manager {

// The frame the window manager puts around `window` when it is shown: its own figure once the
// window has been framed, or its estimate beforehand (asked for before the first mapping, so a
// window can be placed by its real frame from its first showing). No frame at all where no window
// manager runs, or away from X11; nothing when a window manager does not say.
std::optional<QMargins> frameExtents(QWidget* window);

// Tells the window manager that the shown `window` belongs to `owner` (WM_TRANSIENT_FOR), so that
// it stays in front of it and out of the taskbar. Qt says so for dialogs only, and takes it back
// at every showing of any other window, so it is said again after each showing.
void setOwner(QWidget* window, QWidget* owner);

} // namespace window_manager
