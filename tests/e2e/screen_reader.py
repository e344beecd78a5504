#!/usr/bin/python3
"""Reads the running program through AT-SPI as a screen reader does: the application, its four
boxes with their names and texts, the diagram's description, the windows, list items and tool
tips; then listens to what it is told while the clock runs and reads the boxes again.
usage: screen_reader.py SECONDS_TO_LISTEN   (prints what it found, one fact a line)"""

import sys

import pyatspi
from atspi_tree import find_app, walk
from gi.repository import GLib


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return None


app = find_app()
if app is None:
    print("no application named orvanta")
    sys.exit(1)
titles = ["Current Time", "Distance to Mars", "Size & Brightness", "Closest Approach"]
nodes = {n.name: n for n in walk(app) if n.name in titles}
for title in titles:
    node = nodes.get(title)
    print(f"box {title}: {text_of(node) if node else None}")
for node in walk(app):
    if node.getRoleName() == "image":
        print(f"image {node.name}: {node.description}")
    if node.getRoleName() == "frame":
        print(f"window {node.name}: {node.description}")
    if node.getRoleName() in ("list item", "tool tip"):
        print(f"{node.getRoleName()} {node.name}")

told = {title: 0 for title in titles}


def on_text_changed(event):
    if event.source.name in told:
        told[event.source.name] += 1


# A new text comes as a deletion of the old and an insertion of the new: the insertions count.
pyatspi.Registry.registerEventListener(on_text_changed, "object:text-changed:insert")
GLib.timeout_add_seconds(int(sys.argv[1]), pyatspi.Registry.stop)
pyatspi.Registry.start()
for title in titles:
    print(f"told {title}: {told[title]}")
    print(f"box later {title}: {text_of(nodes[title]) if title in nodes else None}")
