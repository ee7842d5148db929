"""Reads the running program's widgets through the accessibility bus.

Commands:
  text <objectName|accessible name>   text (or name) of the first widget of that name
  focused                             objectName (or name) of the widget with the keyboard focus
  dump                                the whole tree, one widget a line
  judge                               has every problem left in the exercise window judged: Return
                                      on each while its time bar has time, else by the program
  answer <+|-|*|/>                    types the right result of the problem on screen and presses
                                      Return (on the next problem if this one's bar is past half)
"""
import subprocess
import sys
import time

import pyatspi

APP_NAME = "cyfrolia"


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name and app.name.lower() == APP_NAME:
            return app
    raise SystemExit("program not on the accessibility bus")


def walk(node, depth=0):
    yield node, depth
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except NotImplementedError:
        return node.name


def shown(app, wanted):
    for node, _ in walk(app):
        if (node.name == wanted or node.description == wanted) and node.getState().contains(pyatspi.STATE_SHOWING):
            return node
    return None


def fresh_text(node):
    # The bus caches names; the label's text is read anew every time.
    try:
        node.clear_cache()
    except AttributeError:
        pass
    return text_of(node)


def fresh_value(node):
    try:
        node.clear_cache()
    except AttributeError:
        pass
    return node.queryValue().currentValue


def wait_drop(counter, left, timeout=120):
    """Waits until the counter of problems left is below `left`; returns its value, or None."""
    deadline = time.monotonic() + timeout
    while (now := int(fresh_text(counter))) >= left:
        if time.monotonic() > deadline:
            print(f"licznik stayed at {now}, expected {left - 1}", file=sys.stderr)
            return None
        time.sleep(0.01)
    return now


def has_time(bar):
    # A key that came as the bar ran out would land after the judgement at full bar and judge
    # the empty field again; with the bar past half, the program judges the problem itself.
    return fresh_value(bar) < 50


def judge(app):
    """Has every problem left judged: Return on each while its bar has time, else the program."""
    counter, bar = shown(app, "licznik"), shown(app, "pasek")
    if counter is None or bar is None:
        return 1
    left = int(fresh_text(counter))
    while left > 0:
        if has_time(bar):
            subprocess.run(["xdotool", "key", "Return"], check=True)
        left = wait_drop(counter, left)
        if left is None:
            return 1
    return 0


def answer(app, op):
    """Types the right result of the problem on screen and presses Return, on the first problem
    whose bar has time for it."""
    counter, bar = shown(app, "licznik"), shown(app, "pasek")
    first, second = shown(app, "liczba1"), shown(app, "liczba2")
    if None in (counter, bar, first, second):
        return 1
    while True:
        left = int(fresh_text(counter))
        if has_time(bar):
            a, b = int(fresh_text(first)), int(fresh_text(second))
            result = {"+": a + b, "-": a - b, "*": a * b, "/": a // b if b else 0}[op]
            if int(fresh_text(counter)) == left:
                subprocess.run(["xdotool", "type", "--delay", "0", "--", str(result)], check=True)
                subprocess.run(["xdotool", "key", "Return"], check=True)
                return 0 if wait_drop(counter, left) is not None else 1
        if wait_drop(counter, left) is None:
            return 1


def main(argv):
    cmd = argv[1] if len(argv) > 1 else "dump"
    app = application()
    if cmd == "dump":
        for node, depth in walk(app):
            print("  " * depth + f"{node.getRoleName()} name={node.name!r} id={node.description!r}")
        return 0
    if cmd == "text":
        # Widgets of hidden windows stay on the bus; only shown ones count.
        wanted = argv[2]
        for node, _ in walk(app):
            if (node.name == wanted or node.description == wanted) and node.getState().contains(pyatspi.STATE_SHOWING):
                print(text_of(node))
                return 0
        return 1
    if cmd == "focused":
        for node, _ in walk(app):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                print(node.description or node.name)
                return 0
        return 1
    if cmd == "judge":
        return judge(app)
    if cmd == "answer":
        return answer(app, argv[2])
    raise SystemExit(f"unknown command {cmd}")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
