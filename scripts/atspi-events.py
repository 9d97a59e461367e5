#!/usr/bin/python3
"""Prints what a screen reader receives over AT-SPI from ソラニカ: every event
that 700, 9, 17, 5 and 計算 send, then those of a caution (6 days), the
main window's accessible tree, and the windows once the schedule is open.
Run through scripts/atspi-events.sh, which starts the desktop it needs."""
import sys
import time

import pyatspi
from gi.repository import GLib


def find(root, name, depth=0):
    if root is None or depth > 12:
        return None
    if root.name == name or (root.get_attributes() or {}).get("id") == name:
        return root
    for child in root:
        found = find(child, name, depth + 1)
        if found is not None:
            return found
    return None


def app_named(name):
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.1)
    sys.exit(f"no application {name} on the AT-SPI bus")


def describe(obj):
    try:
        return f"[{obj.getRoleName()}] {obj.name!r}"
    except Exception:
        return "[gone]"


events = []


def record(event):
    events.append(f"{event.type} detail={event.detail1} {describe(event.source)}")


def spin(seconds):
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        context.iteration(False)
        time.sleep(0.01)


def tree(obj, depth=0):
    print("  " * depth + describe(obj))
    for child in obj:
        tree(child, depth + 1)


def press(app, caption):
    button = next(o for o in pyatspi.findAllDescendants(app, lambda o: o.name == caption
                                                        and o.getRole() == pyatspi.ROLE_PUSH_BUTTON))
    button.queryAction().doAction(0)


def main():
    app = app_named("soranika")
    boxes = pyatspi.findAllDescendants(app, lambda o: o.getRole() == pyatspi.ROLE_TEXT
                                       and o.getState().contains(pyatspi.STATE_EDITABLE))
    by_name = {b.name: b for b in boxes}
    for event_type in ("object:", "window:"):
        pyatspi.Registry.registerEventListener(record, event_type)
    for name, text in (("時給", "700"), ("勤務時間 時から", "9"), ("勤務時間 時まで", "17"), ("週", "5")):
        by_name[name].queryEditableText().setTextContents(text)
    spin(1)
    events.clear()
    press(app, "計算")
    spin(2)
    print("== events after 計算 (700, 9 to 17, 5 days)")
    print("\n".join(events))
    by_name["週"].queryEditableText().setTextContents("6")
    spin(1)
    events.clear()
    press(app, "計算")
    spin(2)
    print("== events after 計算 with 6 days (caution)")
    print("\n".join(events))
    print("== the main window")
    tree(app)
    press(app, "勤務時間\u3000\u3000\u3000\u3000\u3000\u3000\u3000詳細設定")
    spin(2)
    print("== the windows, with the schedule open")
    for window in app:
        print(describe(window))


main()
