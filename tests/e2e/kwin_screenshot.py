"""What KWin shows on its screen, as a PNG file, through its screenshot service on the session bus
(KWin started with KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1, as no desktop entry vouches for us).

Usage: kwin_screenshot.py FILE.png
"""
import os
import subprocess
import sys

import dbus


def main(argv):
    service = dbus.Interface(dbus.SessionBus().get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"),
                             "org.kde.KWin.ScreenShot2")
    read_end, write_end = os.pipe()
    shot = service.CaptureActiveScreen({"native-resolution": True}, dbus.types.UnixFd(write_end))
    os.close(write_end)
    with os.fdopen(read_end, "rb") as pipe:
        pixels = pipe.read()
    width, height, stride = int(shot["width"]), int(shot["height"]), int(shot["stride"])
    # QImage's 32-bit formats, as the bytes lie on a little-endian machine: blue, green, red, alpha.
    size = f"{stride // 4}x{height}"
    subprocess.run(["convert", "-size", size, "-depth", "8", "bgra:-", "-crop", f"{width}x{height}+0+0",
                    "-alpha", "off", argv[1]], input=pixels, check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
