"""Reads the running program's widgets through the accessibility bus.

Commands:
  text <objectName|accessible name>   text (or name) of the first widget of that name
  focused                             objectName (or name) of the widget with the keyboard focus
  dump                                the whole tree, one widget a line
  judge <n>                           has n problems of the exercise window judged, by Return where
                                      the problem's time bar allows, each once the counter of
                                      problems left (licznik) has dropped by one
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


def judge(app, count):
    counter = shown(app, "licznik")
    bar = shown(app, "pasek")
    if counter is None or bar is None:
        return 1
    left = int(fresh_text(counter))
    for _ in range(count):
        # One Return a problem, and only while its bar is less than half full: a Return that came
        # as the bar ran out would land after the judgement at full bar and judge the empty field
        # again. With the bar past half, the program judges the problem itself.
        pressed = False
        deadline = time.monotonic() + 60
        while int(fresh_text(counter)) != left - 1:
            if not pressed and fresh_value(bar) < 50:
                subprocess.run(["xdotool", "key", "Return"], check=True)
                pressed = True
            if time.monotonic() > deadline:
                print(f"licznik stayed at {fresh_text(counter)}, expected {left - 1}", file=sys.stderr)
                return 1
            time.sleep(0.01)
        left -= 1
    return 0


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
        return judge(app, int(argv[2]))
    raise SystemExit(f"unknown command {cmd}")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
