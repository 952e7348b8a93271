#!/usr/bin/python3
"""Runs KWin with XWayland on a free X display, as KWin's own wrapper does:
the display's sockets are opened here and handed over (--xwayland-fd), so
XWayland starts when the first X client connects.
Usage: x_display.py DISPLAY-FILE COMMAND...  (the display, ':N', is written to DISPLAY-FILE)"""
import os
import socket
import sys

out, cmd = sys.argv[1], sys.argv[2:]
for n in range(60, 200):
    lock = f'/tmp/.X{n}-lock'
    try:
        fd = os.open(lock, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
    except FileExistsError:
        continue
    if os.path.exists(f'/tmp/.X11-unix/X{n}'):
        os.close(fd)
        os.unlink(lock)
        continue
    os.write(fd, b'%10d\n' % os.getpid())
    os.close(fd)
    break
else:
    sys.exit('no free X display')
os.makedirs('/tmp/.X11-unix', exist_ok=True)
for path in (f'/tmp/.X11-unix/X{n}', f'\0/tmp/.X11-unix/X{n}'):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.bind(path)
    s.listen(16)
    fd = s.detach()
    os.set_inheritable(fd, True)
    cmd += ['--xwayland-fd', str(fd)]
cmd += ['--xwayland-display', f':{n}']
with open(out, 'w') as f:
    f.write(f':{n}\n')
# the lock and the socket file go with this process's image: KWin removes neither
os.execvp(cmd[0], cmd)
