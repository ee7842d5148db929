"""Real input through a Wayland compositor's own seat, as a user's mouse and keyboard give it.

GNOME's mutter takes it through its remote desktop service on the session bus; KDE's KWin through
its fake-input protocol, spoken here directly on the Wayland socket. Either way the compositor
routes it like any input: to its own window moves, to Wayland windows, and to Xwayland's.

One seat serves a whole test, as one user's mouse and keyboard would: mutter drops what a remote
desktop session had not yet handed on when it ends, and lets go of its buttons.

Usage: compositor_input.py serve mutter|kwin SOCKET   the seat, taking steps on SOCKET
       compositor_input.py send SOCKET STEP...       steps for it; returns once all are taken
Steps:
  move X Y         the pointer to X, Y of the screen (a pressed button stays pressed)
  settle           waits until an Xwayland window has the pointer where it was moved (to the
                   pixel): the compositor has found the window beneath it, so a press lands there
  follow WINDOW DX DY
                   with the button held on the X window WINDOW: the pointer goes on in small
                   steps along the way DX, DY until the window is seen to follow (the compositor
                   has begun to move it), then to the end of the way
  press | release  the left button
  key COMBO        a key with its modifiers pressed and released: Return, alt+r, 7
  hold KEY MS      a key held down for MS milliseconds
"""
import os
import socket
import struct
import subprocess
import sys
import time

# Keys by X keysym (mutter) and by Linux input code (KWin).
KEYS = {
    "Return": (0xFF0D, 28), "KP_Enter": (0xFF8D, 96), "alt": (0xFFE9, 56), "shift": (0xFFE1, 42),
    "BackSpace": (0xFF08, 14), "Escape": (0xFF1B, 1), "Down": (0xFF54, 108),
}
for i, letter in enumerate("qwertyuiop"):
    KEYS[letter] = (ord(letter), 16 + i)
for i, letter in enumerate("asdfghjkl"):
    KEYS[letter] = (ord(letter), 30 + i)
for i, letter in enumerate("zxcvbnm"):
    KEYS[letter] = (ord(letter), 44 + i)
for i, digit in enumerate("1234567890"):
    KEYS[digit] = (ord(digit), 2 + i)

BUTTON_LEFT = 0x110


class Mutter:
    def __init__(self):
        import dbus

        bus = dbus.SessionBus()
        service = "org.gnome.Mutter.RemoteDesktop"
        desktop = dbus.Interface(bus.get_object(service, "/org/gnome/Mutter/RemoteDesktop"), service)
        path = desktop.CreateSession()
        self.session = dbus.Interface(bus.get_object(service, path), service + ".Session")
        self.session.Start()
        # mutter drops the first key its remote-desktop keyboard is given: a Shift, before any
        # window is there to take it.
        self.session.NotifyKeyboardKeysym(KEYS["shift"][0], True)
        self.session.NotifyKeyboardKeysym(KEYS["shift"][0], False)

    def relative(self, dx, dy):
        # The only motion that needs no screen cast.
        self.session.NotifyPointerMotionRelative(float(dx), float(dy))

    def button(self, pressed):
        self.session.NotifyPointerButton(BUTTON_LEFT, pressed)

    def key(self, name, pressed):
        self.session.NotifyKeyboardKeysym(KEYS[name][0], pressed)

    def sync(self):
        # Each call above returns once the service has taken the event.
        pass


class Kwin:
    """A Wayland client of just enough protocol: the registry, a round trip, and fake input."""

    def __init__(self):
        name = os.environ["WAYLAND_DISPLAY"]
        path = name if name.startswith("/") else os.path.join(os.environ["XDG_RUNTIME_DIR"], name)
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.buffer = b""
        self.next_id = 2
        self.globals = {}
        registry = self.new_id()
        self.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
        self.registry = registry
        self.roundtrip()
        fake = [g for g, (interface, _) in self.globals.items() if interface == "org_kde_kwin_fake_input"]
        if not fake:
            raise SystemExit("the compositor offers no fake input")
        self.fake = self.new_id()
        self.send(registry, 0, struct.pack("<I", fake[0]) + self.string("org_kde_kwin_fake_input")
                  + struct.pack("<II", 4, self.fake))  # wl_registry.bind
        self.send(self.fake, 0, self.string("cyfrolia-e2e") + self.string("end-to-end tests"))
        self.roundtrip()

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    @staticmethod
    def string(text):
        data = text.encode() + b"\0"
        return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

    @staticmethod
    def fixed(value):
        return struct.pack("<i", int(value * 256))

    def send(self, obj, opcode, payload=b""):
        self.sock.sendall(struct.pack("<II", obj, (8 + len(payload)) << 16 | opcode) + payload)

    def roundtrip(self):
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        while True:
            obj, opcode, payload = self.read()
            if obj == callback and opcode == 0:
                return
            if obj == 1 and opcode == 0:  # wl_display.error
                raise SystemExit(f"protocol error: {payload!r}")
            if obj == self.registry and opcode == 0:
                global_name, length = struct.unpack_from("<II", payload)
                interface = payload[8:8 + length - 1].decode()
                version = struct.unpack_from("<I", payload, 8 + length + (-length % 4))[0]
                self.globals[global_name] = (interface, version)

    def read(self):
        while len(self.buffer) < 8 or len(self.buffer) < struct.unpack_from("<I", self.buffer, 4)[0] >> 16:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise SystemExit("the compositor closed the connection")
            self.buffer += chunk
        obj, size_opcode = struct.unpack_from("<II", self.buffer)
        size = size_opcode >> 16
        message, self.buffer = self.buffer[8:size], self.buffer[size:]
        return obj, size_opcode & 0xFFFF, message

    # Each event waits for the compositor to have taken it: events sent together in one burst
    # reach an Xwayland window only in part.
    def relative(self, dx, dy):
        self.send(self.fake, 1, self.fixed(dx) + self.fixed(dy))  # pointer_motion
        self.roundtrip()

    def button(self, pressed):
        self.send(self.fake, 2, struct.pack("<II", BUTTON_LEFT, 1 if pressed else 0))
        self.roundtrip()

    def key(self, name, pressed):
        self.send(self.fake, 10, struct.pack("<II", KEYS[name][1], 1 if pressed else 0))
        self.roundtrip()

    def sync(self):
        self.roundtrip()


