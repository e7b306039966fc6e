#!/usr/bin/python3
# A screen reader's view of a drill, over AT-SPI: find the application
# "Sorabe" and its push button "はじめる", press it through its action, hear
# the countdown, then find the focused answer cell, check that its name
# names its two headers (and was renamed before the focus came), type an
# answer and hear it; then find the score list by its caption, give it the
# focus, open its menu with Shift+F10, open the chart from it ("成績グラフ…",
# a frame holding a described chart), close the chart and press "おわる".
# Prints what it heard; exits non-zero on the first thing that is wrong.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

heard = []  # (event type, source name, role, data)
focused_items = []  # the menu items that took the focus, as the events named them
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


# Asks `probe` every 200 ms until it finds something, then goes on with
# `then(found)`; fails when nothing was found within `seconds`.
def wait_for(what, probe, then, seconds=5):
    deadline = time.time() + seconds

    def tick():
        try:
            found = probe()
        except Exception:  # the tree is changing under the query
            found = None
        if found is None:
            if time.time() < deadline:
                return True
            fail("%s did not come" % what)
            return False
        try:
            then(found)
        except Exception as error:
            fail("%s: %r" % (what, error))
        return False

    GLib.timeout_add(200, tick)


def listener(event):
    try:
        name = event.source.name
        role = event.source.getRoleName()
    except Exception:
        name, role = "?", "?"
    data = event.any_data if isinstance(event.any_data, str) else ""
    heard.append((event.type, name, role, data))
    if event.type.startswith("object:state-changed:focused") and event.detail1 and role == "menu item":
        focused_items.append(name)


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
        step_score_list()
    except Exception as error:
        fail("after typing: %r" % error)
    return False


# The score list reads as its caption, which is its label; a click gives
# it the focus, and Shift+F10 opens its menu as the menu key does.
def step_score_list():
    scores = find(app, lambda o: o.getRoleName() == "list")
    if scores is None:
        return fail("no list on the bus")
    if scores.name != "100マス成績表":
        return fail("the score list is named %r, not by its caption" % scores.name)
    labels = [(t.getRoleName(), t.name) for r in scores.getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for t in (r.getTarget(i) for i in range(r.getNTargets()))]
    if labels != [("label", "100マス成績表")]:
        return fail("the score list is labelled by %r, not by its caption" % labels)
    x, y, width, height = scores.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2), "click", "1"], check=True)
    wait_for("the focus on the score list",
             lambda: scores if states(scores).contains(pyatspi.STATE_FOCUSED) else None, step_shift_f10)


# A popup menu is no child of the application on the bus: it is met, as a
# screen reader meets it, by the focus coming to its first item on Down.
def step_shift_f10(scores):
    subprocess.run(["xdotool", "key", "shift+F10"], check=True)
    time.sleep(0.5)
    subprocess.run(["xdotool", "key", "Down"], check=True)
    wait_for("the score list's menu after Shift+F10",
             lambda: True if "成績グラフ…" in focused_items else None, step_open_chart)


# The chart opened from the menu is a frame holding a chart that describes
# what it shows.
def step_open_chart(_):
    subprocess.run(["xdotool", "key", "Return"], check=True)
    wait_for("the chart window", lambda: next(
        (w for w in app if w is not None and w.name.startswith("成績グラフ")), None), step_chart)


def step_chart(window):
    role = window.getRoleName()
    chart = find(window, lambda o: o.getRoleName() == "chart")
    description = chart.description if chart is not None else ""
    close = find(window, lambda o: o.getRoleName() == "push button" and o.name == "閉じる")
    if close is not None:
        press(close)
    if role != "frame" or not description:
        return fail("the chart window: role %r, its chart's description %r"
                    " (a frame holding a described chart expected)" % (role, description))
    answer["chart"] = description
    press(end)
    GLib.timeout_add(500, lambda: pyatspi.Registry.stop())


GLib.timeout_add(300, step_press)
GLib.timeout_add(45000, lambda: fail("timed out"))
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
print("access: focused %r, countdown %r, typed %r; Shift+F10 opened the menu; the chart says %r"
      % (answer["name"], countdown, answer["digit"], answer["chart"]))
