#!/usr/bin/python3
"""KWin as a test sees it, over D-Bus.
kwin.py windows LOG          the windows: caption, class (Wayland app id), minimised, active
kwin.py activate LOG CAPTION activates the first window whose caption starts with CAPTION
kwin.py shot OUT.png         a screenshot of the whole screen (KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1)
A KWin script does the work; what it prints lands in KWin's log (LOG), marked with a tag of its own."""
import json
import os
import subprocess
import sys
import tempfile
import time
import uuid

import dbus

bus = dbus.SessionBus()


def run_script(log, body):
    tag = 'OVLIXTEST' + uuid.uuid4().hex[:8]
    js = ('var tag = "%s"; var out = []; var list = workspace.clientList();\n' % tag + body +
          '\nprint(tag + JSON.stringify(out));\n')
    with tempfile.NamedTemporaryFile('w', suffix='.js', delete=False) as f:
        f.write(js)
    scripting = dbus.Interface(bus.get_object('org.kde.KWin', '/Scripting'), 'org.kde.kwin.Scripting')
    try:
        sid = int(scripting.loadScript(f.name, tag, signature='ss'))
        # KWin 5 names a loaded script /N, KWin 6 /Scripting/ScriptN
        for path in (f'/{sid}', f'/Scripting/Script{sid}'):
            try:
                dbus.Interface(bus.get_object('org.kde.KWin', path), 'org.kde.kwin.Script').run()
                break
            except dbus.DBusException:
                continue
        for _ in range(50):
            with open(log, errors='replace') as lf:
                for line in lf:
                    if tag in line:
                        return json.loads(line[line.index(tag) + len(tag):].strip().strip('"').replace('\\"', '"'))
            time.sleep(0.1)
        sys.exit('KWin script printed nothing')
    finally:
        scripting.unloadScript(tag)
        os.unlink(f.name)


WINDOW = ('out.push({caption: c.caption, cls: c.resourceClass, minimized: c.minimized,'
          ' active: workspace.activeClient === c, x: c.frameGeometry.x, y: c.frameGeometry.y,'
          ' w: c.frameGeometry.width, h: c.frameGeometry.height});')

cmd = sys.argv[1]
if cmd == 'windows':
    for w in run_script(sys.argv[2], 'for (var i = 0; i < list.length; ++i) { var c = list[i]; %s }' % WINDOW):
        print(f"{w['caption']}\t{w['cls']}\tminimized={str(w['minimized']).lower()}\tactive={str(w['active']).lower()}"
              f"\t{w['x']},{w['y']} {w['w']}x{w['h']}")
elif cmd == 'activate':
    found = run_script(sys.argv[2], 'for (var i = 0; i < list.length; ++i) { var c = list[i];'
                       ' if (c.caption.indexOf(%s) === 0) { workspace.activeClient = c; %s break; } }'
                       % (json.dumps(sys.argv[3]), WINDOW))
    sys.exit(0 if found else 1)
elif cmd == 'shot':
    r, w = os.pipe()
    shot = dbus.Interface(bus.get_object('org.kde.KWin', '/org/kde/KWin/ScreenShot2'), 'org.kde.KWin.ScreenShot2')
    meta = shot.CaptureActiveScreen({'include-cursor': dbus.Boolean(False)}, dbus.types.UnixFd(w), timeout=30)
    os.close(w)
    data = b''
    while chunk := os.read(r, 1 << 20):
        data += chunk
    os.close(r)
    width, height, stride = int(meta['width']), int(meta['height']), int(meta['stride'])
    # a QImage in ARGB32 or RGB32: BGRA bytes on a little-endian machine
    rows = b''.join(data[y * stride:y * stride + width * 4] for y in range(height))
    subprocess.run(['convert', '-size', f'{width}x{height}', '-depth', '8', 'bgra:-', '-alpha', 'off', sys.argv[2]],
                   input=rows, check=True)
else:
    sys.exit(__doc__)
