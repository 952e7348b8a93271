#!/usr/bin/python3
"""The tray as a panel sees it (StatusNotifierItem over D-Bus).
tray.py items             each registered item: its process, Id and Menu
tray.py menu PID          the labels of the DBusMenu of process PID's item, one a line (fails without a real menu)
tray.py activate PID      calls the Activate of process PID's item, as a left click on the icon does"""
import sys

import dbus

bus = dbus.SessionBus()
ITEM = 'org.kde.StatusNotifierItem'


def items():
    watcher = bus.get_object('org.kde.StatusNotifierWatcher', '/StatusNotifierWatcher')
    names = watcher.Get('org.kde.StatusNotifierWatcher', 'RegisteredStatusNotifierItems',
                        dbus_interface='org.freedesktop.DBus.Properties')
    for entry in map(str, names):
        service, slash, path = entry.partition('/')
        obj = bus.get_object(service, '/' + path if slash else '/StatusNotifierItem')
        props = obj.GetAll(ITEM, dbus_interface='org.freedesktop.DBus.Properties')
        pid = int(bus.get_object('org.freedesktop.DBus', '/org/freedesktop/DBus').GetConnectionUnixProcessID(
            service, dbus_interface='org.freedesktop.DBus'))
        yield obj, pid, str(props.get('Id', '')), str(props.get('Menu', ''))


def find(wanted):
    for obj, pid, _, menu in items():
        if pid == int(wanted):
            return obj, menu
    sys.exit(f'process {wanted} has no tray item')


def labels(layout, out):
    _, props, children = layout
    if 'label' in props:
        out.append(str(props['label']))
    for child in children:
        labels(child, out)
    return out


cmd = sys.argv[1] if len(sys.argv) > 1 else ''
if cmd == 'items':
    for _, pid, ident, menu in items():
        print(f'pid={pid}\tid={ident}\tmenu={menu}')
elif cmd == 'menu':
    obj, menu = find(sys.argv[2])
    if not menu.startswith('/') or menu == '/NO_DBUSMENU':
        sys.exit(f'the item has no DBusMenu: Menu = {menu!r}')
    dbusmenu = dbus.Interface(bus.get_object(obj.bus_name, menu), 'com.canonical.dbusmenu')
    dbusmenu.AboutToShow(0)
    _, layout = dbusmenu.GetLayout(0, -1, [])
    found = labels(layout, [])
    print('\n'.join(found))
    sys.exit(0 if found else 1)
elif cmd == 'activate':
    obj, _ = find(sys.argv[2])
    dbus.Interface(obj, ITEM).Activate(dbus.Int32(1200), dbus.Int32(790))
else:
    sys.exit(__doc__)
