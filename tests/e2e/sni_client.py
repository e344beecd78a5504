#!/usr/bin/python3
"""Reads and drives the first tray item registered with the session's StatusNotifierWatcher, over
D-Bus as a panel does; its menu entries, those of submenus too, are found by their labels. Exits 1
when there is no item or no such entry.
usage: sni_client.py pid | tip | icon SIZE RGBA_FILE | state LABEL | click LABEL | activate"""

import sys

import dbus

PROPERTIES = "org.freedesktop.DBus.Properties"
ITEM = "org.kde.StatusNotifierItem"
WATCHER = "org.kde.StatusNotifierWatcher"

bus = dbus.SessionBus()


def item():
    watcher = bus.get_object(WATCHER, "/StatusNotifierWatcher")
    items = watcher.Get(WATCHER, "RegisteredStatusNotifierItems", dbus_interface=PROPERTIES)
    service, _, path = str(items[0]).partition("/")
    return service, bus.get_object(service, "/" + (path or "StatusNotifierItem"))


def shown(label):  # dbusmenu marks the underlined letter with "_", and a "_" of the text as "__"
    return "_".join(part.replace("_", "") for part in str(label).split("__"))


def entries(service, proxy):  # by label as shown and by its words before a date, submenus' too
    menu = bus.get_object(service, proxy.Get(ITEM, "Menu", dbus_interface=PROPERTIES))
    _, layout = menu.GetLayout(0, -1, [], dbus_interface="com.canonical.dbusmenu")
    found, todo = {}, [layout]
    while todo:
        for entry in todo.pop()[2]:
            label = shown(entry[1].get("label", ""))
            found[label] = found[label.split(", ")[0]] = entry
            todo.append(entry)
    return menu, found


def main(command, *args):
    service, proxy = item()
    if command == "pid":
        print(bus.get_object("org.freedesktop.DBus", "/").GetConnectionUnixProcessID(service))
    elif command == "tip":
        print(proxy.Get(ITEM, "ToolTip", dbus_interface=PROPERTIES)[2])
    elif command == "icon":  # the pixmap of that size, turned from ARGB into RGBA
        for width, _, argb in proxy.Get(ITEM, "IconPixmap", dbus_interface=PROPERTIES):
            if width == int(args[0]):
                argb = bytes(argb)
                rgba = bytearray(len(argb))
                rgba[0::4], rgba[1::4], rgba[2::4], rgba[3::4] = (argb[i::4] for i in (1, 2, 3, 0))
                open(args[1], "wb").write(rgba)
    elif command == "state":
        print(entries(service, proxy)[1][args[0]][1].get("toggle-state", ""))
    elif command == "click":
        menu, found = entries(service, proxy)
        menu.Event(found[args[0]][0], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                   dbus_interface="com.canonical.dbusmenu")
    elif command == "activate":
        proxy.Activate(0, 0, dbus_interface=ITEM)


try:
    main(*sys.argv[1:])
except (dbus.DBusException, IndexError, KeyError) as e:
    sys.exit(f"sni_client.py: {e!r}")
