#!/usr/bin/python3
"""KDE's global shortcut daemon: every action of every component, with its keys.
Prints 'COMPONENT<TAB>ACTION<TAB>KEYS' a line, KEYS as Qt key codes in hex."""
import dbus

bus = dbus.SessionBus()
daemon = dbus.Interface(bus.get_object('org.kde.kglobalaccel', '/kglobalaccel'), 'org.kde.KGlobalAccel')
for path in daemon.allComponents():
    component = dbus.Interface(bus.get_object('org.kde.kglobalaccel', path), 'org.kde.kglobalaccel.Component')
    for info in component.allShortcutInfos():
        # (uniqueName, friendlyName, componentUniqueName, componentFriendlyName,
        #  contextUniqueName, contextFriendlyName, keys, defaultKeys)
        print(f'{info[2]}\t{info[0]}\t{",".join(hex(int(k)) for k in info[6])}')
