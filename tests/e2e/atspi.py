"""Reads the running program's widgets through the accessibility bus.

A widget is found by its accessible name, or by its objectName, which the program exposes as the
description when started with CYFROLIA_TEST_IDS=1 (lib.sh does so); only shown widgets count.

Commands:
  text <id|name>      text (or name) of the widget
  name <id|name>      its accessible name, as a screen reader reads it
  role <id|name>      its role ("push button", "progress bar", ...)
  actions <id|name>   the names of its actions, one a line
  value <id|name>     the time bar's percentage, as a number
  press <id|name>     performs its "Press" action
  operands            the two numbers of the problem line, from its sentence
  focused             id (or name) of the widget with the keyboard focus
  window <title>      succeeds while a window of that title is shown
  active <title>      succeeds while a window of that title has the keyboard
  judge               has every problem left in the exercise window judged: Return on each while
                      its time bar has time, else by the program
  answer <+|-|*|/>    types the right result of the problem on screen and presses Return (on the
                      next problem if this one's bar is past half)
  listen              prints "ready", then every notification the program shows, one a line, and
                      "renamed: " and the new name for each change of a notification's name
  listen-focus        prints "ready", then id (or name) of each widget that takes the focus
  dump                the whole tree, one widget a line
"""
import os
import shlex
import subprocess
import sys
import time

import pyatspi

APP_NAME = "cyfrolia"

# How keys are pressed: xdotool on the test's X server, or what E2E_KEY_COMMAND says (a
# compositor's own seat), given one key combination a run.
KEY_COMMAND = shlex.split(os.environ.get("E2E_KEY_COMMAND", "xdotool key"))


def press_key(combination):
    subprocess.run(KEY_COMMAND + [combination], check=True)


def type_text(text):
    if "E2E_KEY_COMMAND" not in os.environ:
        subprocess.run(["xdotool", "type", "--delay", "0", "--", text], check=True)
        return
    for character in text:
        press_key(character)


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


def find(app, wanted):
    # Widgets of hidden windows stay on the bus; only shown ones count.
    for node, _ in walk(app):
        if (node.name == wanted or node.description == wanted) and node.getState().contains(pyatspi.STATE_SHOWING):
            return node
    raise SystemExit(f"no shown widget {wanted!r}")


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            action.doAction(i)
            return
    raise SystemExit(f"{node.name!r} has no press action")


def listen():
    def shown(event):
        if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            print(event.source.name, flush=True)

    # A notification renamed is told to a screen reader again.
    def renamed(event):
        if event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            print(f"renamed: {event.any_data}", flush=True)

    pyatspi.Registry.registerEventListener(renamed, "object:property-change:accessible-name")
    pyatspi.Registry.registerEventListener(shown, "object:state-changed:showing")
    print("ready", flush=True)
    pyatspi.Registry.start()


def listen_focus():
    def focused(event):
        print(event.source.description or event.source.name, flush=True)

    pyatspi.Registry.registerEventListener(focused, "focus:")
    print("ready", flush=True)
    pyatspi.Registry.start()


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
    # The time bar reads as its percentage, "42%".
    return int(fresh_text(node).rstrip("%"))


def operands_of(problem):
    # "33 plus 5 równa się", "12 podzielić przez 3 równa się": the first and the last number.
    try:
        problem.clear_cache()
    except AttributeError:
        pass
    numbers = [int(word) for word in problem.name.split() if word.lstrip("-").isdigit()]
    return numbers[0], numbers[-1]


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


def first_problem(app):
    """The counter and the time bar once the series' first problem is on screen, or None."""
    counter = shown(app, "licznik")
    if counter is None or wait_drop(counter, 50) is None:
        return None, None
    return counter, shown(app, "pasek")


def judge(app):
    """Has every problem left judged: a wrong answer and Return on each while its bar has time,
    else the program. A wrong answer rather than an empty field: an Enter on an empty field right
    after the one before is taken for a bounce of the key and judges nothing."""
    counter, bar = first_problem(app)
    if counter is None or bar is None:
        return 1
    left = int(fresh_text(counter))
    while left > 0:
        if has_time(bar):
            type_text("x")
            press_key("Return")
        left = wait_drop(counter, left)
        if left is None:
            return 1
    return 0


def answer(app, op):
    """Types the right result of the problem on screen and presses Return, on the first problem
    whose bar has time for it."""
    counter, bar = first_problem(app)
    first = shown(app, "liczba1")
    if None in (counter, bar, first):
        return 1
    while True:
        left = int(fresh_text(counter))
        if has_time(bar):
            a, b = operands_of(first)
            result = {"+": a + b, "-": a - b, "*": a * b, "/": a // b if b else 0}[op]
            if int(fresh_text(counter)) == left:
                type_text(str(result))
                press_key("Return")
                return 0 if wait_drop(counter, left) is not None else 1
        if wait_drop(counter, left) is None:
            return 1


def main(argv):
    cmd = argv[1] if len(argv) > 1 else "dump"
    if cmd == "listen":
        return listen()
    if cmd == "listen-focus":
        return listen_focus()
    app = application()
    if cmd == "dump":
        for node, depth in walk(app):
            print("  " * depth + f"{node.getRoleName()} name={node.name!r} id={node.description!r}")
        return 0
    if cmd == "text":
        print(text_of(find(app, argv[2])))
        return 0
    if cmd == "name":
        print(find(app, argv[2]).name)
        return 0
    if cmd == "role":
        print(find(app, argv[2]).getRoleName())
        return 0
    if cmd == "value":
        print(fresh_value(find(app, argv[2])))
        return 0
    if cmd == "actions":
        action = find(app, argv[2]).queryAction()
        for i in range(action.nActions):
            print(action.getName(i))
        return 0
    if cmd == "press":
        press(find(app, argv[2]))
        return 0
    if cmd == "operands":
        # "33 plus 5 równa się", "12 podzielić przez 3 równa się": the first and the last number.
        numbers = [word for word in find(app, "liczba1").name.split() if word.lstrip("-").isdigit()]
        print(numbers[0], numbers[-1])
        return 0
    if cmd == "judge":
        return judge(app)
    if cmd == "answer":
        return answer(app, argv[2])
    if cmd in ("window", "active"):
        state = pyatspi.STATE_SHOWING if cmd == "window" else pyatspi.STATE_ACTIVE
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is not None and window.name == argv[2] and window.getState().contains(state):
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
