#!/usr/bin/python3
"""A program's widgets through the accessibility bus (AT-SPI), as a screen
reader sees them: works alike under every compositor.
atspi.py PID dump             the tree: role, name, showing or not
atspi.py PID find NAME        succeeds when a showing accessible is named NAME; prints its role
atspi.py PID press NAME [WITHIN]  does the first action of the first accessible named NAME (a click),
                              inside the window named WITHIN if given"""
import sys

import gi

gi.require_version('Atspi', '2.0')
from gi.repository import Atspi  # noqa: E402


def application(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except gi.repository.GLib.Error:
            continue
    sys.exit(f'process {pid} is not on the accessibility bus')


def walk(node, depth=0):
    yield depth, node
    try:
        count = node.get_child_count()
    except gi.repository.GLib.Error:
        return
    for i in range(count):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child, depth + 1)


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


pid, cmd = int(sys.argv[1]), sys.argv[2]
app = application(pid)
if cmd == 'dump':
    for depth, node in walk(app):
        print('  ' * depth + f'[{node.get_role_name()}] {node.get_name()!r}' + (' showing' if showing(node) else ''))
elif cmd == 'find':
    for _, node in walk(app):
        if node.get_name() == sys.argv[3] and showing(node):
            print(node.get_role_name())
            sys.exit(0)
    sys.exit(1)
elif cmd == 'press':
    root = app
    if len(sys.argv) > 4:  # only inside the window named WITHIN (a dialog, say)
        windows = (app.get_child_at_index(i) for i in range(app.get_child_count()))
        root = next((w for w in windows if w is not None and w.get_name() == sys.argv[4]), None)
        if root is None:
            sys.exit(f'no window named {sys.argv[4]!r}')
    for _, node in walk(root):
        if node.get_name() == sys.argv[3] and node.get_n_actions() > 0:
            print('pressing', node.get_role_name(), repr(sys.argv[3]), flush=True)
            node.do_action(0)
            sys.exit(0)
    sys.exit(f'nothing to press named {sys.argv[3]!r}')
else:
    sys.exit(__doc__)
