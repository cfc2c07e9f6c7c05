#!/usr/bin/env python3
"""morvask-vergleich --xlsx read back by openpyxl (cells, fills, printing),
ExcelJS and readxl (tests/readers), and opened by LibreOffice; the target
rules of morvask-export.

    vergleich_workbook.py MORVASK_VERGLEICH EXAMPLES_DIR"""

import csv
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import openpyxl

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "readers"))
import readers  # noqa: E402

SKIP = 77
YELLOW, GREEN, RED = "FFFFEB9C", "FFC6EFCE", "FFFFC7CE"
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL   " + what)


def fill(cell):
    return cell.fill.fgColor.rgb if cell.fill is not None and cell.fill.fill_type == "solid" else None


def heading_row(sheet):
    return next(r for r in range(1, 20) if sheet.cell(r, 1).value == "Art")


def main():
    tool, examples = sys.argv[1], sys.argv[2]
    old = os.path.join(examples, "WVMO_261015_093000.DAT")
    new = os.path.join(examples, "WVMO_261016_081500.DAT")
    faulty = os.path.join(examples, "GAMO_LGA1_261016_141500.DAT")
    run = lambda *args: subprocess.run([tool] + list(args), capture_output=True, timeout=120)
    missing = set()
    with tempfile.TemporaryDirectory(prefix="morvask-vergleich-") as folder:
        book = os.path.join(folder, "Vergleich.xlsx")
        r = run("--xlsx", book, old, new)
        expect(r.returncode == 1 and r.stdout == b"", "--xlsx: exit %d %r" % (r.returncode, r.stderr))
        wb = openpyxl.load_workbook(book)
        expect(wb.sheetnames == ["Unterschiede", "Untersuchungen"], "sheets %r" % wb.sheetnames)

        # Above the table: both files with their modification times, the key, the summary.
        sheet = wb["Unterschiede"]
        text = run(old, new).stdout.decode("utf-8")
        summary = next(line for line in text.splitlines() if re.match(r"\d+ Untersuchung(en)? neu, ", line))
        stamp = lambda path: time.strftime("%d.%m.%Y %H:%M:%S", time.localtime(os.stat(path).st_mtime))
        above = [(sheet.cell(r, 1).value, sheet.cell(r, 2).value) for r in range(1, 5)]
        expect(above == [("Alt:", "%s, geändert am %s" % (os.path.abspath(old), stamp(old))),
                         ("Neu:", "%s, geändert am %s" % (os.path.abspath(new), stamp(new))),
                         ("Schlüssel:", "Probe-Daten Schlüssel des Labors (31) mit Probe-Daten Proben-ID des Labors (3), "
                                        "wo dieses leer ist mit Probe-Daten Proben-ID des GA (5)"),
                         ("Ergebnis:", summary)], "above the table %r" % above)

        # The differences: the rows of --format csv, column by heading, the
        # kind in words, numbers as numbers, filled by kind.
        rows = list(csv.reader(io.StringIO(run("--format", "csv", old, new).stdout.decode("utf-8"))))
        top = heading_row(sheet)
        headings = [c.value for c in sheet[top]]
        expect(headings[:3] == ["Art", "Schlüssel", "Schlüssel alt"] and len(headings) == 11, "headings %r" % headings)
        kinds = {"fieldChanged": "Feld geändert", "parameterRemoved": "Parameter entfallen",
                 "parameterAdded": "Parameter neu", "examinationAdded": "Untersuchung neu",
                 "examinationRemoved": "Untersuchung entfallen"}
        for i, want in enumerate(rows[1:], start=top + 1):
            cells = {h: sheet.cell(i, c + 1) for c, h in enumerate(headings)}
            got = [str(cells[h].value or "") for h in rows[0]]
            expect(got == [kinds.get(want[0], want[0])] + want[1:], "row %d: %r, CSV %r" % (i, got, want))
            numbers = [cells[h] for h in ("Zeile alt", "Zeile neu", "Feld") if cells[h].value is not None]
            expect(numbers and all(isinstance(c.value, int) and c.data_type == "n" for c in numbers),
                   "row %d: numbers %r" % (i, [c.value for c in numbers]))
            colours = [fill(c) for c in sheet[i]]
            if got[0] == "Feld geändert":
                expect(colours == [None] * 7 + [YELLOW] * 2 + [None] * 2, "row %d fills %r" % (i, colours))
            else:
                expect(colours == [GREEN if got[0].endswith("neu") else RED] * 11, "row %d fills %r" % (i, colours))
        last = top + len(rows) - 1
        expect(sheet.auto_filter.ref == "A%d:K%d" % (top, last) and sheet.freeze_panes == "A%d" % (top + 1),
               "filter %r, frozen %r" % (sheet.auto_filter.ref, sheet.freeze_panes))
        legend = [(sheet.cell(r, 1).value, fill(sheet.cell(r, 1)), sheet.cell(r, 2).value) for r in range(last + 2, last + 6)]
        expect(legend == [("Legende:", None, None), ("gelb", YELLOW, "ein geänderter Wert"),
                          ("grün", GREEN, "Untersuchung oder Parameter neu"),
                          ("rot", RED, "Untersuchung oder Parameter entfallen")], "legend %r" % legend)
        expect(sheet.print_title_rows.replace("$", "") == "%d:%d" % (top, top) and sheet.sheet_properties.pageSetUpPr.fitToPage,
               "printing %r" % sheet.print_title_rows)

        # The examinations, old above new: the two changed only in a parameter
        # marked, their key filled; the corrected sampling time yellow in both rows.
        sheet = wb["Untersuchungen"]
        table = [[c.value for c in row] for row in sheet.iter_rows(min_row=2)]
        expect([tuple(r[:2]) + (r[3],) for r in table] ==
               [("alt", 1, "nur Parameter"), ("neu", 16, "nur Parameter"), ("alt", 24, "nur Parameter"),
                ("neu", 24, "nur Parameter"), ("alt", 92, "Felder"), ("neu", 81, "Felder"), ("neu", 130, "neu"),
                ("alt", 57, "entfallen")], "examination rows %r" % [r[:4] for r in table])
        column = 4 + 22  # Datei, Zeile, Schlüssel, Änderung, then fields 1 to 42
        expect(sheet.cell(1, column).value == "Probe-Daten Probenahme am (22)", "heading %r" % sheet.cell(1, column).value)
        changed = [(r, c) for r in range(2, 10) for c in range(1, 47) if fill(sheet.cell(r, c)) == YELLOW]
        expect(changed == [(2, 3), (3, 3), (4, 3), (5, 3), (6, column), (7, column)], "changed cells %r" % changed)
        expect({fill(c) for c in sheet[8]} == {GREEN} and {fill(c) for c in sheet[9]} == {RED}, "added and removed rows")
        # On paper at full size, the file, line and key on every page; long text wraps in its column.
        expect(sheet.print_title_rows.replace("$", "") == "1:1" and sheet.print_title_cols.replace("$", "") == "A:C" and
               not (sheet.sheet_properties.pageSetUpPr and sheet.sheet_properties.pageSetUpPr.fitToPage), "printing %r %r" % (sheet.print_title_rows, sheet.print_title_cols))
        long = [c for row in sheet.iter_rows(min_row=2) for c in row if isinstance(c.value, str) and len(c.value) > 60]
        widths = [sheet.column_dimensions[openpyxl.utils.get_column_letter(k)].width for k in range(1, 47)]
        expect(long and all(c.alignment.wrap_text for c in long) and max(widths) <= 61,
               "wrapping: %d long cells, widest column %r" % (len(long), max(widths)))
        sheets, absent = readers.check(book, expect)
        missing.update(absent)
        for got in sheets or []:
            want = {"Unterschiede": (True, "%d:%d" % (top, top), None, "A%d:K%d" % (top, last)),
                    "Untersuchungen": (False, "1:1", "A:C", "A1:AT9")}[got["name"]]
            seen = (got["fitToPage"], got["printTitlesRow"], got["printTitlesColumn"], got["autoFilter"])
            expect(seen == want, "ExcelJS, %s: printing %r" % (got["name"], seen))

        # Without differences the workbook still says so, above an empty table.
        same = os.path.join(folder, "Gleich.xlsx")
        r = run("--xlsx", same, old, old)
        expect(r.returncode == 0, "no differences: exit %d %r" % (r.returncode, r.stderr))
        sheet = openpyxl.load_workbook(same)["Unterschiede"]
        said = [sheet.cell(r, 2).value for r in range(1, heading_row(sheet))]
        expect("0 Untersuchungen neu, 0 entfallen, 0 geändert, 7 gleich" in said and
               "Die Dateien unterscheiden sich nicht." in said, "no differences: %r" % said)
        missing.update(readers.check(same, expect)[1])
        os.remove(same)

        # A key filled in: the old key beside the new one, the old row under its old key, both keys filled.
        lines = open(old, "rb").read().split(b"\n")
        fields = lines[0].split(b"|")
        fields[2] = b""
        lines[0] = b"|".join(fields)
        unfilled = os.path.join(folder, "OHNE.DAT")
        open(unfilled, "wb").write(b"\n".join(lines))
        filled = os.path.join(folder, "Gefuellt.xlsx")
        expect(run("--xlsx", filled, unfilled, new).returncode == 1, "key filled in: exit")
        wb = openpyxl.load_workbook(filled)
        sheet = wb["Unterschiede"]
        first = [c.value for c in sheet[heading_row(sheet) + 1]][:3]
        old_key = "31=„L0815“, 5=„%s“" % fields[4].decode("cp1252").strip()
        expect(first == ["Feld geändert", "31=„L0815“, 3=„L-2026-04711“", old_key], "key filled in: %r" % first)
        row = wb["Untersuchungen"][2]
        expect((row[0].value, row[2].value, fill(row[2])) == ("alt", old_key, YELLOW), "key filled in, old row %r" % [c.value for c in row[:3]])
        os.remove(filled)
        os.remove(unfilled)

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
        top = next(n for n, row in enumerate(seen) if row and row[0] == "Art")
        by_heading = [{h: v for h, v in zip(seen[top], row)} for row in seen[top + 1:top + len(rows)]]
        expect([[row[h] for h in rows[0][1:]] for row in by_heading] == [row[1:] for row in rows[1:]],
               "LibreOffice reads other rows")
        expect(os.path.exists(os.path.join(folder, "csv", "Vergleich-Untersuchungen.csv")), "LibreOffice lost a sheet")
    if failures:
        sys.exit(1)
    if missing:
        print("not installed here: %s" % ", ".join(sorted(missing)), file=sys.stderr)
        sys.exit(SKIP)
    print("vergleich workbook: all good")


if __name__ == "__main__":
    main()
