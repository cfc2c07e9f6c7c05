#!/usr/bin/env python3
"""Installs the build into a scratch prefix (as `make install PREFIX=...` does)
and checks that a Linux desktop gets what it needs to offer the viewer for
transfer files: the binaries, a launcher that takes one file, the file type
with its glob and magic, and the icons that both name."""

import argparse
import configparser
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"
MIME_TYPE = "application/x-morvask-transfer"

problems = []


def expect(condition, message):
    if not condition:
        problems.append(message)
    return condition


def png_size(path):
    with open(path, "rb") as image:
        head = image.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    options = parser.parse_args()

    prefix = tempfile.mkdtemp(prefix="morvask-prefix-")
    try:
        result = subprocess.run(["cmake", "--install", options.build, "--prefix", prefix],
                                capture_output=True, text=True)
        if not expect(result.returncode == 0, "cmake --install failed:\n" + result.stderr):
            return report()
        share = os.path.join(prefix, "share")

        for binary in ("morvask-betrachter", "morvask-check"):
            if os.path.exists(os.path.join(options.build, "bin", binary)):
                installed = os.path.join(prefix, "bin", binary)
                expect(os.access(installed, os.X_OK), "binary not installed: bin/" + binary)

        # The launcher: German texts, one file as argument, our file type, our icon.
        desktop_path = os.path.join(share, "applications", "morvask-betrachter.desktop")
        if expect(os.path.exists(desktop_path), "desktop entry not installed"):
            entry = configparser.RawConfigParser(strict=True, interpolation=None)
            entry.optionxform = str
            entry.read(desktop_path, encoding="utf-8")
            section = entry["Desktop Entry"]
            expect(section.get("Exec") == "morvask-betrachter %f", "Exec is %r" % section.get("Exec"))
            expect(MIME_TYPE in section.get("MimeType", "").split(";"), "launcher does not name the file type")
            expect(section.get("Name") == "Morvask-Betrachter", "Name is %r" % section.get("Name"))
            expect("Trinkwasseruntersuchungen" in section.get("Comment", ""), "comment is not the German one")
            icon = section.get("Icon")
            expect(icon and os.path.exists(os.path.join(share, "icons", "hicolor", "48x48", "apps", icon + ".png")),
                   "launcher icon %r not installed at 48x48" % icon)

        # Icons of every rendered size are real PNGs of that size.
        for size in (16, 32, 48, 256):
            for kind in ("apps/morvask-betrachter", "mimetypes/application-x-morvask-transfer"):
                path = os.path.join(share, "icons", "hicolor", "%dx%d" % (size, size), kind + ".png")
                if expect(os.path.exists(path), "icon missing: %s at %d" % (kind, size)):
                    expect(png_size(path) == (size, size), "icon %s is %r, not %d" % (path, png_size(path), size))

        # The file type: glob and the two magic strings at the file's start.
        xml_path = os.path.join(share, "mime", "packages", "morvask-betrachter.xml")
        if expect(os.path.exists(xml_path), "file type description not installed"):
            mime = ElementTree.parse(xml_path).getroot().find(MIME_NS + "mime-type")
            expect(mime is not None and mime.get("type") == MIME_TYPE, "file type not described")
            if mime is not None:
                globs = [g.get("pattern") for g in mime.iter(MIME_NS + "glob")]
                expect(globs == ["????_??????_??????.dat", "????_????_??????_??????.dat"], "globs %r" % globs)
                matches = sorted((m.get("type"), m.get("offset"), m.get("value"))
                                 for m in mime.iter(MIME_NS + "match"))
                expect(matches == [("string", "0", "1|E|"), ("string", "0", "1|e|")], "magic %r" % matches)

        # The desktop's own tool must accept the description (install runs it).
        if shutil.which("update-mime-database"):
            globs2 = os.path.join(share, "mime", "globs2")
            magic = os.path.join(share, "mime", "magic")
            if expect(os.path.exists(globs2) and os.path.exists(magic), "MIME database not updated"):
                with open(globs2, encoding="utf-8") as handle:
                    ours = [line.strip() for line in handle if MIME_TYPE in line]
                    expect(len(ours) == 2 and not any(line.endswith(":*.dat") for line in ours),
                           "globs2 holds %r" % ours)
                with open(magic, "rb") as handle:
                    content = handle.read()
                expect(MIME_TYPE.encode() in content and b"1|E|" in content and b"1|e|" in content,
                       "magic database lacks our rule")
        else:
            print("update-mime-database not found: database check skipped")
    finally:
        shutil.rmtree(prefix, ignore_errors=True)
    return report()


def report():
    for problem in problems:
        print("FAIL   " + problem)
    if not problems:
        print("PASS   installation")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
