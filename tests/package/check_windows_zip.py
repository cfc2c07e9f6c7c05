#!/usr/bin/env python3
"""Unpacks the Windows zip into a folder whose name Windows-1252 cannot hold
and checks it as a user meets it: the three programs and nothing they need
beside them (only Windows' own DLLs imported), stripped, the viewer's version
information, LIESMICH.txt and the licences; then runs each program under Wine
(WINEPREFIX as the caller set it up).

    check_windows_zip.py --zip ZIP --examples EXAMPLES_DIR
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

import openpyxl

WINE = shutil.which("wine64") or "/usr/lib/wine/wine64"
PROGRAMS = ["morvask-betrachter.exe", "morvask-check.exe", "morvask-export.exe", "morvask-vergleich.exe"]
LICENCES = ["LIZENZEN/HINWEIS.txt", "LIZENZEN/Qt/LGPL-3.0-only.txt", "LIZENZEN/Qt/3rdparty/libjpeg/LICENSE",
            "LIZENZEN/Qt/3rdparty/zlib/LICENSE", "LIZENZEN/zlib.txt",
            "LIZENZEN/mingw-w64.txt", "LIZENZEN/gcc-runtime.txt"]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
               "advapi32.dll", "comdlg32.dll", "comctl32.dll", "imm32.dll", "winmm.dll", "ws2_32.dll",
               "uxtheme.dll", "dwmapi.dll", "shlwapi.dll", "version.dll", "msvcrt.dll", "netapi32.dll",
               "userenv.dll", "wtsapi32.dll", "setupapi.dll", "d3d9.dll", "dxgi.dll", "d3d11.dll", "mpr.dll",
               "authz.dll", "bcrypt.dll", "crypt32.dll", "secur32.dll", "uiautomationcore.dll", "shcore.dll",
               "dwrite.dll", "winspool.drv"}

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def utf16(text):
    return text.encode("utf-16-le")


def check_contents(names, root):
    top = {n[len(root):] for n in names}
    expect(all(p in top for p in PROGRAMS), "programs in the zip: %r" % sorted(n for n in top if n.endswith(".exe")))
    expect(not any(n.lower().endswith(".dll") for n in top), "DLLs in the zip")
    for path in ["LIESMICH.txt", "QUELLTEXT/morvask-betrachter-1.0-quelltext.tar.gz"] + LICENCES:
        expect(path in top, "%s missing from the zip" % path)


def check_program(path):
    name = os.path.basename(path)
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", path], capture_output=True, text=True).stdout
    # api-ms-win-*: Windows' own API sets, resolved by the system.
    imports = {m.lower() for m in re.findall(r"DLL Name: (\S+)", dump) if not m.lower().startswith("api-ms-win-")}
    expect(imports and imports <= SYSTEM_DLLS, "%s imports %r" % (name, sorted(imports - SYSTEM_DLLS)))
    headers = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", path], capture_output=True, text=True).stdout
    expect(".debug" not in headers, "%s is not stripped" % name)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def run(args, **kw):
    return subprocess.run([WINE] + args, capture_output=True, timeout=300, **kw)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zip", required=True)
    parser.add_argument("--examples", required=True)
    options = parser.parse_args()
    example = os.path.join(options.examples, "WVMO_261015_093000.DAT")
    with zipfile.ZipFile(options.zip) as z, tempfile.TemporaryDirectory(prefix="morvask-zip-") as scratch:
        names = z.namelist()
        root = names[0].split("/")[0] + "/"
        expect(all(n.startswith(root) for n in names), "one top folder")
        check_contents(names, root)
        target = os.path.join(scratch, "Entpackt \u0141\u00f3d\u017a")
        z.extractall(target)
        folder = os.path.join(target, root)

        readme = open(os.path.join(folder, "LIESMICH.txt"), "rb").read().decode("utf-8")
        expect("\r\n" in readme and all(p in readme for p in PROGRAMS) and "keine Installation" in readme,
               "LIESMICH.txt: CR LF, each program, no installation")
        notice = open(os.path.join(folder, "LIZENZEN", "HINWEIS.txt"), "rb").read().decode("utf-8")
        expect("LGPL" in notice and "QUELLTEXT/morvask-betrachter-1.0-quelltext.tar.gz" in notice
               and "scripts/build-windows-qt" in notice, "the notice names the source and the recipe")

        for program in PROGRAMS:
            check_program(os.path.join(folder, program))
        viewer = open(os.path.join(folder, "morvask-betrachter.exe"), "rb").read()
        for text in ("VS_VERSION_INFO", "040704B0", "Morvask-Betrachter", "morvask-betrachter.exe"):
            expect(utf16(text) in viewer, "the viewer's version information lacks %r" % text)

        data = windows_path(shutil.copy(example, os.path.join(target, os.path.basename(example))))
        r = run([os.path.join(folder, "morvask-check.exe"), data])
        expect(r.returncode == 0 and r.stdout.endswith(b": OK\n"), "morvask-check: %d %r" % (r.returncode, r.stdout))
        # The content check as the zip ships it, without lists, then with a folder
        # "Kodelisten" beside the program, where an office puts its own.
        check = os.path.join(folder, "morvask-check.exe")
        r = run([check, "--inhalt", data])
        expect(r.returncode == 0 and r.stdout.endswith(b": OK\n") and "Keine Kodelisten gefunden".encode("utf-8") in r.stderr,
               "morvask-check --inhalt without lists: %d %r %r" % (r.returncode, r.stdout, r.stderr))
        shutil.copytree(os.path.join(options.examples, "kodelisten"), os.path.join(folder, "Kodelisten"))
        r = run([check, "--inhalt", "--json", data])
        expect(r.returncode == 0 and b'"messageCount":0' in r.stdout and r.stderr == b"",
               "morvask-check --inhalt beside Kodelisten: %d %r %r" % (r.returncode, r.stdout[:200], r.stderr))
        shutil.rmtree(os.path.join(folder, "Kodelisten"))
        book = os.path.join(target, "Tabelle.xlsx")
        r = run([os.path.join(folder, "morvask-export.exe"), "--xlsx", windows_path(book), data])
        expect(r.returncode == 0, "morvask-export --xlsx: %d %r" % (r.returncode, r.stderr))
        if r.returncode == 0:
            sheets = openpyxl.load_workbook(book, read_only=True).sheetnames
            expect(sheets == ["Parameter", "Untersuchungen"], "workbook sheets %r" % sheets)
        later = windows_path(shutil.copy(os.path.join(options.examples, "WVMO_261016_081500.DAT"), target))
        r = run([os.path.join(folder, "morvask-vergleich.exe"), data, later])
        expect(r.returncode == 1 and r.stdout.startswith("1 Untersuchung neu, 1 entfallen".encode("utf-8")),
               "morvask-vergleich: %d %r" % (r.returncode, r.stdout[:200]))
        r = run([os.path.join(folder, "morvask-betrachter.exe"), "--version"])
        expect(r.returncode == 0 and r.stdout.strip() == b"morvask-betrachter 1.0",
               "morvask-betrachter --version: %d %r" % (r.returncode, r.stdout))
    if failures:
        return 1
    print("PASS: the Windows zip")
    return 0


if __name__ == "__main__":
    sys.exit(main())
