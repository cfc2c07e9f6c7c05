#!/usr/bin/env python3
"""End to end, the Windows viewer under Wine on a private X server, in a Wine
prefix of its own, driven with xdotool as a user would drive it. The program
runs from a folder that holds nothing else; its file lies in a folder whose
name holds umlauts and letters outside Windows-1252. Checked: the data view,
a copy with Ctrl+C read back from the X clipboard that Wine shares, F1 and the
help window, the system's print dialog on Ctrl+P (a printer of Wine's is set
up in the prefix first) cancelled, the error view, the system's open dialog
when started without a file, Escape ending with status 0, and afterwards a registry, user folders and
a program folder that hold nothing of the program. Every wait polls for a
state until a deadline.

Usage: wine_desktop_run.py --exe morvask-betrachter.exe [--printer SETUP.exe] [--shots FOLDER]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_run import (BACKGROUND_POINT, ERROR_PANEL_POINT, ERROR_RED, FAULTY, FAULTY_NAME, GOOD, GOOD_NAME,  # noqa: E402
                         TITLE_CREATED, TITLE_DIALOG, TITLE_HELP, Failure, XServer, XwdImage, check, opened_title,
                         poll)

WINE = shutil.which("wine64") or "/usr/lib/wine/wine64"
WINESERVER = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
PROGRAM = "morvask-betrachter.exe"
DATA_FOLDER = "Pr\u00fcfdaten \u0141\u00f3d\u017a \u65e5\u672c"
# The examination list's headings, as the copy puts them first.
LIST_HEADINGS = "\t".join(["Nr.", "Proben-ID des Labors Feld 3", "Entnahmestelle Feld 14", "Probenahme Feld 22",
                           "Vers.-Gebiet Feld 25", "Zust. GA Feld 35"])
# What would show that the program or its toolkit kept something.
TRACES = ("morvask", "betrachter", "qtproject", "trolltech")
PRINT_TITLES = ("Print", "Drucken")


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class Wine:
    """A private prefix and display; runs the program and looks at its windows."""

    def __init__(self, display, shots):
        self.display = display
        self.shots = shots
        self.prefix = tempfile.mkdtemp(prefix="morvask-wine-e2e-")
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "WINE"))}
        self.env.update({"WINEPREFIX": self.prefix, "WINEDEBUG": "-all", "WINEARCH": "win64", "DISPLAY": display,
                         "WINEDLLOVERRIDES": "mscoree,mshtml="})
        subprocess.run([WINE, "wineboot", "--init"], env=self.env, capture_output=True, timeout=300)
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=300)
        self.process = None

    def start(self, exe, args):
        # Wine's own messages could fill a pipe nobody reads while the window runs.
        self.process = subprocess.Popen([WINE, exe] + args, cwd=os.path.dirname(exe), env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + list(args), capture_output=True, text=True, timeout=20,
                              env=self.env).stdout.strip()

    def window(self, title):
        """A visible window of that exact title. No window manager runs: every
        visible window of the private display belongs to the program or Wine."""
        for wid in self.xdotool("search", "--onlyvisible", "--name", "").split():
            if self.xdotool("getwindowname", wid) == title:
                return wid
        return None

    def wait_window(self, title, timeout=60):
        def found():
            if self.process.poll() is not None:
                raise Failure("viewer ended early (status %s) waiting for %r" % (self.process.returncode, title))
            return self.window(title)
        wid = poll(found, timeout, 0.2)
        check(wid, "no window %r" % title)
        return wid

    def wait_gone(self, title, timeout=20):
        check(poll(lambda: self.process.poll() is not None or not self.window(title), timeout, 0.2),
              "window %r stayed" % title)

    def press(self, wid, *keys):
        self.xdotool("windowfocus", "--sync", wid)
        check(poll(lambda: self.xdotool("getwindowfocus") == wid, 10), "window %s got no focus" % wid)
        self.xdotool("key", "--clearmodifiers", *keys)

    def picture(self, wid):
        data = subprocess.run(["xwd", "-silent", "-id", wid], capture_output=True, timeout=20, env=self.env).stdout
        return XwdImage(data)

    def expect_view(self, title, error_view, shot):
        wid = self.wait_window(title)

        def shown():
            image = self.picture(wid)
            background = image.pixel(*BACKGROUND_POINT)
            colour = image.pixel(*ERROR_PANEL_POINT)
            if sum(background) > 450 and colour == (ERROR_RED if error_view else background):
                return image
            return None
        image = poll(shown, 30, 0.3)
        check(image, "%s: the %s view is not shown" % (shot, "error" if error_view else "data"))
        if self.shots:
            image.save_png(os.path.join(self.shots, "wine-%s.png" % shot))
        return wid

    def clipboard(self):
        r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, timeout=20, env=self.env)
        return r.stdout.decode("utf-8", errors="replace") if r.returncode == 0 else ""

    def finish(self, wid):
        self.press(wid, "Escape")
        try:
            status = self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failure("viewer did not end on Escape")
        check(status == 0, "exit status %d" % status)

    def traces(self):
        """Registry lines and user files that name the program or its toolkit."""
        found = []
        for hive in ("user.reg", "system.reg", "userdef.reg"):
            path = os.path.join(self.prefix, hive)
            if os.path.exists(path):
                text = open(path, encoding="utf-8", errors="replace").read().lower()
                found += ["%s: %s" % (hive, line.strip()) for line in text.splitlines()
                          if any(t in line for t in TRACES)]
        return found

    def user_files(self):
        users = os.path.join(self.prefix, "drive_c", "users")
        return {os.path.relpath(os.path.join(root, name), users)
                for root, dirs, files in os.walk(users) for name in files}

    def close(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        subprocess.run([WINESERVER, "-k"], env=self.env, capture_output=True)
        subprocess.run([WINESERVER, "-w"], env=self.env, capture_output=True, timeout=60)
        shutil.rmtree(self.prefix, ignore_errors=True)


def run_cases(wine, exe, data, plain):
    good = windows_path(os.path.join(data, GOOD_NAME))
    faulty = windows_path(os.path.join(data, FAULTY_NAME))

    # The data view; the examination list copied; F1 and back; Escape.
    wine.start(exe, [good])
    wid = wine.expect_view(opened_title(good), False, "good")
    wine.press(wid, "ctrl+c")
    copied = poll(lambda: wine.clipboard().replace("\r\n", "\n") or None, 20, 0.2) or ""
    lines = copied.split("\n")
    check(len(lines) == 3 and lines[0] == LIST_HEADINGS and lines[1].startswith("1\tf3\t") and lines[2] == "",
          "the clipboard holds %r" % copied)
    wine.press(wid, "F1")
    help_window = wine.wait_window(TITLE_HELP)
    wine.press(help_window, "Escape")
    wine.wait_gone(TITLE_HELP)
    # Ctrl+P: the system's print dialog (its title in Wine's language), cancelled.
    wine.press(wid, "ctrl+p")
    found = poll(lambda: next(((t, w) for t in PRINT_TITLES for w in [wine.window(t)] if w), None), 60, 0.2)
    check(found is not None, "no print dialog after Ctrl+P")
    wine.press(found[1], "Escape")
    wine.wait_gone(found[0])
    wine.finish(wid)

    # The error view.
    wine.start(exe, [faulty])
    wine.finish(wine.expect_view(opened_title(faulty), True, "faulty"))

    # Without a file: the system's dialog, titled by the viewer; a typed name opens.
    wine.start(exe, [])
    dialog = wine.wait_window(TITLE_DIALOG)
    wine.press(dialog, "Escape")
    try:
        status = wine.process.wait(timeout=30)
    except subprocess.TimeoutExpired:
        raise Failure("viewer did not end when the dialog was cancelled")
    check(status == 0, "exit status %d after cancelling the dialog" % status)

    # Typed keys reach Wine reliably for ASCII only: this file lies in a plain folder.
    typed = windows_path(os.path.join(plain, GOOD_NAME))
    wine.start(exe, [])
    dialog = wine.wait_window(TITLE_DIALOG)
    wine.press(dialog, "ctrl+a")
    wine.xdotool("type", "--delay", "30", typed)
    wine.xdotool("key", "Return")
    wine.finish(wine.expect_view(opened_title(typed), False, "dialog-open"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--shots")
    parser.add_argument("--printer", help="a program that sets up a printer in the prefix")
    options = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xclip", "xwd"):
        if shutil.which(tool) is None:
            print("missing %s (scripts/install-deps installs it)" % tool, file=sys.stderr)
            return 1
    # The typed path must be plain ASCII, whatever the temporary folder is called.
    temporary = tempfile.gettempdir()
    work = tempfile.mkdtemp(prefix="morvask-wine-run-", dir=temporary if temporary.isascii() else "/tmp")
    server = XServer()
    wine = None
    try:
        program_folder = os.path.join(work, "Programm")
        os.mkdir(program_folder)
        exe = shutil.copy(options.exe, os.path.join(program_folder, PROGRAM))
        data = os.path.join(work, DATA_FOLDER)
        os.mkdir(data)
        plain = os.path.join(work, "Daten")
        os.mkdir(plain)
        for folder, name, content in ((data, GOOD_NAME, GOOD), (data, FAULTY_NAME, FAULTY), (plain, GOOD_NAME, GOOD)):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(content)
        started = time.time()
        wine = Wine(server.display, options.shots)
        print("wine prefix ready after %.0f s" % (time.time() - started))
        if options.printer:
            printer = subprocess.run([WINE, options.printer], env=wine.env, capture_output=True, timeout=120)
            check(printer.returncode == 0, "no printer could be set up in the prefix")
        before = wine.user_files()
        run_cases(wine, exe, data, plain)
        subprocess.run([WINESERVER, "-w"], env=wine.env, timeout=60)  # the registry is saved when the server ends
        check(wine.traces() == [], "the registry names the program: %r" % wine.traces()[:5])
        check(wine.user_files() == before, "new user files: %r" % sorted(wine.user_files() - before))
        check(os.listdir(program_folder) == [PROGRAM], "the program's folder holds %r" % os.listdir(program_folder))
        check(sorted(os.listdir(data)) == sorted([GOOD_NAME, FAULTY_NAME]), "the data folder holds %r" % os.listdir(data))
    except Failure as failure:
        print("FAIL: %s" % failure, file=sys.stderr)
        return 1
    finally:
        if wine is not None:
            wine.close()
        server.close()
        shutil.rmtree(work, ignore_errors=True)
    print("PASS: the viewer under Wine")
    return 0


if __name__ == "__main__":
    sys.exit(main())
