"""Reads the teacher's window through the accessibility bus, as atspi.py reads the children's.

Commands (besides atspi.py's text, name, press, listen and dump):
  rows <table name>   the first cell of every row of the table, one a line
  tab                 the name of the chosen class tab
  sole-focus          exit 0 when only one widget, or it and its current item, carry the focused state
  listen-focus        prints "ready", then "role|name" of each object that takes the focus
"""
import sys

import pyatspi

import atspi

atspi.APP_NAME = "cyfrolia-nauczyciel"


def rows(app, name):
    table = atspi.find(app, name).queryTable()
    for row in range(table.nRows):
        print(table.getAccessibleAt(row, 0).name)


def chosen_tab(app):
    for node, _ in atspi.walk(app):
        if node.getRole() == pyatspi.ROLE_PAGE_TAB and node.getState().contains(pyatspi.STATE_SELECTED):
            print(node.name)
            return 0
    return 1


def sole_focus(app):
    focused = [(depth, node) for node, depth in atspi.walk(app) if node.getState().contains(pyatspi.STATE_FOCUSED)]
    if not focused:
        print("nothing focused", file=sys.stderr)
        return 1
    focused.sort(key=lambda pair: pair[0])
    top = focused[0][1]
    for _, node in focused[1:]:
        above = node.parent
        while above is not None and above != top:
            above = above.parent
        if above is None or len(focused) > 2:
            print("focused at once: " + ", ".join(f"{n.getRoleName()}|{n.name}" for _, n in focused), file=sys.stderr)
            return 1
    return 0


def listen_focus():
    def focused(event):
        print(f"{event.source.getRoleName()}|{event.source.name}", flush=True)

    pyatspi.Registry.registerEventListener(focused, "focus:")
    print("ready", flush=True)
    pyatspi.Registry.start()


def main(argv):
    cmd = argv[1] if len(argv) > 1 else "dump"
    if cmd == "listen-focus":
        return listen_focus()
    if cmd in ("rows", "tab", "sole-focus"):
        app = atspi.application()
        if cmd == "rows":
            return rows(app, argv[2])
        if cmd == "tab":
            return chosen_tab(app)
        return sole_focus(app)
    return atspi.main(argv)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
