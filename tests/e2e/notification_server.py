#!/usr/bin/python3
"""A desktop notification service for the tests: owns org.freedesktop.Notifications on the
session bus and writes every notification it is sent to a file, one JSON object a line.
usage: notification_server.py RECORD_FILE"""

import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"


class Server(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.record = record
        self.count = 0

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, timeout):
        self.count += 1
        with open(self.record, "a") as f:
            f.write(json.dumps({"app": str(app_name), "icon": str(app_icon),
                                "summary": str(summary), "body": str(body)}) + "\n")
        return dbus.UInt32(self.count)

    @dbus.service.method(NAME, out_signature="as")
    def GetCapabilities(self):
        return ["body"]

    @dbus.service.method(NAME, out_signature="ssss")
    def GetServerInformation(self):
        return ("test", "orvanta", "1", "1.2")


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName(NAME, bus)
server = Server(bus, sys.argv[1])
GLib.MainLoop().run()
