#!/usr/bin/python3
"""End to end, the real viewer under a private X server and a private D-Bus
session with the assistive-technology bus: a screen reader's view of the
window (names and values over AT-SPI), and a copy read back from the X
clipboard with xclip, as another program would paste it.

Usage: desktop_working_aids.py --binary PATH --file TRANSFER_FILE
"""

import argparse
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

APP_NAME = "morvask-betrachter"
OBJECT_LIST_HEADINGS = ["Nr.", "Proben-ID des Labors Feld 3", "Entnahmestelle Feld 14", "Probenahme Feld 22",
                        "Vers.-Gebiet Feld 25", "Zust. GA Feld 35"]
# (accessible name, field number) of a few value boxes
VALUE_BOXES = [("Entnahmestelle, Kurzbez., Feld 16", 16), ("Entnahmestelle, Bezeich., Feld 15", 15),
               ("Betreiber (WVU), Fax, Feld 12", 12), ("Probe-Daten, Proben-ID des Labors, Feld 3", 3)]


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, probe, timeout=30):
    """Polls probe until it returns something true, within the deadline."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = probe()
        if value:
            return value
        time.sleep(0.2)
    raise Failure("timed out waiting for " + what)


def read_line(process, timeout=20):
    ready, _, _ = select.select([process.stdout], [], [], timeout)
    check(ready, "no answer from %s" % process.args[0])
    return process.stdout.readline().decode().strip()


def first_examination(path):
    """Fields of the file's first examination, decoded as the window shows them."""
    with open(path, "rb") as f:
        lines = f.read().splitlines()
    fields = []
    for line in lines[:2]:
        parts = line.split(b"|")
        if parts and parts[-1] == b"":
            parts.pop()
        fields += [p.strip(bytes(range(33))).decode("cp1252") for p in parts]
    return fields


def start_session(env):
    """Xvfb, a private session bus and the accessibility bus on it."""
    processes = []
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten",
                             "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    processes.append(xvfb)
    os.close(write_end)
    number = b""
    deadline = time.time() + 20
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.time()))
        chunk = os.read(read_end, 16) if ready else b""
        check(chunk, "Xvfb did not start")
        number += chunk
    os.close(read_end)
    env["DISPLAY"] = ":" + number.decode().strip()

    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    processes.append(bus)
    env["DBUS_SESSION_BUS_ADDRESS"] = read_line(bus)
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    processes.append(launcher)
    return processes


def walk(node, depth=0):
    """Every accessible below node, but not the cells of tables."""
    yield node
    if depth > 30 or node.getRoleName() == "table":
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def find_application(pyatspi):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == APP_NAME:
            return app
    return None


def check_accessible_tree(pyatspi, fields):
    app = wait_for("the viewer on the accessibility bus", lambda: find_application(pyatspi))

    def tree():
        nodes = list(walk(app))
        names = {n.name: n for n in nodes}
        return names if all(name in names for name, _ in VALUE_BOXES) else None

    names = wait_for("the value boxes in the accessible tree", tree)
    for name, field in VALUE_BOXES:
        text = names[name].queryText()
        shown = text.getText(0, text.characterCount)
        check(shown == fields[field - 1], "%s reads %r, expected %r" % (name, shown, fields[field - 1]))

    table = names.get("\u00dcbermittelte Objekte")
    check(table is not None and table.getRoleName() == "table", "no examination list table")
    cells = table.queryTable()
    headings = [cells.getColumnDescription(col) for col in range(cells.nColumns)]
    check(headings == OBJECT_LIST_HEADINGS, "column headings %r" % headings)
    first = cells.getAccessibleAt(0, 1)
    check(first.name == fields[2], "first examination's cell reads %r" % first.name)
    for name, role in (("OK", "push button"), ("Hilfe / Nutzungsbedingungen", "push button")):
        check(name in names and names[name].getRoleName() == role, "no %s %r" % (role, name))


def xdotool(env, *args):
    return subprocess.run(["xdotool"] + list(args), capture_output=True, text=True, timeout=20,
                          env=env).stdout.strip()


def clipboard(env):
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, timeout=20, env=env)
    return result.stdout.decode("utf-8", errors="replace") if result.returncode == 0 else ""


def check_copy(env, viewer, fields):
    window = wait_for("the viewer's window",
                      lambda: xdotool(env, "search", "--onlyvisible", "--pid", str(viewer.pid)).split()[:1])[0]
    # Focus is on the examination list, its first row selected.
    xdotool(env, "windowfocus", "--sync", window)
    xdotool(env, "key", "--window", window, "ctrl+c")
    row = "\t".join(["1", fields[2], fields[13], fields[21], fields[24], fields[34]])
    expected = "\t".join(OBJECT_LIST_HEADINGS) + "\n" + row + "\n"
    copied = wait_for("the copied row on the X clipboard", lambda: clipboard(env) or None)
    check(copied == expected, "clipboard holds %r, expected %r" % (copied, expected))
    xdotool(env, "key", "--window", window, "Escape")
    check(viewer.wait(timeout=20) == 0, "viewer ended with status %s" % viewer.returncode)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--file", required=True)
    options = parser.parse_args()
    for tool in ("Xvfb", "dbus-daemon", "xdotool", "xclip", "/usr/libexec/at-spi-bus-launcher"):
        if shutil.which(tool) is None:
            print("missing %s (scripts/install-deps installs it)" % tool, file=sys.stderr)
            return 1

    home = tempfile.mkdtemp(prefix="morvask-home-")
    runtime = tempfile.mkdtemp(prefix="morvask-runtime-")
    os.chmod(runtime, 0o700)
    env = {k: v for k, v in os.environ.items()
           if not k.startswith(("QT_", "XDG_", "WAYLAND", "DBUS_", "AT_SPI")) and k not in ("DISPLAY", "HOME")}
    env.update({"HOME": home, "XDG_RUNTIME_DIR": runtime, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                "QT_ACCESSIBILITY": "1", "NO_AT_BRIDGE": "0"})
    processes = []
    viewer = None
    try:
        processes = start_session(env)
        os.environ.update({k: env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR")})
        viewer = subprocess.Popen([options.binary, options.file], env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.PIPE)
        fields = first_examination(options.file)
        import pyatspi  # after the session bus exists: it connects on import
        check_accessible_tree(pyatspi, fields)
        check_copy(env, viewer, fields)
    except Failure as failure:
        print("FAIL: %s" % failure, file=sys.stderr)
        return 1
    finally:
        if viewer is not None and viewer.poll() is None:
            viewer.kill()
            viewer.wait()
        for process in reversed(processes):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(home, ignore_errors=True)
        shutil.rmtree(runtime, ignore_errors=True)
    print("PASS: accessible names and values, copy to the X clipboard")
    return 0


if __name__ == "__main__":
    sys.exit(main())
