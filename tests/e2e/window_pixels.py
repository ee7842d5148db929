"""A window's own pixels with their alpha, as the program drew them, whatever a compositor makes of
them: "r,g,b,a" for each point asked, one a line (premultiplied, as X keeps them).

Usage: window_pixels.py <window id> X Y [X Y ...]
"""
import ctypes
import sys


class Cookie(ctypes.Structure):
    _fields_ = [("sequence", ctypes.c_uint)]


def main(argv):
    xcb = ctypes.CDLL("libxcb.so.1")
    xcb.xcb_connect.restype = ctypes.c_void_p
    xcb.xcb_connect.argtypes = [ctypes.c_char_p, ctypes.c_void_p]
    xcb.xcb_connection_has_error.argtypes = [ctypes.c_void_p]
    xcb.xcb_get_image.restype = Cookie
    xcb.xcb_get_image.argtypes = [ctypes.c_void_p, ctypes.c_uint8, ctypes.c_uint32, ctypes.c_int16,
                                  ctypes.c_int16, ctypes.c_uint16, ctypes.c_uint16, ctypes.c_uint32]
    xcb.xcb_get_image_reply.restype = ctypes.POINTER(ctypes.c_uint8)
    xcb.xcb_get_image_reply.argtypes = [ctypes.c_void_p, Cookie, ctypes.c_void_p]
    xcb.xcb_get_image_data.restype = ctypes.POINTER(ctypes.c_uint8)
    xcb.xcb_get_image_data.argtypes = [ctypes.c_void_p]
    xcb.xcb_disconnect.argtypes = [ctypes.c_void_p]
    libc = ctypes.CDLL(None)

    connection = xcb.xcb_connect(None, None)
    if xcb.xcb_connection_has_error(connection):
        raise SystemExit("no X server")
    window = int(argv[1], 0)
    points = [int(v) for v in argv[2:]]
    for x, y in zip(points[::2], points[1::2]):
        reply = xcb.xcb_get_image_reply(
            connection, xcb.xcb_get_image(connection, 2, window, x, y, 1, 1, 0xFFFFFFFF), None)
        if not reply:
            raise SystemExit(f"no image of window {argv[1]} at {x}, {y}")
        depth = reply[1]
        data = xcb.xcb_get_image_data(reply)
        blue, green, red, alpha = data[0], data[1], data[2], data[3] if depth == 32 else 255
        print(f"{red},{green},{blue},{alpha}")
        libc.free(reply)
    xcb.xcb_disconnect(connection)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
