#!/usr/bin/env python3
"""End-to-end runs of the real viewer under a private X server, driven with
xdotool the way a user would drive it: start it on a file (or through the open
dialog), look at the window, press a key, and check that it ended with
status 0. The state of the window is read from its title and from a pixel of
the red error panel (xwd). Every run gets an empty home folder, which must
still be empty afterwards: the viewer writes no files and keeps no settings.
Cases marked as framed run on a second X server under openbox and check where
the windows and their frames stand (xwininfo). Every wait polls for a state
of the windows until a deadline, never for a fixed time.

Usage: desktop_run.py --binary PATH [--shots FOLDER]
"""

import argparse
import os
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

TITLE_CREATED = "Morvask-Betrachter"
TITLE_DIALOG = "Morvask-Betrachter  -  Schnittstellen-Datei öffnen ..."
TITLE_ERROR_BOX = "morvask-betrachter"  # the program file's name
TITLE_HELP = "Hilfe und Informationen zum Programm"
TITLE_PRINT = "Drucken"
ERROR_RED = (255, 0, 0)
# A point of the error panel left of its text box, in window coordinates; in
# the data view it shows the window's own background, like the top left corner.
ERROR_PANEL_POINT = (8, 300)
BACKGROUND_POINT = (2, 2)

CRLF = b"\r\n"
HEADER1 = b"1|E|" + b"|".join(b"f%d" % n for n in range(3, 33)) + b"|"
HEADER2 = b"2|MATW|" + b"|".join(b"f%d" % n for n in range(35, 43)) + b"|"
PARAMETER = b"2|" + b"|".join(b"p%d" % n for n in range(44, 54)) + b"|"
GOOD = CRLF.join([HEADER1, HEADER2, PARAMETER, PARAMETER, b"3|2"]) + CRLF
# The second parameter line lacks its final "|": two findings.
FAULTY = CRLF.join([HEADER1, HEADER2, PARAMETER, PARAMETER[:-1], b"3|2"]) + CRLF

GOOD_NAME = "ABCD_070312_143005.DAT"
FAULTY_NAME = "ABCD_EFGH_071231_235959.DAT"


