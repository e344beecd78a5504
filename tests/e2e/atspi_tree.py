"""The running program's tree as AT-SPI shows it to a screen reader."""

import pyatspi


def walk(node, depth=0):
    yield node
    if depth < 12:
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                yield from walk(child, depth + 1)


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    apps = (desktop.getChildAtIndex(i) for i in range(desktop.childCount))
    return next((app for app in apps if app is not None and app.name == "orvanta"), None)
