#!/usr/bin/env python3
"""Reads morvask-export's CSV and workbook back with independent readers
(Python's csv module, openpyxl) and compares them field by field with the
transfer files, read here by a reader of its own.

    export_readback.py MORVASK_EXPORT EXAMPLES_DIR [readback|streams|fulldisk|windows|libreoffice|readers]

With MORVASK_EMULATOR set (Wine), the Windows build runs through it; the
"windows" mode passes it Windows paths that hold letters outside Windows-1252.
The "libreoffice" mode has LibreOffice itself (headless) read the workbooks,
the "readers" mode ExcelJS and R's readxl (tests/readers).
"""

import codecs
import csv
import hashlib
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

import openpyxl

SKIP = 77
EXPORT = sys.argv[1]
EXAMPLES = sys.argv[2]
EMULATOR = [os.environ["MORVASK_EMULATOR"]] if os.environ.get("MORVASK_EMULATOR") else []

# Windows-1252 leaves five bytes undefined; the files keep them as the C1
# control characters of the same number.
codecs.register_error("c1", lambda e: (chr(e.object[e.start]), e.start + 1))


def decode(raw):
    return raw.decode("cp1252", errors="c1")


def lines_of(data):
    data = data.split(b"\0", 1)[0]
    lines = re.split(rb"\r\n|\r|\n", data)
    if lines[-1] == b"":
        lines.pop()  # a break at the very end adds no line
    return lines


def fields_of(line):
    if not line:
        return []
    parts = line.split(b"|")
    if line.endswith(b"|"):
        parts.pop()
    return [decode(p.strip(bytes(range(33)))) for p in parts]


def expected_tables(path, shown):
    """(parameter rows, examination rows) as the export should give them."""
    lines = lines_of(open(path, "rb").read())
    params, exams = [], []
    i, number = 0, 0
    while i + 1 < len(lines):
        number += 1
        first = i + 1
        master = fields_of(lines[i]) + fields_of(lines[i + 1])
        assert len(master) == 42, (path, first)
        i += 2
        count = 0
        while fields_of(lines[i])[:1] != ["3"]:
            row = fields_of(lines[i])
            assert len(row) == 11
            params.append([shown, str(number), str(first)] + master + [str(i + 1)] + row)
            count += 1
            i += 1
        i += 1
        if count == 0:
            params.append([shown, str(number), str(first)] + master + [""] * 12)
        exams.append([shown, str(number), str(first)] + master + [str(count)])
    return params, exams


def run(args, **kw):
    return subprocess.run(EMULATOR + [EXPORT] + args, capture_output=True, timeout=600, **kw)


def read_csv(data):
    return list(csv.reader(io.StringIO(data.decode("utf-8"), newline=""), strict=True))


CONTROL = re.compile(r"_x(00[01][0-9A-Fa-f])_")

# The export's own numbers: examination number, its first line, the
# parameter's line (Parameter) or the parameter count (Untersuchungen).
NUMBER_COLUMNS = {1, 2, 45}


def read_sheets(path):
    book = openpyxl.load_workbook(path, read_only=True)
    sheets = {}
    for ws in book:
        rows = []
        for n, row in enumerate(ws.iter_rows(values_only=True)):
            for k, value in enumerate(row):
                number = n > 0 and k in NUMBER_COLUMNS and value is not None
                assert isinstance(value, int) if number else value is None or isinstance(value, str), (ws.title, n, k, value)
            # A spreadsheet reads "_xHHHH_" as the character HHHH; openpyxl
            # does so in shared strings too, but leaves control characters.
            rows.append(["" if v is None else str(v) if isinstance(v, int) else CONTROL.sub(
                lambda m: chr(int(m.group(1), 16)), v) for v in row])
        sheets[ws.title] = rows
    book.close()
    return sheets


failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def compare(name, got, want):
    if len(got) != len(want):
        expect(False, "%s: %d rows, expected %d" % (name, len(got), len(want)))
        return
    for n, (g, w) in enumerate(zip(got, want)):
        # A workbook row ends at its last non-empty cell.
        g = list(g) + [""] * (len(w) - len(g))
        if g != w:
            bad = [k for k in range(len(w)) if k >= len(g) or g[k] != w[k]][:3]
            expect(False, "%s row %d: columns %s: %r != %r" % (name, n + 1, bad, [g[k] for k in bad], [w[k] for k in bad]))
            return


# --- generated files ---------------------------------------------------------

