#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads one of Quillmark's windows through AT-SPI, as a screen reader does.

    atspi_tree.py WINDOW-NAME [--row TEXT]... [--open COMMAND...]

Prints the window's accessible tree (role and name, indented) and fails when
a control (button, toggle, picker, field, list or row) that shows has no
name, or when no row of a list reads TEXT and a time (HH:MM).

A popup window is not among the application's windows: with --open, the
script runs COMMAND and finds the window the keyboard focus lands in, as a
screen reader follows it.
"""
import re
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

R = Atspi.Role
CONTROLS = {
    R.PUSH_BUTTON, R.TOGGLE_BUTTON, R.CHECK_BOX, R.RADIO_BUTTON, R.COMBO_BOX,
    R.ENTRY, R.TEXT, R.PASSWORD_TEXT, R.SPIN_BUTTON, R.SLIDER, R.LINK,
    R.LIST, R.LIST_BOX, R.LIST_ITEM, R.TABLE_CELL, R.TREE_ITEM, R.PAGE_TAB,
    R.MENU_ITEM,
}
TIME = re.compile(r"\b\d{1,2}:\d{2}\b")


def find_window(name, seconds=15):
    deadline = time.monotonic() + seconds
    seen = set()
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is None or "quillmark" not in (app.get_name() or "").lower():
                continue
            for j in range(app.get_child_count()):
                window = app.get_child_at_index(j)
                if window is not None and window.get_name() == name:
                    return window
                if window is not None:
                    seen.add(window.get_name())
        time.sleep(0.2)
    print(f"Quillmark's windows: {sorted(seen)}")
    return None


def window_of_focus(name, command, seconds=15):
    found = []

    def on_event(event):
        node = event.source
        while node is not None and not found:
            try:
                parent = node.get_parent()
                # Qt gives a window the role of its top widget (a filler).
                if node.get_name() == name and parent is not None and \
                        parent.get_role() == R.APPLICATION:
                    found.append(node)
                    Atspi.event_quit()
                node = parent
            except GLib.Error:
                break

    listener = Atspi.EventListener.new(on_event)
    listener.register("object:state-changed:focused")
    listener.register("window:activate")
    subprocess.Popen(command)
    GLib.timeout_add_seconds(seconds, Atspi.event_quit)
    Atspi.event_main()
    return found[0] if found else None


def walk(node, depth, out):
    role = node.get_role()
    name = node.get_name() or ""
    states = node.get_state_set()
    showing = states.contains(Atspi.StateType.SHOWING)
    out.append((depth, role, name, showing, states.contains(Atspi.StateType.FOCUSED)))
    # A list's rows past the first few add nothing to the check.
    count = node.get_child_count()
    if role in (R.LIST, R.LIST_BOX):
        count = min(count, 12)
    for i in range(count):
        child = node.get_child_at_index(i)
        if child is not None:
            walk(child, depth + 1, out)


def main():
    args = sys.argv[1:]
    command = args[args.index("--open") + 1:] if "--open" in args else []
    if command:
        args = args[:args.index("--open")]
    name, rows = args[0], [args[i + 1] for i, a in enumerate(args) if a == "--row"]
    Atspi.init()
    window = window_of_focus(name, command) if command else find_window(name)
    if window is None:
        print(f"no window named {name!r} in Quillmark's accessible tree")
        return 1
    nodes = []
    walk(window, 0, nodes)
    failures = 0
    for depth, role, label, showing, focused in nodes:
        role_name = Atspi.role_get_name(role)
        print(f"{'  ' * depth}{role_name}: {label!r}{' (focused)' if focused else ''}")
        if role in CONTROLS and showing and not label.strip():
            print(f"{'  ' * depth}^ a {role_name} without a name")
            failures += 1
    items = [node[2] for node in nodes if node[1] in (R.LIST_ITEM, R.TABLE_CELL)]
    for text in rows:
        if not any(text in label and TIME.search(label) for label in items):
            print(f"no row reads {text!r} with its time")
            failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
