#!/usr/bin/python3
# A screen reader's view of a drill, over AT-SPI: find the application
# "Sorabe" and its push button "はじめる", press it through its action, hear
# the countdown, then find the focused answer cell, check that its name
# names its two headers (and was renamed before the focus came), type an
# answer and hear it, and press "おわる".
# Prints what it heard; exits non-zero on the first thing that is wrong.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

heard = []  # (event type, source name, role, data)
failure = []


def fail(message):
    failure.append(message)
    pyatspi.Registry.stop()


def find(root, predicate, depth=0):
    if depth > 6:
        return None
    for child in root:
        if child is None:
            continue
        if predicate(child):
            return child
        found = find(child, predicate, depth + 1)
        if found is not None:
            return found
    return None


def application():
    deadline = time.time() + 15
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "Sorabe":
                return app
        time.sleep(0.2)
    return None


def text_of(obj):
    text = obj.queryText()
    return text.getText(0, text.characterCount)


def states(obj):
    return obj.getState()


def press(obj):
    action = obj.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for i, name in enumerate(names):
        if name.lower() == "press":
            action.doAction(i)
            return
    raise RuntimeError("no press action among %r" % names)


def listener(event):
    try:
        name = event.source.name
        role = event.source.getRoleName()
    except Exception:
        name, role = "?", "?"
    data = event.any_data if isinstance(event.any_data, str) else ""
    heard.append((event.type, name, role, data))


app = application()
if app is None:
    print("FAIL: no application named Sorabe on the bus", file=sys.stderr)
    sys.exit(1)

for kind in ("object:property-change:accessible-name", "object:state-changed:focused",
             "object:text-changed:insert"):
    pyatspi.Registry.registerEventListener(listener, kind)

start = find(app, lambda o: o.getRoleName() == "push button" and o.name == "はじめる")
end = find(app, lambda o: o.getRoleName() == "push button" and o.name == "おわる")
if start is None or end is None:
    print("FAIL: the push buttons はじめる and おわる are not on the bus", file=sys.stderr)
    sys.exit(1)


answer = {}


def step_press():
    press(start)
    answer["deadline"] = time.time() + 10
    GLib.timeout_add(3200, step_after_countdown)
    return False


# The countdown takes three seconds; on a busy machine a little longer.
def step_after_countdown():
    try:
        focused = find(app, lambda o: states(o).contains(pyatspi.STATE_FOCUSED))
        is_cell = focused is not None and focused.getRoleName() == "text"
        if not is_cell and time.time() < answer["deadline"]:
            return True  # ask again
        if focused is None:
            return fail("nothing is focused after the countdown")
        if not is_cell or not states(focused).contains(pyatspi.STATE_EDITABLE):
            return fail("the focus is on %s %r, not an editable text" % (focused.getRoleName(), focused.name))
        top = find(app, lambda o: o.name == "うえの 1ばんめ" and o.getRoleName() == "label")
        left = find(app, lambda o: o.name == "ひだりの 1ばんめ" and o.getRoleName() == "label")
        x, y = text_of(top), text_of(left)
        if not (x.isdigit() and y.isdigit()):
            return fail("headers not drawn: %r %r" % (x, y))
        if focused.name != "%s たす %s" % (x, y):
            return fail("focused cell is named %r; headers are %r and %r" % (focused.name, x, y))
        answer["cell"] = focused
        answer["name"] = focused.name
        answer["digit"] = str((int(x) + int(y)) % 10)
        subprocess.run(["xdotool", "type", answer["digit"]], check=True)
        answer["deadline"] = time.time() + 5
        GLib.timeout_add(250, step_after_typing)
    except Exception as error:  # an AT-SPI call failed
        fail("after the countdown: %r" % error)
    return False


def step_after_typing():
    try:
        shown = text_of(answer["cell"])
        if shown != answer["digit"] and time.time() < answer["deadline"]:
            return True
        if shown != answer["digit"]:
            return fail("typed %r, the cell reads %r" % (answer["digit"], shown))
        press(end)
    except Exception as error:
        fail("after typing: %r" % error)
    GLib.timeout_add(500, lambda: pyatspi.Registry.stop())
    return False


GLib.timeout_add(300, step_press)
GLib.timeout_add(30000, lambda: fail("timed out"))
pyatspi.Registry.start()

for event in heard:
    print("heard:", *event)
if failure:
    print("FAIL:", failure[0], file=sys.stderr)
    sys.exit(1)

countdown = [name for (kind, name, role, data) in heard
             if kind.endswith("accessible-name") and role == "label" and name in ("3", "2", "1", "0")]
if countdown[:2] != ["2", "1"] or "0" in countdown:
    print("FAIL: the countdown was heard as %r" % countdown, file=sys.stderr)
    sys.exit(1)
focus = [i for i, (kind, name, role, data) in enumerate(heard)
         if kind.startswith("object:state-changed:focused") and name == answer["name"]]
renamed = [i for i, (kind, name, role, data) in enumerate(heard)
           if kind.endswith("accessible-name") and name == answer["name"]]
if not focus:
    print("FAIL: no focus event for the cell %r" % answer["name"], file=sys.stderr)
    sys.exit(1)
if not renamed or renamed[0] > focus[0]:
    print("FAIL: the cell %r was not renamed before it got the focus" % answer["name"], file=sys.stderr)
    sys.exit(1)
if not any(kind.startswith("object:text-changed:insert") and data == answer["digit"]
           for (kind, name, role, data) in heard):
    print("FAIL: typing %r was not heard" % answer["digit"], file=sys.stderr)
    sys.exit(1)
print("access: focused %r, countdown %r, typed %r" % (answer["name"], countdown, answer["digit"]))
