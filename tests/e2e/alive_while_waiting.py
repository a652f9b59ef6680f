#!/usr/bin/python3
# The zentrel program on a virtual display (Xvfb), against zentrel-sim on a pseudo-terminal, while
# a connect waits: it paints, its board can be read over the accessibility bus, clicks made on it
# are thrown away, and a close request or SIGTERM waits for the command to end.
# Arguments: the zentrel and zentrel-sim programs. Exits with 77 (skipped) without Xvfb.
import json, os, shutil, signal, subprocess, sys, tempfile, time

if not shutil.which("Xvfb"):
    print("SKIP: Xvfb is not installed, so there is no display to run the window on")
    sys.exit(77)
if "ZENTREL_PRIVATE_BUS" not in os.environ:
    os.environ["ZENTREL_PRIVATE_BUS"] = "1"
    os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])

import pyatspi
from Xlib import X, display as xdisplay
from Xlib.ext import xtest
from Xlib.protocol import event

zentrel, sim = sys.argv[1:3]
scratch = tempfile.TemporaryDirectory()
work = scratch.name
failures, started = [], []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}:\n  got  {got}\n  want {want}")


def start_display():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
                              pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    os.environ["DISPLAY"] = ":" + os.read(read, 16).decode().strip()
    return server


def wait_for(what, probe, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.05)
    raise SystemExit(f"FAIL: {what} within {seconds} s")


def find_window(x):
    for w in x.screen().root.query_tree().children:
        if w.get_wm_name() == "Zentrel" and w.get_wm_class() and w.get_attributes().map_state == X.IsViewable:
            return w


def accessible(app_name, role, name=None):
    for app in pyatspi.Registry.getDesktop(0):
        if app and app.name == app_name:
            return pyatspi.findDescendant(app, lambda a: a.getRole() == role and name in (None, a.name))


def centre(a):
    box = a.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def click(x, point):
    xtest.fake_input(x, X.MotionNotify, x=point[0], y=point[1])
    xtest.fake_input(x, X.ButtonPress, 1)
    xtest.fake_input(x, X.ButtonRelease, 1)
    x.sync()


def pixels(w):
    geometry = w.get_geometry()
    return w.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF).data


def run(name, sim_options, during):
    """Starts zentrel against zentrel-sim, clicks Connect and calls during(); what it left behind."""
    log = os.path.join(work, name + ".sim")
    unit = subprocess.Popen([sim, "--log", log, *sim_options], stdout=subprocess.PIPE, text=True)
    started.append(unit)
    board = os.path.join(work, name + ".board")
    program = subprocess.Popen([zentrel, "--log", board],
                               env=dict(os.environ, ZENTREL_COM1=unit.stdout.readline().strip(), QT_QPA_PLATFORM="xcb",
                                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_RUNTIME_DIR=work))
    started.append(program)
    x = xdisplay.Display()
    window = wait_for("the window appears", lambda: find_window(x), 10)
    # The accessibility bus starts with the program; on a loaded machine it takes its time.
    buttons = {n: centre(wait_for(n, lambda: accessible("Zentrel", pyatspi.ROLE_PUSH_BUTTON, n), 30))
               for n in ("Connect", "Update")}
    click(x, buttons["Connect"])
    wait_for("the connect starts", lambda: os.path.exists(board) and "Connecting" in open(board).read(), 5)
    during(program, x, window, buttons)
    try:
        status = program.wait(30)
    except subprocess.TimeoutExpired:
        program.kill()
        status = "still running"
    unit.terminate()
    unit.wait()
    lines = [line[25:] for line in open(board).read().splitlines()]
    return status, lines, [json.loads(line)["hex"] for line in open(log) if '">"' in line]


def covered_clicked_and_closed(program, x, window, buttons):
    # The board over the accessibility bus, answered while the command waits.
    pyatspi.setTimeout(1000, 1000)
    try:
        board = [item.name for item in accessible("Zentrel", pyatspi.ROLE_LIST)]
    except Exception as error:  # no answer within the timeout
        board = repr(error)
    check("the board read during the command", board, ["Connecting..."])
    # Another window mapped over it and taken away again: painted as before within a second.
    before = pixels(window)
    geometry = window.get_geometry()
    origin = window.translate_coords(x.screen().root, 0, 0)
    cover = x.screen().root.create_window(-origin.x, -origin.y, geometry.width, geometry.height, 0, X.CopyFromParent,
                                          background_pixel=0xFF00FF, override_redirect=True)
    cover.map()
    x.sync()
    time.sleep(0.3)
    cover.unmap()
    x.sync()
    end = time.monotonic() + 1
    while pixels(window) != before and time.monotonic() < end:
        time.sleep(0.05)
    check("the window's pixels a second after it was uncovered equal those before", pixels(window) == before, True)
    click(x, buttons["Connect"])
    click(x, buttons["Update"])
    protocols, delete = x.intern_atom("WM_PROTOCOLS"), x.intern_atom("WM_DELETE_WINDOW")
    window.send_event(event.ClientMessage(window=window, client_type=protocols, data=(32, [delete, 0, 0, 0, 0])))
    x.sync()


started.append(start_display())
try:
    silent = ["AB 01 FF 55"] + ["AB 01 40 14"] * 6 + ["AB 04 CF 5A C3 17 4E"] + ["AB 01 A0 B4"] * 6
    check("closed during a connect to a silent unit", run("closed", ["--silent"], covered_clicked_and_closed),
          (0, ["", "Connecting...", "NO UPS Found", "Done"], silent))
    connect = ["AB 01 FF 55", "AB 01 40 14", "AB 04 CF 5A C3 17 4E", "AB 01 A0 B4", "AB 01 36 1E",
               "AB 04 FF 06 08 62 E2", "AB 01 40 14"]
    # The shutdown's disconnect: the opening command on the wire, its two lines on the board.
    check("SIGTERM during a connect", run("terminated", [], lambda program, *_: program.send_signal(signal.SIGTERM)),
          (0, ["", "Connecting...", "UPS Found", "Done", "", "Disconnecting...", "Complete"],
           connect + ["AB 01 FF 55"]))
finally:
    for process in started:
        process.kill()
print("\n".join(failures) or "PASS")
sys.exit(1 if failures else 0)