TRICKY = [
    b"M\xfcller & S\xf6hne \xb5g/l", b'Zitat "innen" und ""doppelt""', b"a;b;c", b"1,5,7",
    b"  mit Blanks  \t", b"", b"007", b"0,53", b"=SUMME(A1)", b"+49 6163 4711", b"-1", b"@x",
    b"\x80 \x81 \x8d \x9f \xa0\xff", b"Tab\tinnen", b"=1+1", b"'quote", b"x" * 300,
    b"a\x01b\x1fc", b"x_x0041_y _X004a_ _x12_",
]


SHORT = [t for t in TRICKY if len(t) < 20]


def line(kind, count, seed, pool):
    return b"|".join(kind + [pool[(seed + k) % len(pool)] for k in range(count)]) + b"|"


def generated(exams, params_of, sep=b"\r\n", pool=TRICKY):
    out = []
    for e in range(exams):
        out += [line([b"1", b"E"], 30, e, pool), line([b"2", b"MATW"], 8, e * 7, pool)]
        n = params_of(e)
        out += [line([b"2"], 10, (e + k) * 3, pool) for k in range(n)]
        out.append(b"3|%d" % n)
    return sep.join(out) + sep


def write(folder, name, data):
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(data)
    return path


def check_readback(folder):
    files = [os.path.join(EXAMPLES, "WVMO_261015_093000.DAT"),
             write(folder, "ABCD_070312_143001.DAT", generated(40, lambda e: e % 4)),
             write(folder, "ABCD_070312_143002.DAT", generated(3, lambda e: 2, sep=b"\n")),
             write(folder, "ABCD_070312_143003.DAT", generated(1, lambda e: 0, sep=b"\r") + b"kein Block\r"),
             write(folder, "ABCD_070312_143004.DAT", generated(100000, lambda e: 1 if e % 1000 == 0 else 0, pool=SHORT))]
    want_params, want_exams = [], []
    for f in files:
        p, e = expected_tables(f, f)
        want_params += p
        want_exams += e

    # The lone line behind the last examination of file 4 is not examined: a note, nothing more.
    note = ("%s:4: Hinweis: Zeile 4 wurde nicht gepr\u00fcft, denn sie steht allein hinter der letzten "
            "Untersuchung; die \u00dcbermittlung ist wom\u00f6glich unvollst\u00e4ndig.\n" % files[3]).encode()
    r = run(files)
    expect(r.returncode == 0 and r.stderr == note, "csv: exit %d, %r" % (r.returncode, r.stderr[:300]))
    rows = read_csv(r.stdout)
    expect(rows[0][:4] == ["Datei", "Untersuchung Nr.", "Erste Zeile der Untersuchung", "Feld 1"] and
           rows[0][18] == "Entnahmestelle Kurzbez. (16)" and rows[0][45] == "Zeilen-Nr. in Datei" and
           rows[0][-1] == "Analyse-Daten Ausnahme (53)",
           "csv heading %r" % rows[0][:4])
    expect(r.stdout.count(b"\r") == 0, "csv rows end in LF")
    compare("csv", rows[1:], want_params)

    book = os.path.join(folder, "out.xlsx")
    r = run(["--xlsx", book] + files[:4])
    expect(r.returncode == 0 and r.stderr == note, "xlsx: exit %d, %r" % (r.returncode, r.stderr[:300]))
    sheets = read_sheets(book)
    expect(list(sheets) == ["Parameter", "Untersuchungen"], "sheets %r" % list(sheets))
    small_params = [row for row in want_params if row[0] in files[:4]]
    small_exams = [row for row in want_exams if row[0] in files[:4]]
    compare("xlsx Parameter", sheets["Parameter"][1:], small_params)
    compare("xlsx Untersuchungen", sheets["Untersuchungen"][1:], small_exams)
    expect(sheets["Parameter"][0] == rows[0], "workbook and CSV headings differ")
    expect(sheets["Untersuchungen"][0][-1] == "Anzahl Parameter", "examination heading")
    full = openpyxl.load_workbook(book)
    for ws in full:
        expect(ws.freeze_panes == "A2" and ws.auto_filter.ref == "A1:%s%d" % (
            openpyxl.utils.get_column_letter(ws.max_column), ws.max_row), "%s: frozen %r, filter %r" % (
            ws.title, ws.freeze_panes, ws.auto_filter.ref))
        formulas = [c.coordinate for row in ws.iter_rows() for c in row if c.data_type == "f"]
        expect(not formulas, "%s: formula cells %r" % (ws.title, formulas[:3]))
        # Paths are wider than their heading "Datei"; a cell of 300 characters is cut at the bound.
        widths = [ws.column_dimensions[openpyxl.utils.get_column_letter(k + 1)].width for k in range(ws.max_column)]
        expect(widths[0] >= min(60, max(len(f) for f in files[:4])) and max(widths) <= 61 and min(widths) >= 8,
               "%s: column widths %r" % (ws.title, widths[:4]))
        expect(ws.print_title_rows in ("1:1", "$1:$1") and ws.page_setup.orientation == "landscape" and int(ws.page_setup.paperSize) == 9 and
               ws.page_setup.fitToWidth == 1 and ws.page_setup.fitToHeight == 0 and ws.sheet_properties.pageSetUpPr.fitToPage,
               "%s: printing %r %r" % (ws.title, ws.print_title_rows, ws.page_setup.orientation))
    expect(sorted(os.listdir(folder)) == sorted([os.path.basename(f) for f in files[1:]] + ["out.xlsx"]),
           "files left in the folder: %r" % os.listdir(folder))

    # The big file through the workbook: openpyxl takes minutes for it, so the
    # rows are counted in the sheet itself and its last row compared.
    # Long enough for progress, which a redirected standard error never shows.
    r = run(["--xlsx", book, files[4]])
    expect(r.returncode == 0 and r.stderr == b"", "xlsx 100 000: exit %d %r" % (r.returncode, r.stderr[:300]))
    with zipfile.ZipFile(book) as z:
        sheet = z.read("xl/worksheets/sheet2.xml")
    expect(sheet.count(b"<row ") == 100001 and b'<row r="100001"' in sheet, "xlsx 100 000: rows")


