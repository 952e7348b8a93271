#!/usr/bin/python3
# Stands for logind on a private system bus for the system tests: each
# request of the program is written to a log, and nothing happens.
# Usage: fake_logind.py BUS-ADDRESS LOG
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(sys.argv[1])
log = open(sys.argv[2], "a", buffering=1)


class Manager(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="b")
    def PowerOff(self, interactive):
        log.write("PowerOff\n")

    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="b")
    def Reboot(self, interactive):
        log.write("Reboot\n")


class Session(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Session")
    def Terminate(self):
        log.write("Terminate\n")


name = dbus.service.BusName("org.freedesktop.login1", bus)
Manager(bus, "/org/freedesktop/login1")
Session(bus, "/org/freedesktop/login1/session/auto")
log.write("ready\n")
GLib.MainLoop().run()
