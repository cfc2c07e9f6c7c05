#!/usr/bin/env python3
"""Writes the Windows zip: the three programs stripped, LIESMICH.txt, the
licences of every library linked into them with a notice, and the complete
source with the recipe that builds it (LGPLv3: relinking with another Qt).

    make_zip.py --build BUILD --qt-source TARBALL --out-dir DIR

prints the zip's path (DIR/morvask-betrachter-VERSION-win64.zip).
"""

import argparse
import os
import re
import subprocess
import sys
import tarfile
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
PROGRAMS = ["morvask-betrachter", "morvask-check", "morvask-export", "morvask-vergleich"]
STRIP = "x86_64-w64-mingw32-strip"
# Licence texts of the MinGW-w64 toolchain's runtime, zlib: from their Debian packages.
SYSTEM_LICENCES = {
    "zlib.txt": "/usr/share/doc/libz-mingw-w64-dev/copyright",
    "mingw-w64.txt": "/usr/share/doc/mingw-w64-common/copyright",
    "gcc-runtime.txt": "/usr/share/doc/gcc-mingw-w64-base/copyright",
}
# What marks a licence text in a folder of Qt's bundled libraries.
LICENCE_NAME = re.compile(r"(LICEN[CS]E|COPYING|README\.ijg|FTL\.TXT)", re.IGNORECASE)


def fail(message):
    sys.exit("package-windows: " + message)


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def qt_licences(tarball):
    """(path in the zip, bytes) of Qt's own licences and those of its bundled libraries."""
    found = []
    with tarfile.open(tarball) as tar:
        for member in tar:
            parts = member.name.split("/")
            if not member.isfile():
                continue
            if len(parts) == 3 and parts[1] == "LICENSES":
                found.append(("Qt/" + parts[2], tar.extractfile(member).read()))
            elif (len(parts) >= 5 and parts[1:3] == ["src", "3rdparty"] and len(parts) <= 6
                  and LICENCE_NAME.search(parts[-1])):
                found.append(("Qt/3rdparty/" + "/".join(parts[3:]), tar.extractfile(member).read()))
    if not any(name == "Qt/LGPL-3.0-only.txt" for name, _ in found):
        fail("Qt's licence LGPL-3.0-only.txt is not in %s" % tarball)
    return found


def main():
    parser = argparse.ArgumentParser()
    for option in ("--build", "--qt-source", "--out-dir"):
        parser.add_argument(option, required=True)
    options = parser.parse_args()

    version = re.search(r"project\(\w+ VERSION ([0-9.]+)", open(os.path.join(SOURCE, "CMakeLists.txt")).read())[1]
    root = "morvask-betrachter-%s-win64/" % version
    out = os.path.join(options.out_dir, root[:-1] + ".zip")
    commit = subprocess.run(["git", "-C", SOURCE, "rev-parse", "--short", "HEAD"], capture_output=True,
                            text=True).stdout.strip() or "unbekannt"
    source_name = "morvask-betrachter-%s-quelltext.tar.gz" % version

    entries = []
    with tempfile.TemporaryDirectory() as scratch:
        for program in PROGRAMS:
            exe = os.path.join(options.build, "bin", program + ".exe")
            if not os.path.isfile(exe):
                fail("%s fehlt: erst bauen (make test-windows)" % exe)
            stripped = os.path.join(scratch, program + ".exe")
            subprocess.run([STRIP, "-o", stripped, exe], check=True)
            entries.append((program + ".exe", open(stripped, "rb").read()))
        archive = os.path.join(scratch, source_name)
        r = subprocess.run(["git", "-C", SOURCE, "archive", "--format=tar.gz",
                            "--prefix=morvask-betrachter-%s/" % version, "-o", archive, "HEAD"])
        if r.returncode != 0:
            fail("der Quelltext lässt sich nicht mit git archive packen")
        entries.append(("QUELLTEXT/" + source_name, open(archive, "rb").read()))

    readme = open(os.path.join(HERE, "LIESMICH.txt"), encoding="utf-8").read().replace("@VERSION@", version)
    notice = open(os.path.join(HERE, "HINWEIS.txt"), encoding="utf-8").read()
    notice = notice.replace("@SOURCE_ARCHIVE@", "QUELLTEXT/" + source_name).replace("@COMMIT@", commit)
    entries += [("LIESMICH.txt", crlf(readme)), ("LIZENZEN/HINWEIS.txt", crlf(notice))]
    entries += [("LIZENZEN/" + name, data) for name, data in qt_licences(options.qt_source)]
    for name, path in SYSTEM_LICENCES.items():
        if not os.path.isfile(path):
            fail("Lizenztext %s fehlt" % path)
        entries.append(("LIZENZEN/" + name, open(path, "rb").read()))

    # Written beside the target and renamed, so that a failed run keeps the old zip.
    partial = out + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for name, data in entries:
            info = zipfile.ZipInfo(root + name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data)
    os.replace(partial, out)
    print(out)


if __name__ == "__main__":
    main()
