#!/usr/bin/env python3
"""morvask-vergleich --xlsx read back by openpyxl (cells and fills) and opened
by LibreOffice; the target rules of morvask-export.

    vergleich_workbook.py MORVASK_VERGLEICH EXAMPLES_DIR"""

import csv
import io
import os
import shutil
import subprocess
import sys
import tempfile

import openpyxl

SKIP = 77
YELLOW, GREEN, RED = "FFFFEB9C", "FFC6EFCE", "FFFFC7CE"
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL   " + what)


def fill(cell):
    return cell.fill.fgColor.rgb if cell.fill is not None and cell.fill.fill_type == "solid" else None


def main():
    tool, examples = sys.argv[1], sys.argv[2]
    old = os.path.join(examples, "WVMO_261015_093000.DAT")
    new = os.path.join(examples, "WVMO_261016_081500.DAT")
    faulty = os.path.join(examples, "GAMO_LGA1_261016_141500.DAT")
    run = lambda *args: subprocess.run([tool] + list(args), capture_output=True, timeout=120)
    with tempfile.TemporaryDirectory(prefix="morvask-vergleich-") as folder:
        book = os.path.join(folder, "Vergleich.xlsx")
        r = run("--xlsx", book, old, new)
        expect(r.returncode == 1 and r.stdout == b"", "--xlsx: exit %d %r" % (r.returncode, r.stderr))
        wb = openpyxl.load_workbook(book)
        expect(wb.sheetnames == ["Unterschiede", "Untersuchungen"], "sheets %r" % wb.sheetnames)

        # The differences: the rows of --format csv, the kind in words, filled by kind.
        rows = list(csv.reader(io.StringIO(run("--format", "csv", old, new).stdout.decode("utf-8"))))
        sheet = wb["Unterschiede"]
        kinds = {"fieldChanged": "Feld geändert", "parameterRemoved": "Parameter entfallen",
                 "parameterAdded": "Parameter neu", "examinationAdded": "Untersuchung neu",
                 "examinationRemoved": "Untersuchung entfallen"}
        for i, want in enumerate(rows[1:], start=2):
            want = [{words: code for code, words in kinds.items()}[want[0]]] + want[1:]  # the CSV says the kind in words
            cells = [sheet.cell(i, c) for c in range(1, 11)]
            got = [c.value or "" for c in cells]
            expect(got == [kinds[want[0]]] + want[1:], "row %d: %r, CSV %r" % (i, got, want))
            expect(all(c.data_type == "s" for c in cells if c.value), "row %d holds a cell that is no text" % i)
            colours = [fill(c) for c in cells]
            if want[0] == "fieldChanged":
                expect(colours == [None] * 6 + [YELLOW] * 2 + [None] * 2, "row %d fills %r" % (i, colours))
            else:
                expect(colours == [GREEN if "Added" in want[0] else RED] * 10, "row %d fills %r" % (i, colours))
        legend = [(sheet.cell(r, 1).value, fill(sheet.cell(r, 1))) for r in range(len(rows) + 2, len(rows) + 6)]
        expect(legend == [("Legende:", None), ("geänderter Wert", YELLOW),
                          ("neu (Untersuchung oder Parameter)", GREEN),
                          ("entfallen (Untersuchung oder Parameter)", RED)], "legend %r" % legend)

        # The examinations, old above new: the corrected sampling time yellow in both rows.
        sheet = wb["Untersuchungen"]
        table = [[c.value for c in row] for row in sheet.iter_rows(min_row=2)]
        expect([(r[0], r[1]) for r in table] == [("alt", "1"), ("neu", "16"), ("alt", "24"), ("neu", "24"),
                                                  ("alt", "92"), ("neu", "81"), ("neu", "130"), ("alt", "57")],
               "examination rows %r" % [(r[0], r[1]) for r in table])
        column = 3 + 22  # Datei, Zeile, Schlüssel, then fields 1 to 42
        expect(sheet.cell(1, column).value == "Probe-Daten Probenahme am (22)", "heading %r" % sheet.cell(1, column).value)
        changed = [(r, c) for r in range(2, 10) for c in range(1, 46) if fill(sheet.cell(r, c)) == YELLOW]
        expect(changed == [(6, column), (7, column)], "changed cells %r" % changed)
        expect({fill(c) for c in sheet[8]} == {GREEN} and {fill(c) for c in sheet[9]} == {RED}, "added and removed rows")

        # The target rules: never an input, never a non-workbook, kept when the comparison fails.
        copy = shutil.copy(old, os.path.join(folder, "ALT.DAT"))
        os.link(copy, os.path.join(folder, "ALT.xlsx"))
        before = open(copy, "rb").read()
        for target, reason in [("ALT.xlsx", "Eingabedatei"), ("v.txt", "endet nicht auf .xlsx")]:
            r = run("--xlsx", os.path.join(folder, target), copy, new)
            expect(r.returncode == 2 and reason in r.stderr.decode("utf-8"), "refused %s: %d %r" % (target, r.returncode, r.stderr))
        expect(open(copy, "rb").read() == before, "an input was written")
        os.remove(os.path.join(folder, "ALT.xlsx"))
        notes = os.path.join(folder, "Notizen.xlsx")
        open(notes, "wb").write(b"keine Arbeitsmappe")
        r = run("--xlsx", notes, old, new)
        expect(r.returncode == 2 and open(notes, "rb").read() == b"keine Arbeitsmappe", "a non-workbook replaced")
        kept = open(book, "rb").read()
        r = run("--xlsx", book, old, faulty)
        expect(r.returncode == 2 and "wurde nicht geschrieben" in r.stderr.decode("utf-8") and open(book, "rb").read() == kept,
               "a failed comparison touched the workbook: %d" % r.returncode)
        expect(sorted(os.listdir(folder)) == ["ALT.DAT", "Notizen.xlsx", "Vergleich.xlsx"], "left behind: %r" % os.listdir(folder))

        # LibreOffice opens it: both sheets as CSV, the first as the tool's own rows.
        soffice = shutil.which("soffice")
        if not soffice:
            print("LibreOffice (soffice) is not installed: the workbook is not read by it", file=sys.stderr)
            sys.exit(SKIP if not failures else 1)
        profile = "file://" + os.path.join(folder, "profil")
        csv_filter = "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1"
        r = subprocess.run([soffice, "-env:UserInstallation=" + profile, "--headless", "--convert-to", csv_filter,
                            "--outdir", os.path.join(folder, "csv"), book], capture_output=True, timeout=300)
        expect(r.returncode == 0, "soffice: exit %d %r" % (r.returncode, r.stderr[-300:]))
        seen = list(csv.reader(open(os.path.join(folder, "csv", "Vergleich-Unterschiede.csv"), encoding="utf-8")))
        expect([row[1:] for row in seen[1:len(rows)]] == [row[1:] for row in rows[1:]], "LibreOffice reads other rows")
        expect(os.path.exists(os.path.join(folder, "csv", "Vergleich-Untersuchungen.csv")), "LibreOffice lost a sheet")
    if failures:
        sys.exit(1)
    print("vergleich workbook: all good")


if __name__ == "__main__":
    main()