def digest(path):
    return hashlib.sha256(open(path, "rb").read()).hexdigest()


def check_streams(folder):
    good = write(folder, "ABCD_070312_143001.DAT", generated(2, lambda e: 1))
    faulty = write(folder, "ABCD_070312_143002.DAT", generated(2, lambda e: 1).replace(b"3|1\r\n", b"3|2\r\n", 1))
    missing = os.path.join(folder, "fehlt.DAT")
    want, _ = expected_tables(good, good)

    check = subprocess.run([os.path.join(os.path.dirname(EXPORT), "morvask-check"), faulty], capture_output=True)
    r = run([faulty, good])
    expect(r.returncode == 1, "findings: exit %d" % r.returncode)
    expect(r.stderr == check.stdout, "findings: stderr %r, morvask-check printed %r" % (r.stderr, check.stdout))
    compare("findings csv", read_csv(r.stdout)[1:], want)

    r = run(["--format", "jsonl", good, missing, faulty])
    expect(r.returncode == 2, "unreadable: exit %d" % r.returncode)
    expect(r.stderr.decode().startswith("morvask-export: Datei %s kann nicht ge\u00f6ffnet werden. "
                                        "Grund: Datei oder Ordner nicht vorhanden.\n" % missing)
           and r.stderr.endswith(check.stdout), "unreadable: stderr %r" % r.stderr)
    expect(len(r.stdout.splitlines()) == 2, "unreadable: the good file is still exported")

    for args, status in ([["--format", "xml", good], 2], [["--xlsx"], 2], [[], 2], [["--bogus", good], 2],
                         [["--xlsx", "a.xlsx", "--format", "csv", good], 2]):
        r = run(args)
        expect(r.returncode == status and r.stdout == b"" and r.stderr.startswith(b"morvask-export: "),
               "arguments %r: exit %d, %r" % (args, r.returncode, r.stderr))
    if os.path.exists("/dev/full"):
        with open("/dev/full", "wb") as full:
            r = subprocess.run([EXPORT, good], stdout=full, stderr=subprocess.PIPE, timeout=60)
        expect(r.returncode == 2 and r.stderr.startswith(b"morvask-export: "),
               "output to a full device: exit %d %r" % (r.returncode, r.stderr))
    else:
        print("output to a full device left out: /dev/full is missing", file=sys.stderr)
    r = run(["--help"])
    expect(r.returncode == 0 and b"--xlsx" in r.stdout and b"Exit-Status" in r.stdout, "help")

    # A field longer than a cell: that file is left out as one with findings,
    # named by its true line and field (line 6 holds fields 33 to 42).
    lines = generated(2, lambda e: 1).split(b"\r\n")
    fields = lines[5].split(b"|")
    fields[2] = b"y" * 32768
    lines[5] = b"|".join(fields)
    long_file = write(folder, "ABCD_070312_143003.DAT", b"\r\n".join(lines))
    r = run(["--xlsx", os.path.join(folder, "lang.xlsx"), long_file, good])
    expect(r.returncode == 1 and r.stderr.decode() == "%s:6: Feld 35 in Zeile 6 hat 32768 Zeichen, eine Zelle der "
           "Arbeitsmappe fasst h\u00f6chstens 32767. Die Datei wird nicht ausgegeben.\n" % long_file,
           "long field: exit %d, %r" % (r.returncode, r.stderr[:300]))
    compare("long field", read_sheets(os.path.join(folder, "lang.xlsx"))["Parameter"][1:], want)
    os.remove(os.path.join(folder, "lang.xlsx"))
    os.remove(long_file)

    # The workbook: findings still give one of the others; a failure keeps the old one.
    book = write(folder, "alt.xlsx", b"")
    r = run(["--xlsx", book, faulty, good])
    expect(r.returncode == 1 and r.stderr == check.stdout, "xlsx findings: %d %r" % (r.returncode, r.stderr))
    compare("xlsx findings", read_sheets(book)["Parameter"][1:], want)
    before = digest(book)
    r = run(["--xlsx", book, good, missing])
    expect(r.returncode == 2 and digest(book) == before, "xlsx unreadable input: %d, replaced" % r.returncode)
    r = run(["--xlsx", os.path.join(folder, "kein", "Ordner.xlsx"), good])
    expect(r.returncode == 2 and b"Ordner" in r.stderr, "missing folder: exit %d %r" % (r.returncode, r.stderr))
    expect(sorted(os.listdir(folder)) == sorted(["ABCD_070312_143001.DAT", "ABCD_070312_143002.DAT", "alt.xlsx"]),
           "left behind: %r" % os.listdir(folder))


