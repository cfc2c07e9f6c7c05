#!/usr/bin/env python3
"""End-to-end runs of the real viewer under a private X server, driven with
xdotool the way a user would drive it: start it on a file (or through the open
dialog), look at the window, press a key, and check that it ended with
status 0. The state of the window is read from its title and from a pixel of
the red error panel (xwd). Every run gets an empty home folder, which must
still be empty afterwards: the viewer writes no files and keeps no settings.

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
        result = subprocess.run(["xdotool"] + list(args), capture_output=True, text=True, timeout=20,
                                env=dict(os.environ, DISPLAY=self.display))
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

    def press(self, wid, *keys):
        self.xdotool("windowfocus", "--sync", wid)
        time.sleep(0.2)
        self.xdotool("key", "--clearmodifiers", *keys)

    def type_text(self, wid, text):
        self.xdotool("windowfocus", "--sync", wid)
        time.sleep(0.2)
        self.xdotool("type", "--delay", "20", text)

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


def dialog_type(viewer, text):
    dialog = viewer.wait_window(TITLE_DIALOG)
    time.sleep(0.5)
    if viewer.shots:
        viewer.picture(dialog, "dialog")
    viewer.type_text(dialog, text)
    viewer.press(dialog, "Return")
    time.sleep(0.5)
    # A completion list may take the first Return.
    if TITLE_DIALOG in viewer.windows():
        viewer.press(dialog, "Return")
    viewer.wait_gone(TITLE_DIALOG)


def case_dialog_open(binary, display, data, shots):
    path = os.path.join(data, GOOD_NAME)
    viewer = Viewer([], binary, display, data, shots)
    try:
        dialog_type(viewer, path)
        finish(viewer, expect_view(viewer, opened_title(path), False, "dialog-open"))
    finally:
        viewer.close()


def case_dialog_missing_name(binary, display, data, shots):
    path = os.path.join(data, "gibt-es-nicht.dat")
    viewer = Viewer([], binary, display, data, shots)
    try:
        dialog_type(viewer, path)
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
    ("two copies side by side", case_side_by_side),
    ("no display", case_no_display),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--shots", help="save window pictures into this folder")
    parser.add_argument("--only", help="run only cases whose name contains this")
    options = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xwd"):
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

    server = XServer()
    failed = 0
    try:
        for name, case in CASES:
            if options.only and options.only not in name:
                continue
            try:
                case(os.path.abspath(options.binary), server.display, data, options.shots)
                print("PASS   %s" % name)
            except (Failure, subprocess.TimeoutExpired) as problem:
                failed += 1
                print("FAIL   %s: %s" % (name, problem))
    finally:
        server.close()
        shutil.rmtree(data, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
