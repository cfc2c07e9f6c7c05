#!/usr/bin/env python3
"""Packs the rendered icon PNGs into the Windows icon app/morvask-betrachter.ico
(one PNG entry per size), or with --check tells whether that file still holds
exactly what the icon renderer draws today.

    make-windows-icon.py [--check] ICON-FOLDER ICO-FILE

ICON-FOLDER is <build>/app/icons of a Linux build. The Windows build cannot
run the renderer, so the icon travels as this file; regenerate it with
    python3 app/make-windows-icon.py build/app/icons app/morvask-betrachter.ico
"""

import os
import struct
import sys

SIZES = [16, 24, 32, 48, 64, 128, 256]


def icon_bytes(folder):
    images = [open(os.path.join(folder, "%dx%d" % (s, s), "apps", "morvask-betrachter.png"), "rb").read()
              for s in SIZES]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, data = b"", b""
    for size, png in zip(SIZES, images):
        side = size % 256  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(png), offset + len(data))
        data += png
    return header + entries + data


def main():
    args = sys.argv[1:]
    check = args[:1] == ["--check"]
    if check:
        args = args[1:]
    if len(args) != 2:
        sys.exit(__doc__)
    wanted = icon_bytes(args[0])
    if check:
        if open(args[1], "rb").read() != wanted:
            sys.exit("%s differs from the rendered icon; regenerate it (see %s)" % (args[1], sys.argv[0]))
        print("the Windows icon matches the rendered one")
    else:
        with open(args[1], "wb") as f:
            f.write(wanted)


if __name__ == "__main__":
    main()