def xwayland_pointer():
    """Where Xwayland has the pointer, and the window it is over there."""
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True, text=True,
                         check=True, timeout=20).stdout
    fields = dict(line.split("=", 1) for line in out.split())
    return int(fields["X"]), int(fields["Y"]), int(fields["WINDOW"])


def window_origin(window):
    out = subprocess.run(["xwininfo", "-id", str(window)], capture_output=True, text=True, check=True,
                         timeout=20).stdout
    fields = dict(line.strip().split(":", 1) for line in out.splitlines() if ":" in line)
    return int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"])


def wait_for(condition, what, timeout=20):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise SystemExit(f"{what} did not happen")
        time.sleep(0.02)


def follow(seat, window, x, y, dx, dy):
    """Drags the window by the way dx, dy from x, y; returns where the pointer ends. Nothing tells
    when the compositor takes the pointer for the move: until then the pointer goes on along the
    way in tenths, then a pixel to and fro at its end."""
    origin = window_origin(window)
    at = (x, y)
    deadline = time.monotonic() + 20
    step = 0
    while window_origin(window) == origin:
        if time.monotonic() > deadline:
            raise SystemExit("the window did not follow the pointer")
        step += 1
        part = min(step, 10) / 10
        to = (x + round(dx * part) + (step > 10 and step % 2), y + round(dy * part))
        seat.relative(to[0] - at[0], to[1] - at[1])
        at = to
        time.sleep(0.02)
    end = (x + dx, y + dy)
    seat.relative(end[0] - at[0], end[1] - at[1])
    return end


class Seat:
    def __init__(self, desktop):
        self.device = {"mutter": Mutter, "kwin": Kwin}[desktop]()
        # Relative moves, unaccelerated, land exactly where asked from where the pointer is: first
        # the screen's corner, where it stops.
        self.device.relative(-100000, -100000)
        self.x = self.y = 0

    def run(self, steps):
        device = self.device
        print(" ".join(steps), flush=True)  # the steps taken, in the test's log
        while steps:
            step = steps.pop(0)
            if step == "move":
                to_x, to_y = int(steps.pop(0)), int(steps.pop(0))
                device.relative(to_x - self.x, to_y - self.y)
                self.x, self.y = to_x, to_y
            elif step == "settle":
                # The compositor finds the window under the pointer as the pointer moves: until
                # Xwayland has the pointer there (KWin's Xwayland has its windows a pixel off KWin's
                # own places), it moves a pixel to and fro. Under KWin a press on a window the
                # pointer has just come to is lost unless the pointer moves on it first, so it always
                # does once more.
                def arrived():
                    device.relative(1, 0)
                    device.relative(-1, 0)
                    return max(abs(a - b) for a, b in zip(xwayland_pointer()[:2], (self.x, self.y))) <= 1

                wait_for(arrived, f"the pointer at {self.x}, {self.y} over an X window")
                device.relative(1, 0)
                device.relative(-1, 0)
            elif step == "follow":
                window, dx, dy = int(steps.pop(0), 0), int(steps.pop(0)), int(steps.pop(0))
                self.x, self.y = follow(device, window, self.x, self.y, dx, dy)
            elif step in ("press", "release"):
                device.button(step == "press")
            elif step == "key":
                names = steps.pop(0).split("+")
                for name in names:
                    device.key(name, True)
                for name in reversed(names):
                    device.key(name, False)
            elif step == "hold":
                name, milliseconds = steps.pop(0), int(steps.pop(0))
                device.key(name, True)
                time.sleep(milliseconds / 1000)  # the length of the press is what is tested
                device.key(name, False)
            else:
                raise ValueError(f"unknown step {step!r}")
        device.sync()


def serve(desktop, path):
    seat = Seat(desktop)
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.bind(path + ".new")
    server.listen(4)
    os.rename(path + ".new", path)  # there once it answers
    while True:
        connection, _ = server.accept()
        with connection, connection.makefile("rw") as talk:
            try:
                seat.run(talk.readline().split())
                talk.write("ok\n")
            except (ValueError, SystemExit, subprocess.SubprocessError) as failure:
                talk.write(f"{failure}\n")


def send(path, steps):
    client = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    client.settimeout(120)  # a seat that stops answering fails the test
    client.connect(path)
    with client, client.makefile("rw") as talk:
        talk.write(" ".join(steps) + "\n")
        talk.flush()
        answer = talk.readline().strip()
    if answer != "ok":
        raise SystemExit(answer or "the seat did not answer")
    return 0


def main(argv):
    if argv[1] == "serve":
        return serve(argv[2], argv[3])
    if argv[1] == "send":
        return send(argv[2], argv[3:])
    raise SystemExit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
