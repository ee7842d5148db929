"""Reads the running program's widgets through the accessibility bus.

Commands:
  text <objectName|accessible name>   text (or name) of the first widget of that name
  focused                             objectName (or name) of the widget with the keyboard focus
  dump                                the whole tree, one widget a line
"""
import sys

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
    raise SystemExit(f"unknown command {cmd}")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