def windows_path(path):
    """The Linux file system is drive Z: under Wine."""
    return "Z:" + path.replace("/", "\\")


def check_windows(folder):
    """The workbook of the Windows build, in a folder and under a name that the
    ANSI code page cannot hold: written, read back, and the old one kept on failure."""
    folder = os.path.join(folder, "Pr\u00fcfdaten \u0141\u00f3d\u017a \u65e5\u672c")
    os.mkdir(folder)
    files = [write(folder, "ABCD_070312_143001.DAT", generated(12, lambda e: e % 3)),
             write(folder, "ABCD_070312_143002.DAT", generated(2, lambda e: 1, sep=b"\n"))]
    shown = [windows_path(f) for f in files]
    want_params, want_exams = [], []
    for f, name in zip(files, shown):
        p, e = expected_tables(f, name)
        want_params += p
        want_exams += e
    book = os.path.join(folder, "Tabelle \u0141\u00f3d\u017a.xlsx")
    r = run(["--xlsx", windows_path(book)] + shown)
    expect(r.returncode == 0 and r.stderr == b"", "xlsx: exit %d, %r" % (r.returncode, r.stderr[:300]))
    sheets = read_sheets(book)
    compare("xlsx Parameter", sheets["Parameter"][1:], want_params)
    compare("xlsx Untersuchungen", sheets["Untersuchungen"][1:], want_exams)
    before = digest(book)
    r = run(["--xlsx", windows_path(book), shown[0], windows_path(os.path.join(folder, "fehlt.DAT"))])
    expect(r.returncode == 2 and digest(book) == before, "unreadable input: exit %d, replaced" % r.returncode)
    expect(sorted(os.listdir(folder)) == sorted([os.path.basename(f) for f in files] + [os.path.basename(book)]),
           "files left in the folder: %r" % os.listdir(folder))

    # A target past MAX_PATH (260): its input, temporary and rename go through
    # the \\?\ form of the full path. Wine does not enforce the limit, so this
    # shows that the long form is made right and that every step takes it
    # alike; that a short form would fail there only Windows itself can show.
    deep = os.path.join(folder, *["Ordner \u0141\u00f3d\u017a %02d %s" % (k, "x" * 40) for k in range(5)])
    os.makedirs(deep)
    long_input = write(deep, "ABCD_070312_143003.DAT", generated(2, lambda e: 1))
    long_book = os.path.join(deep, "Tabelle.xlsx")
    expect(len(windows_path(long_book)) > 260, "the long path is long")
    r = run(["--xlsx", windows_path(long_book), windows_path(long_input)])
    expect(r.returncode == 0 and r.stderr == b"", "long path: exit %d, %r" % (r.returncode, r.stderr[:300]))
    want, _ = expected_tables(long_input, windows_path(long_input))
    compare("long path", read_sheets(long_book)["Parameter"][1:], want)
    expect(sorted(os.listdir(deep)) == ["ABCD_070312_143003.DAT", "Tabelle.xlsx"], "long path: left %r" % os.listdir(deep))


