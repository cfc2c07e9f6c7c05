#!/usr/bin/env python3
"""Packs the rendered icon PNGs into the Windows icon app/morvask-betrachter.ico
(one PNG entry per size).

    make-windows-icon.py ICON-FOLDER ICO-FILE

ICON-FOLDER is <build>/app/icons of a Linux build. The Windows build cannot
run the renderer, so the icon travels as this file; the test app.WindowsIconTest
tells when it no longer shows what the renderer draws. Regenerate it with
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
    if len(args) != 2:
        sys.exit(__doc__)
    icon = icon_bytes(args[0])
    with open(args[1], "wb") as f:
        f.write(icon)


if __name__ == "__main__":
    main()
