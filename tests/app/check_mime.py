#!/usr/bin/env python3
"""The file type in a scratch data folder, as a desktop sees it: it claims
transfer files by their conventional names and by their first bytes, and
leaves every other program's .dat file its own type."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

OURS = "application/x-morvask-transfer"
HEADER = b"1|E|f3|f4|\r\n"

# (file name, content, whether the file is ours). What the system calls other
# files is its own business; they only must not be claimed as ours.
CASES = [
    ("WVMO_261015_093000.DAT", HEADER, True),
    ("abcd_efgh_071231_235959.dat", b"\x00\x01binary", True),   # the name alone claims it
    ("daten.dat", b"1|e|x|\r\n", True),                          # the content alone claims it
    ("transfer", HEADER, True),
    ("settings.dat", b"\x00\x01\x02\x03binary", False),
    ("notes.dat", b"some notes\n", False),
    ("ABCD_070312_14300.dat", b"some notes\n", False),    # 21 characters
    ("ABCD_070312_1430000.dat", b"some notes\n", False),  # 23 characters
    ("winmail.dat", b"\x78\x9f\x3e\x22", False),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    options = parser.parse_args()
    for tool in ("update-mime-database", "xdg-mime", "gio"):
        if not shutil.which(tool):
            print("FAIL   %s not found (scripts/install-deps installs it)" % tool)
            return 1

    scratch = tempfile.mkdtemp(prefix="morvask-mime-")
    try:
        data_home = os.path.join(scratch, "share")
        packages = os.path.join(data_home, "mime", "packages")
        os.makedirs(packages)
        shutil.copy(os.path.join(options.source, "app", "morvask-betrachter.xml"), packages)
        subprocess.run(["update-mime-database", os.path.join(data_home, "mime")],
                       check=True, capture_output=True)
        files = os.path.join(scratch, "files")
        os.makedirs(files)
        # GNOME makes xdg-mime ask GLib, which reads the shared MIME database.
        env = dict(os.environ, XDG_DATA_HOME=data_home, XDG_DATA_DIRS="/usr/share",
                   XDG_CURRENT_DESKTOP="GNOME", HOME=scratch)
        problems = []
        for name, content, ours in CASES:
            path = os.path.join(files, name)
            with open(path, "wb") as handle:
                handle.write(content)
            result = subprocess.run(["xdg-mime", "query", "filetype", path], env=env,
                                    capture_output=True, text=True)
            found = result.stdout.strip()
            if result.returncode != 0 or not found:
                problems.append("%s: no type (%s)" % (name, result.stderr.strip() or result.returncode))
            elif (found == OURS) != ours:
                problems.append("%s: %s, expected %s" % (name, found, OURS if ours else "another type"))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    for problem in problems:
        print("FAIL   " + problem)
    if not problems:
        print("PASS   file type of %d files" % len(CASES))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