def check_full_disk(folder):
    """Inside a private mount namespace: a small tmpfs that the workbook overflows."""
    disk = os.path.join(folder, "disk")
    os.mkdir(disk)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", disk], capture_output=True, text=True)
    if mounted.returncode != 0:
        print("full-disk test skipped: mount failed: %s" % mounted.stderr.strip(), file=sys.stderr)
        sys.exit(SKIP)
    try:
        big = write(folder, "ABCD_070312_143005.DAT", generated(3000, lambda e: 2))
        book = write(disk, "alt.xlsx", b"PK\x03\x04 old workbook, kept byte for byte")
        before = digest(book)
        r = run(["--xlsx", book, big])
        # One German line with the reason.
        lines = r.stderr.decode().splitlines()
        expect(r.returncode == 2 and len(lines) == 1 and lines[0].startswith("morvask-export: ")
               and "Grund: kein Platz mehr auf dem Datentr\u00e4ger." in lines[0],
               "full disk: exit %d %r" % (r.returncode, r.stderr))
        expect(digest(book) == before, "full disk: old workbook changed")
        expect(os.listdir(disk) == ["alt.xlsx"], "full disk: left behind %r" % os.listdir(disk))
    finally:
        subprocess.run(["umount", disk])


def sheet_csv(rows):
    out = io.StringIO()
    csv.writer(out, lineterminator="\n").writerows(rows)
    return out.getvalue().encode()


def investigations_csv(parameters):
    """The sheet "Untersuchungen" as CSV, from the export's CSV of parameters."""
    rows = read_csv(parameters)
    heading = rows[0][:45] + ["Anzahl Parameter"]
    exams = {}
    for row in rows[1:]:
        exam = exams.setdefault((row[0], row[1]), row[:45] + [0])
        exam[45] += row[45] != ""
    return sheet_csv([heading] + [e[:45] + [str(e[45])] for e in exams.values()])


def check_libreoffice(folder):
    """LibreOffice converts the workbooks to CSV, every sheet: each equals the
    export's CSV. Its start is slow, so all workbooks go in one run."""
    soffice = shutil.which("soffice")
    if not soffice:
        print("LibreOffice (soffice) is not installed: the workbooks are not read by it", file=sys.stderr)
        sys.exit(SKIP)
    tricky = [b"=SUMME(A1)", b"007", b"0,53", b"+49 30", b"07.12.2026", b"2026-12-07", b"12:30", b"1e5", b"WAHR",
              b"-0", b"\x80 5,00", b"\x84Zitat\x93", b"a  zwei  Blanks", b"x_x0041_y", b"100%", b"'quote", b"=1+1"]
    books = {
        # The faulty example is left out of both, as a file with findings.
        "beispiel": [os.path.join(EXAMPLES, n) for n in ("WVMO_261015_093000.DAT", "GAMO_LGA1_261016_141500.DAT")],
        "knifflig": [write(folder, "ABCD_070312_143001.DAT", generated(30, lambda e: e % 4, pool=tricky)),
                     write(folder, "ABCD_070312_143002.DAT",
                           generated(2, lambda e: 1, pool=[b"x" * 32767, b"\x80" * 32767, b" " + b"y" * 32765 + b"."]))],
    }
    converted = os.path.join(folder, "csv")
    for name, files in books.items():
        r = run(["--xlsx", os.path.join(folder, name + ".xlsx")] + files)
        expect(r.returncode == (1 if name == "beispiel" else 0), "%s: exit %d %r" % (name, r.returncode, r.stderr[:300]))
    profile = "file://" + os.path.join(folder, "profil")
    # 44: comma, 34: double quote, 76: UTF-8; -1 as the last token: every sheet to a file of its own.
    csv_filter = "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1"
    r = subprocess.run([soffice, "-env:UserInstallation=" + profile, "--headless", "--convert-to", csv_filter,
                        "--outdir", converted] + [os.path.join(folder, n + ".xlsx") for n in books],
                       capture_output=True, timeout=300)
    expect(r.returncode == 0, "soffice: exit %d %r" % (r.returncode, r.stderr[-300:]))
    for name, files in books.items():
        r = run(files)
        parameters = open(os.path.join(converted, name + "-Parameter.csv"), "rb").read()
        expect(parameters == r.stdout, "%s: LibreOffice's Parameter differs from the CSV at byte %d" % (
            name, next((i for i, (a, b) in enumerate(zip(parameters, r.stdout)) if a != b), min(len(parameters), len(r.stdout)))))
        exams = open(os.path.join(converted, name + "-Untersuchungen.csv"), "rb").read()
        expect(exams == investigations_csv(r.stdout), "%s: LibreOffice's Untersuchungen differs" % name)
    # Printing as LibreOffice sees it: landscape, one page wide, the heading row on every page.
    r = subprocess.run([soffice, "-env:UserInstallation=" + profile, "--headless", "--convert-to", "fods",
                        "--outdir", converted, os.path.join(folder, "beispiel.xlsx")], capture_output=True, timeout=300)
    flat = open(os.path.join(converted, "beispiel.fods"), encoding="utf-8").read()
    expect(flat.count("<table:table-header-rows>") == 2 and 'style:print-orientation="landscape"' in flat and
           'style:scale-to-X="1"' in flat, "LibreOffice's page setup")


