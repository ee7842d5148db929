#include "common/window_manager.h"

#include <QAbstractNativeEventFilter>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace window_manager {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

// The atoms this file asks about: interned once, with a single round trip.
struct Atoms {
    xcb_atom_t frameExtents;
    xcb_atom_t requestFrameExtents;
    xcb_atom_t supported;
    xcb_atom_t supportingWmCheck;
};

const Atoms& atoms(xcb_connection_t* c) {
    static const Atoms interned = [c] {
        const char* const names[] = {"_NET_FRAME_EXTENTS", "_NET_REQUEST_FRAME_EXTENTS", "_NET_SUPPORTED",
                                     "_NET_SUPPORTING_WM_CHECK"};
        xcb_intern_atom_cookie_t cookies[std::size(names)];
        for (std::size_t i = 0; i < std::size(names); ++i)
            cookies[i] = xcb_intern_atom(c, 0, std::uint16_t(std::strlen(names[i])), names[i]);
        xcb_atom_t found[std::size(names)];
        for (std::size_t i = 0; i < std::size(names); ++i) {
            std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(
                xcb_intern_atom_reply(c, cookies[i], nullptr));
            found[i] = reply ? reply->atom : XCB_ATOM_NONE;
        }
        return Atoms{found[0], found[1], found[2], found[3]};
    }();
    return interned;
}

// Ends `loop` when the window manager changes `property` of `window`; Qt's windows listen for
// property changes already, and their events pass here on the way to Qt.
class PropertyWatch : public QAbstractNativeEventFilter {
public:
    PropertyWatch(xcb_window_t window, xcb_atom_t property, QEventLoop& loop)
        : m_window(window), m_property(property), m_loop(loop) {
        qApp->installNativeEventFilter(this);
    }
    ~PropertyWatch() override { qApp->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
            if (change->window == m_window && change->atom == m_property)
                m_loop.quit();
        }
        return false;
    }

private:
    xcb_window_t m_window;
    xcb_atom_t m_property;
    QEventLoop& m_loop;
};

// The 32-bit items of a property, empty when it is not there or of another type.
std::vector<std::uint32_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                    xcb_atom_t type, std::uint32_t count) {
    std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, count), nullptr));
    if (!reply || reply->type != type || reply->format != 32)
        return {};
    const auto* items = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {items, items + xcb_get_property_value_length(reply.get()) / 4};
}

// An EWMH window manager names a child window of its own on the root, which names itself again.
bool windowManagerRuns(xcb_connection_t* c, xcb_window_t root) {
    const xcb_atom_t check = atoms(c).supportingWmCheck;
    const auto child = property(c, root, check, XCB_ATOM_WINDOW, 1);
    if (child.size() != 1)
        return false;
    const auto self = property(c, child[0], check, XCB_ATOM_WINDOW, 1);
    return self.size() == 1 && self[0] == child[0];
}

std::optional<QMargins> readExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents) {
    const auto v = property(c, window, extents, XCB_ATOM_CARDINAL, 4);
    if (v.size() != 4)
        return std::nullopt;
    // Left, right, top, bottom.
    return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
}

// The window's own X window, created if need be. Not winId(): that marks the window native, and
// a window with a parent then makes every sibling and the parent's children native too (the
// menu's pictures, which would catch clicks meant for the buttons beneath them).
xcb_window_t nativeWindow(QWidget* window) {
    window->createWinId();
    return xcb_window_t(window->internalWinId());
}

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

std::optional<QMargins> frameExtents(QWidget* window) {
    xcb_connection_t* c = connection();
    if (!c)
        return QMargins();
    const xcb_window_t id = nativeWindow(window);
    const Atoms& names = atoms(c);
    if (auto known = readExtents(c, id, names.frameExtents))
        return known;

    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (!windowManagerRuns(c, root))
        return QMargins();
    const auto supported = property(c, root, names.supported, XCB_ATOM_ATOM, 1024);
    if (std::find(supported.begin(), supported.end(), names.requestFrameExtents) == supported.end())
        return std::nullopt;

    // The window's own properties are all set by now, so the estimate fits the frame it will get.
    // The answer comes as a property change; a busy window manager gets half a second, while
    // timers go on and input waits.
    QEventLoop loop;
    const PropertyWatch watch(id, names.frameExtents, loop);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = names.requestFrameExtents;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return readExtents(c, id, names.frameExtents);
}

void setOwner(QWidget* window, QWidget* owner) {
    xcb_connection_t* c = connection();
    if (!c || !window->internalWinId())
        return;
    const auto id = xcb_window_t(window->internalWinId());
    const auto ownerId = owner ? nativeWindow(owner->window()) : XCB_WINDOW_NONE;
    if (ownerId == XCB_WINDOW_NONE)
        xcb_delete_property(c, id, XCB_ATOM_WM_TRANSIENT_FOR);
    else
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                            &ownerId);
    xcb_flush(c);
}

} // namespace window_manager
