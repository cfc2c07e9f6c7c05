"""A workbook as other readers see it, beside openpyxl: ExcelJS (from the
node modules that CTest installs with `npm ci`, named by MORVASK_NODE_MODULES)
and R's readxl. Each must see the cells openpyxl sees, numbers as numbers."""

import json
import os
import re
import shutil
import subprocess

import openpyxl

HERE = os.path.dirname(os.path.abspath(__file__))


def _number(value):
    return float(value) if isinstance(value, (int, float)) and not isinstance(value, bool) else value


def _cell(address):
    m = re.fullmatch(r"([A-Z]+)(\d+)", address)
    return int(m.group(2)), openpyxl.utils.column_index_from_string(m.group(1))


def openpyxl_cells(book):
    """{sheet: {(row, column): text or number}} of the non-empty cells."""
    wb = openpyxl.load_workbook(book, read_only=True)
    sheets = {ws.title: {(c.row, c.column): _number(c.value) for row in ws.iter_rows() for c in row
                         if getattr(c, "value", None) not in (None, "")} for ws in wb}
    wb.close()
    return sheets


def exceljs(book):
    """The sheets as ExcelJS reads them, with their print settings; None where
    its modules are not installed."""
    modules = os.environ.get("MORVASK_NODE_MODULES")
    if not modules or not shutil.which("node"):
        return None
    r = subprocess.run(["node", os.path.join(HERE, "read_exceljs.js"), book], capture_output=True, timeout=300,
                       env=dict(os.environ, NODE_PATH=modules))
    if r.returncode != 0:
        raise AssertionError("ExcelJS: exit %d %s" % (r.returncode, r.stderr.decode("utf-8", "replace")[-500:]))
    sheets = json.loads(r.stdout)
    for sheet in sheets:
        sheet["cells"] = {_cell(a): _number(v) for a, v in sheet["cells"].items()}
    return sheets


def readxl(book):
    """{sheet: {(row, column): text or number}} as readxl reads it; None without R."""
    if not shutil.which("Rscript"):
        return None
    r = subprocess.run(["Rscript", os.path.join(HERE, "read_readxl.R"), book], capture_output=True, timeout=300)
    if r.returncode != 0:
        raise AssertionError("readxl: exit %d %s" % (r.returncode, r.stderr.decode("utf-8", "replace")[-500:]))
    unescape = {"\\\\": "\\", "\\t": "\t", "\\n": "\n"}
    sheets = {}
    for line in r.stdout.decode("utf-8").splitlines():
        sheet, row, column, kind, text = line.split("\t", 4)
        text = re.sub(r"\\[\\tn]", lambda m: unescape[m.group(0)], text)
        sheets.setdefault(sheet, {})[(int(row), int(column))] = float(text) if kind == "n" else text
    return sheets


def _difference(got, want):
    keys = sorted(set(got) | set(want))
    bad = [(k, got.get(k), want.get(k)) for k in keys if got.get(k) != want.get(k)]
    return "%d cells differ, first %r (got, openpyxl)" % (len(bad), bad[:3]) if bad else None


def check(book, expect):
    """Has ExcelJS and readxl read book and expect() that both see openpyxl's
    cells. Returns ExcelJS's sheets (for their print settings), or None; the
    readers missing here are named in the list returned second."""
    want = openpyxl_cells(book)
    missing = []
    seen = readxl(book)
    if seen is None:
        missing.append("readxl (Rscript)")
    else:
        # readxl returns a sheet without cells as no rows at all.
        for name, cells in want.items():
            expect(_difference(seen.get(name, {}), cells) is None,
                   "readxl, %s: %s" % (name, _difference(seen.get(name, {}), cells)))
    sheets = exceljs(book)
    if sheets is None:
        missing.append("ExcelJS (MORVASK_NODE_MODULES)")
    else:
        expect([s["name"] for s in sheets] == list(want), "ExcelJS sheets %r" % [s["name"] for s in sheets])
        for sheet in sheets:
            diff = _difference(sheet["cells"], want.get(sheet["name"], {}))
            expect(diff is None, "ExcelJS, %s: %s" % (sheet["name"], diff))
    return sheets, missing