def check_readers(folder):
    """ExcelJS and readxl read a workbook as openpyxl does, its numbers as
    numbers, and ExcelJS finds how it prints."""
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "readers"))
    import readers
    # Text that XML escapes or that reaches the "_xHHHH_" form is left to the
    # other modes: not every reader decodes that form.
    pool = [t for t in TRICKY if b"_x" not in t and not re.search(rb"[\x00-\x08\x0b-\x1f]", t)]
    files = [os.path.join(EXAMPLES, "WVMO_261015_093000.DAT"),
             write(folder, "ABCD_070312_143001.DAT", generated(12, lambda e: e % 3, pool=pool))]
    book = os.path.join(folder, "Tabelle.xlsx")
    r = run(["--xlsx", book] + files)
    expect(r.returncode == 0, "xlsx: exit %d %r" % (r.returncode, r.stderr[:300]))
    sheets, missing = readers.check(book, expect)
    for sheet in sheets or []:
        expect(sheet["orientation"] == "landscape" and sheet["fitToPage"] and sheet["fitToWidth"] == 1 and
               sheet["fitToHeight"] == 0 and sheet["printTitlesRow"] == "1:1" and sheet["frozen"] == {"x": 0, "y": 1} and
               re.fullmatch(r"A1:[A-Z]+\d+", str(sheet["autoFilter"])), "ExcelJS, %s: printing %r" % (
                   sheet["name"], {k: v for k, v in sheet.items() if k != "cells"}))
    if missing and not failures:
        print("not installed here: %s" % ", ".join(missing), file=sys.stderr)
        sys.exit(SKIP)


def main():
    mode = sys.argv[3] if len(sys.argv) > 3 else "readback"
    if mode == "fulldisk" and os.environ.get("MORVASK_IN_NAMESPACE") != "1":
        if os.geteuid() != 0 or not shutil.which("unshare"):
            print("full-disk test needs root and unshare", file=sys.stderr)
            sys.exit(SKIP)
        # Root without the mount capability, as in most containers, gets no
        # namespace; asked apart, so that the test's own failure stays one.
        namespace = ["unshare", "-m", "--propagation", "private"]
        probe = subprocess.run(namespace + ["true"], capture_output=True, text=True)
        if probe.returncode != 0:
            print("full-disk test skipped: unshare failed: %s" % probe.stderr.strip(), file=sys.stderr)
            sys.exit(SKIP)
        env = dict(os.environ, MORVASK_IN_NAMESPACE="1")
        r = subprocess.run(namespace + [sys.executable] + sys.argv, env=env)
        sys.exit(r.returncode)
    with tempfile.TemporaryDirectory(prefix="morvask-export-") as folder:
        modes = {"readback": check_readback, "streams": check_streams, "fulldisk": check_full_disk,
                 "windows": check_windows, "libreoffice": check_libreoffice, "readers": check_readers}
        modes[mode](folder)
    if failures:
        sys.exit(1)
    print("%s: all good" % mode)


if __name__ == "__main__":
    main()