def opened_title(path):
    return "Morvask-Betrachter 1.0  -  '%s'" % path


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class XServer:
    """A private Xvfb; the display number is the one it picks itself."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + 20
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.time()))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                self.process.kill()
                raise Failure("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()


def poll(condition, timeout, interval=0.1):
    """Calls condition until it returns something true or the time is up;
    returns its last result."""
    deadline = time.time() + timeout
    while True:
        result = condition()
        if result or time.time() > deadline:
            return result
        time.sleep(interval)


def x_tool(display, *args):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=20,
                          env=dict(os.environ, DISPLAY=display)).stdout


class WindowManager:
    """openbox on a private X server, ready once it names its check window on
    the root window; it runs with an empty home, so with its stock settings."""

    running = {}  # by display

    def __init__(self, display):
        self.display = display
        # Under heavy load a first start can miss its deadline: one more try.
        reasons = []
        for _ in range(2):
            reason = self.start()
            if reason is None:
                WindowManager.running[display] = self
                return
            reasons.append(reason)
        raise Failure("openbox did not start: " + "; then ".join(reasons))

    def start(self):
        """Starts openbox with a fresh home; None once it is ready, else why not."""
        self.home = tempfile.mkdtemp(prefix="morvask-wm-")
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update({"DISPLAY": self.display, "HOME": self.home})
        self.env = env
        self.process = subprocess.Popen(["openbox", "--sm-disable"], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        timeout = 20
        ready = poll(lambda: self.process.poll() is not None or "window id #" in x_tool(
            self.display, "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), timeout)
        status = self.process.poll()
        if ready and status is None:
            return None
        self.close()
        said = self.process.stderr.read().decode(errors="replace").strip()
        if status is None:
            return "not ready after %d s (%s)" % (timeout, said or "it said nothing")
        return "it ended with status %d (%s)" % (status, said or "it said nothing")

    def use_theme(self, name):
        """Switches to the named theme, or back to the stock settings."""
        settings = os.path.join(self.home, ".config", "openbox", "rc.xml")
        if name:
            with open("/etc/xdg/openbox/rc.xml") as stock:
                text = stock.read()
            start = text.index("<name>", text.index("<theme>")) + len("<name>")
            os.makedirs(os.path.dirname(settings), exist_ok=True)
            with open(settings, "w") as out:
                out.write(text[:start] + name + text[text.index("</name>", start):])
        elif os.path.exists(settings):
            os.remove(settings)
        subprocess.run(["openbox", "--reconfigure"], env=self.env, timeout=20,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        shutil.rmtree(self.home, ignore_errors=True)


def client_and_frame(display, wid):
    """The window's client area and its frame as (left, top, width, height) on
    the screen; the frame is the top-level ancestor the window manager made,
    or the window itself without one."""
    def info(window):
        text = x_tool(display, "xwininfo", "-tree", "-stats", "-id", str(window))
        values = {}
        for line in text.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        border = int(values["Border width"])
        geometry = (int(values["Absolute upper-left X"]) - border, int(values["Absolute upper-left Y"]) - border,
                    int(values["Width"]) + 2 * border, int(values["Height"]) + 2 * border)
        parent = values["Parent window id"].split()[0]
        return geometry, parent, "(the root window)" in values["Parent window id"]

    client, parent, at_root = info(wid)
    frame = client
    while not at_root:
        frame, parent, at_root = info(parent)
    return client, frame


class Viewer:
    """One run of the viewer with a fresh, empty home folder."""

    def __init__(self, args, binary, display, cwd, shots):
        self.home = tempfile.mkdtemp(prefix="morvask-home-")
        self.runtime = tempfile.mkdtemp(prefix="morvask-runtime-")
        self.display = display
        self.shots = shots
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "XDG_", "WAYLAND")) and k not in ("DISPLAY", "HOME")}
        env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_STATE_HOME": os.path.join(self.home, ".local", "state"),
            "XDG_RUNTIME_DIR": self.runtime,
        })
        if display:
            env["DISPLAY"] = display
        self.process = subprocess.Popen([binary] + args, cwd=cwd, env=env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def xdotool(self, *args):
        # xdotool reads the text it types in the locale's encoding: the test's
        # UTF-8 whatever locale the viewer runs in.
        result = subprocess.run(["xdotool"] + list(args), capture_output=True, text=True, encoding="utf-8",
                                timeout=20, env=dict(os.environ, DISPLAY=self.display, LC_ALL="C.UTF-8"))
        return result.stdout.strip()

    def windows(self):
        """Visible windows of this process by title."""
        ids = self.xdotool("search", "--onlyvisible", "--pid", str(self.process.pid)).split()
        return {self.xdotool("getwindowname", wid): wid for wid in ids}

    def wait_window(self, title, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.process.poll() is not None:
                raise Failure("viewer ended early (status %s) waiting for %r: %s" % (
                    self.process.returncode, title, self.process.stderr.read().decode(errors="replace")[-2000:]))
            found = self.windows()
            if title in found:
                return found[title]
            time.sleep(0.1)
        raise Failure("no window %r; visible: %r" % (title, list(self.windows())))

    def wait_gone(self, title, timeout=10):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.process.poll() is not None or title not in self.windows():
                return
            time.sleep(0.1)
        raise Failure("window %r stayed" % title)

    def focus(self, wid):
        # Keys follow the focus change in the X event stream, so they reach the
        # window once the server says it has the focus.
        self.xdotool("windowfocus", "--sync", wid)
        check(poll(lambda: self.xdotool("getwindowfocus") == wid, 10),
              "window %s got no focus (%s has it)" % (wid, self.xdotool("getwindowfocus")))

    def press(self, wid, *keys):
        self.focus(wid)
        self.xdotool("key", "--clearmodifiers", *keys)

    def type_text(self, wid, text):
        self.focus(wid)
        self.xdotool("type", "--delay", "20", text)

    def popups(self):
        """Visible popups of this process, such as a completion list: windows
        that the window manager does not manage."""
        ids = self.xdotool("search", "--onlyvisible", "--pid", str(self.process.pid)).split()
        return [wid for wid in ids
                if "Override Redirect State: yes" in x_tool(self.display, "xwininfo", "-stats", "-id", wid)]

    def picture(self, wid, shot_name=None):
        data = subprocess.run(["xwd", "-silent", "-id", wid], capture_output=True, timeout=20,
                              env=dict(os.environ, DISPLAY=self.display)).stdout
        image = XwdImage(data)
        if self.shots and shot_name:
            image.save_png(os.path.join(self.shots, shot_name + ".png"))
        return image

    def wait_exit(self, timeout=15):
        try:
            status = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failure("viewer did not end")
        self.stderr = self.process.stderr.read().decode(errors="replace")
        return status

    def home_entries(self):
        found = []
        for root, dirs, files in os.walk(self.home):
            found += [os.path.relpath(os.path.join(root, name), self.home) for name in dirs + files]
        return found

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.home, ignore_errors=True)
        shutil.rmtree(self.runtime, ignore_errors=True)


class XwdImage:
    """Just enough of the X window dump format for true-colour windows."""

    def __init__(self, data):
        check(len(data) >= 100, "xwd gave no image")
        fields = struct.unpack(">25I", data[:100])
        header_size, _, _, _, self.width, self.height = fields[:6]
        byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
        self.masks = fields[14:17]
        colours = fields[19]
        check(bits_per_pixel == 32, "unexpected xwd depth %d" % bits_per_pixel)
        self.order = "<" if byte_order == 0 else ">"
        self.bytes_per_line = bytes_per_line
        self.pixels = data[header_size + 12 * colours:]

    @staticmethod
    def _channel(value, mask):
        shift = (mask & -mask).bit_length() - 1
        return (value & mask) >> shift

    def pixel(self, x, y):
        offset = y * self.bytes_per_line + 4 * x
        (value,) = struct.unpack(self.order + "I", self.pixels[offset:offset + 4])
        return tuple(self._channel(value, mask) for mask in self.masks)

    def save_png(self, path):
        rows = b"".join(b"\0" + bytes(c for x in range(self.width) for c in self.pixel(x, y))
                        for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n")
            out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            out.write(chunk(b"IDAT", zlib.compress(rows)))
            out.write(chunk(b"IEND", b""))


def expect_view(viewer, title, error_view, shot, timeout=15):
    """Waits for the window and for the view it should paint."""
    wid = viewer.wait_window(title)
    deadline = time.time() + timeout
    while True:
        image = viewer.picture(wid)
        colour = image.pixel(*ERROR_PANEL_POINT)
        background = image.pixel(*BACKGROUND_POINT)
        painted = sum(background) > 450
        expected = ERROR_RED if error_view else background
        if painted and colour == expected:
            break
        if time.time() > deadline:
            check(painted, "%s: window not painted (background %r)" % (shot, background))
            check(not error_view, "%s: error panel not shown (pixel %r)" % (shot, colour))
            raise Failure("%s: not the data view (pixel %r)" % (shot, colour))
        time.sleep(0.2)
    if viewer.shots:
        image.save_png(os.path.join(viewer.shots, shot + ".png"))
    return wid


def finish(viewer, wid, keys=("Escape",)):
    viewer.press(wid, *keys)
    status = viewer.wait_exit()
    check(status == 0, "exit status %d, stderr %r" % (status, viewer.stderr))
    check(viewer.home_entries() == [], "files written into the home folder: %r" % viewer.home_entries())
    check(os.listdir(viewer.runtime) == [], "files left in the runtime folder: %r" % os.listdir(viewer.runtime))


# Each case: (name, function(binary, display, data_folder, shots)).
def case_good_file(binary, display, data, shots):
    path = os.path.join(data, GOOD_NAME)
    viewer = Viewer([path], binary, display, data, shots)
    try:
        finish(viewer, expect_view(viewer, opened_title(path), False, "good"))
    finally:
        viewer.close()


def case_relative_path_stays_relative(binary, display, data, shots):
    viewer = Viewer([GOOD_NAME], binary, display, data, shots)
    try:
        finish(viewer, expect_view(viewer, opened_title(GOOD_NAME), False, "relative"), ("Return",))
    finally:
        viewer.close()


def case_unusual_name(binary, display, data, shots):
    # A dropped file may carry blanks, umlauts and quotes in its name.
    path = os.path.join(data, "Prüfung vom 12.03. 'Süd'.dat")
    with open(path, "wb") as out:
        out.write(GOOD)
    viewer = Viewer([path], binary, display, data, shots)
    try:
        finish(viewer, expect_view(viewer, opened_title(path), False, "unusual-name"))
    finally:
        viewer.close()


def case_faulty_file(binary, display, data, shots):
    path = os.path.join(data, FAULTY_NAME)
    viewer = Viewer([path], binary, display, data, shots)
    try:
        finish(viewer, expect_view(viewer, opened_title(path), True, "faulty"))
    finally:
        viewer.close()


def case_missing_file(binary, display, data, shots):
    viewer = Viewer(["nicht-da.dat"], binary, display, data, shots)
    try:
        box = viewer.wait_window(TITLE_ERROR_BOX)
        if shots:
            viewer.picture(box, "missing-box")
        viewer.press(box, "Return")
        viewer.wait_gone(TITLE_ERROR_BOX)
        finish(viewer, expect_view(viewer, TITLE_CREATED, False, "missing"))
    finally:
        viewer.close()


def case_two_arguments(binary, display, data, shots):
    first = os.path.join(data, GOOD_NAME)
    second = os.path.join(data, FAULTY_NAME)
    viewer = Viewer([first, second], binary, display, data, shots)
    try:
        finish(viewer, expect_view(viewer, opened_title(first), False, "two-arguments"))
    finally:
        viewer.close()


def dialog_type(viewer, text, completed):
    """Types text into the open dialog's name field and presses Return. The
    name of an existing file brings up the completion list, which then holds
    the keyboard; Return is pressed once it is there."""
    dialog = viewer.wait_window(TITLE_DIALOG)
    if viewer.shots:
        viewer.picture(dialog, "dialog")
    viewer.type_text(dialog, text)
    if completed:
        check(poll(viewer.popups, 20), "no completion list for %r" % text)
        viewer.xdotool("key", "--clearmodifiers", "Return")
    else:
        viewer.press(dialog, "Return")
    viewer.wait_gone(TITLE_DIALOG)


def case_dialog_open(binary, display, data, shots):
    path = os.path.join(data, GOOD_NAME)
    viewer = Viewer([], binary, display, data, shots)
    try:
        dialog_type(viewer, path, True)
        finish(viewer, expect_view(viewer, opened_title(path), False, "dialog-open"))
    finally:
        viewer.close()


def case_dialog_missing_name(binary, display, data, shots):
    path = os.path.join(data, "gibt-es-nicht.dat")
    viewer = Viewer([], binary, display, data, shots)
    try:
        dialog_type(viewer, path, False)
        box = viewer.wait_window(TITLE_ERROR_BOX)
        viewer.press(box, "Return")
        viewer.wait_gone(TITLE_ERROR_BOX)
        finish(viewer, expect_view(viewer, TITLE_CREATED, False, "dialog-missing"))
    finally:
        viewer.close()


def case_dialog_cancelled(binary, display, data, shots):
    viewer = Viewer([], binary, display, data, shots)
    try:
        dialog = viewer.wait_window(TITLE_DIALOG)
        viewer.press(dialog, "Escape")
        status = viewer.wait_exit()
        check(status == 0, "exit status %d after cancelling" % status)
        check(viewer.home_entries() == [], "files written: %r" % viewer.home_entries())
    finally:
        viewer.close()


def case_side_by_side(binary, display, data, shots):
    # Both windows open at the same place: look at each before the next comes.
    good = os.path.join(data, GOOD_NAME)
    faulty = os.path.join(data, FAULTY_NAME)
    first = Viewer([good], binary, display, data, shots)
    second = None
    try:
        first_wid = expect_view(first, opened_title(good), False, "side-by-side-1")
        second = Viewer([faulty], binary, display, data, shots)
        second_wid = expect_view(second, opened_title(faulty), True, "side-by-side-2")
        finish(first, first_wid)
        check(second.process.poll() is None, "closing one copy ended the other")
        finish(second, second_wid)
    finally:
        first.close()
        if second:
            second.close()


def case_no_display(binary, display, data, shots):
    viewer = Viewer([os.path.join(data, GOOD_NAME)], binary, None, data, shots)
    try:
        status = viewer.wait_exit()
        lines = viewer.stderr.strip().splitlines()
        check(status == 1, "exit status %d without a display" % status)
        check(len(lines) == 1 and "DISPLAY" in lines[0], "stderr %r" % viewer.stderr)
    finally:
        viewer.close()


def expect_geometry(viewer, wid, name, frame_origin, frame_size=None, client_size=None, changed_from=None,
                    timeout=15):
    """Waits until the window manager has framed the window and it stands
    where it should: its frame's top left corner at frame_origin, the frame
    and the client area of the given sizes, the client area other than
    changed_from."""
    placed_before = []

    def placed():
        # Twice in a row, so that no reading halfway through a change counts.
        client, frame = client_and_frame(viewer.display, wid)
        placed.seen = (client, frame)
        good = (frame != client and frame[:2] == frame_origin and frame_size in (None, frame[2:])
                and client_size in (None, client[2:]) and client != changed_from)
        settled = good and placed_before == [placed.seen]
        placed_before[:] = [placed.seen] if good else []
        return settled
    if not poll(placed, timeout):
        client, frame = placed.seen
        raise Failure("%s: client %r, frame %r; wanted the frame at %r of size %r, the client of size %r" % (
            name, client, frame, frame_origin, frame_size, client_size))
    print("       %s: client %r, frame %r" % (name, placed.seen[0], placed.seen[1]))


def case_windows_framed(binary, display, data, shots):
    # The main window has a fixed client area and its frame at (348, 136); the
    # help window's outer size counts the frame, on every showing.
    path = os.path.join(data, GOOD_NAME)
    viewer = Viewer([path], binary, display, data, shots)
    try:
        main = expect_view(viewer, opened_title(path), False, "framed-main")
        expect_geometry(viewer, main, "main window", (348, 136), client_size=(782, 707))
        # The second showing opens where the user left the window.
        origin = (273, 103)
        for showing in ("first", "second"):
            viewer.press(main, "F1")
            help_window = viewer.wait_window(TITLE_HELP)
            expect_geometry(viewer, help_window, "help window, %s showing" % showing, origin, (545, 630))
            if shots:
                viewer.picture(help_window, "framed-help-" + showing)
            if showing == "first":
                viewer.xdotool("windowmove", help_window, "200", "150")
                check(poll(lambda: client_and_frame(display, help_window)[1][:2] != origin, 10),
                      "the help window did not move")
                origin = client_and_frame(display, help_window)[1][:2]
            else:
                # Another theme brings another frame; the window fits itself again.
                manager = WindowManager.running[display]
                client = client_and_frame(display, help_window)[0]
                manager.use_theme("Artwiz-boxed")
                try:
                    expect_geometry(viewer, help_window, "help window, other frame", origin, (545, 630),
                                    changed_from=client)
                finally:
                    manager.use_theme(None)
            viewer.press(help_window, "Escape")
            viewer.wait_gone(TITLE_HELP)
        finish(viewer, main)
    finally:
        viewer.close()


def case_print_dialog(binary, display, data, shots):
    # Ctrl+P brings the print dialog; cancelled, nothing is printed or kept.
    path = os.path.join(data, GOOD_NAME)
    viewer = Viewer([path], binary, display, data, shots)
    try:
        wid = expect_view(viewer, opened_title(path), False, "print")
        viewer.press(wid, "ctrl+p")
        dialog = viewer.wait_window(TITLE_PRINT)
        if shots:
            viewer.picture(dialog, "print-dialog")
        viewer.press(dialog, "Escape")
        viewer.wait_gone(TITLE_PRINT)
        check(viewer.home_entries() == [], "printed although cancelled: %r" % viewer.home_entries())
        # Confirmed, it prints into the file the dialog offers: the document's name in the home folder.
        viewer.press(wid, "ctrl+p")
        viewer.press(viewer.wait_window(TITLE_PRINT), "Return")
        viewer.wait_gone(TITLE_PRINT)
        pdf = os.path.join(viewer.home, "Morvask-Betrachter - %s.pdf" % GOOD_NAME.rsplit(".", 1)[0])
        check(poll(lambda: os.path.exists(pdf) and open(pdf, "rb").read().rstrip().endswith(b"%%EOF"), 20),
              "no PDF printed: %r" % viewer.home_entries())
        text = subprocess.run(["pdftotext", pdf, "-"], capture_output=True, text=True, timeout=60).stdout
        check("Datei: " + GOOD_NAME in text and "Seite 1 von 1" in text, "the PDF reads %r" % text[:200])
        os.remove(pdf)
        finish(viewer, wid)
    finally:
        viewer.close()


CASES = [
    ("good file", case_good_file),
    ("relative path", case_relative_path_stays_relative),
    ("name with blanks and umlauts", case_unusual_name),
    ("faulty file", case_faulty_file),
    ("missing file", case_missing_file),
    ("two arguments", case_two_arguments),
    ("dialog, file typed", case_dialog_open),
    ("dialog, missing name typed", case_dialog_missing_name),
    ("dialog cancelled", case_dialog_cancelled),
    ("print dialog, cancelled and confirmed", case_print_dialog),
    ("two copies side by side", case_side_by_side),
    ("no display", case_no_display),
    ("windows framed by a window manager", case_windows_framed, "framed"),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--shots", help="save window pictures into this folder")
    parser.add_argument("--only", help="run only cases whose name contains this")
    options = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xwd", "xwininfo", "xprop", "openbox"):
        if not shutil.which(tool):
            print("desktop_run: %s is missing (scripts/install-deps installs it)" % tool)
            return 1
    if options.shots:
        os.makedirs(options.shots, exist_ok=True)

    data = tempfile.mkdtemp(prefix="morvask-data-")
    with open(os.path.join(data, GOOD_NAME), "wb") as out:
        out.write(GOOD)
    with open(os.path.join(data, FAULTY_NAME), "wb") as out:
        out.write(FAULTY)

    failed = 0
    servers = {}  # one X server without a window manager, one framed by openbox
    try:
        for name, case, *framed in CASES:
            if options.only and options.only not in name:
                continue
            framed = bool(framed)
            try:
                if framed not in servers:
                    servers[framed] = (XServer(), None)
                    if framed:
                        servers[framed] = (servers[framed][0], WindowManager(servers[framed][0].display))
                case(os.path.abspath(options.binary), servers[framed][0].display, data, options.shots)
                print("PASS   %s" % name)
            except (Failure, subprocess.TimeoutExpired) as problem:
                failed += 1
                print("FAIL   %s: %s" % (name, problem))
    finally:
        for server, manager in servers.values():
            if manager:
                manager.close()
            server.close()
        shutil.rmtree(data, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
