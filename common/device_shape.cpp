#include "common/device_shape.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <vector>

namespace device_shape {

bool cut(QWidget* window, const QRegion& devicePixels) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || !window->internalWinId() || devicePixels.isEmpty())
        return false;
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(c, &xcb_shape_id);
    if (!shape || !shape->present)
        return false;
    std::vector<xcb_rectangle_t> rectangles;
    rectangles.reserve(devicePixels.rectCount());
    for (const QRect& r : devicePixels)
        rectangles.push_back(
            {std::int16_t(r.x()), std::int16_t(r.y()), std::uint16_t(r.width()), std::uint16_t(r.height())});
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED,
                         xcb_window_t(window->internalWinId()), 0, 0, std::uint32_t(rectangles.size()),
                         rectangles.data());
    xcb_flush(c);
    return true;
}

} // namespace device_shape
