#!/usr/bin/env python3
"""Writes the example transfer files of this directory.

WVMO_261015_093000.DAT      well-formed, interface 1 (water supplier to health office)
WVMO_261016_081500.DAT      the same transmission sent again the next day, corrected:
                            a value and a sampling time put right, a parameter
                            added and one dropped, an examination added and one
                            withdrawn, the rest in another order
GAMO_LGA1_261016_141500.DAT interface 2 (health office to state office), with
                            structure faults for the error view

All names, places, operators and figures are invented. The files are
Windows-1252 text with CR LF line ends, as the exchange format wants.
Run: python3 examples/make-examples.py   (writes next to this script)
"""

import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))

# code, plain text, unit, procedure, value maker
PARAMETERS = [
    ("1011", "Escherichia coli", "KBE/100 ml", "DIN EN ISO 9308-1:2017-09", lambda r: "0"),
    ("1012", "Coliforme Bakterien", "KBE/100 ml", "DIN EN ISO 9308-1:2017-09", lambda r: r.choice(["0", "0", "0", "1"])),
    ("1013", "Enterokokken", "KBE/100 ml", "DIN EN ISO 7899-2:2000-11", lambda r: "0"),
    ("1021", "Koloniezahl bei 22 \u00b0C", "KBE/ml", "TrinkwV \u00a7 43 Abs. 3", lambda r: str(r.randint(0, 40))),
    ("1022", "Koloniezahl bei 36 \u00b0C", "KBE/ml", "TrinkwV \u00a7 43 Abs. 3", lambda r: str(r.randint(0, 12))),
    ("2001", "Leitf\u00e4higkeit (bei 25 \u00b0C)", "\u00b5S/cm", "DIN EN 27888:1993-11", lambda r: str(r.randint(180, 890))),
    ("2002", "pH-Wert", "", "DIN EN ISO 10523:2012-04", lambda r: "%.2f" % r.uniform(6.9, 8.1)),
    ("2003", "Tr\u00fcbung", "NTU", "DIN EN ISO 7027-1:2016-11", lambda r: "%.2f" % r.uniform(0.02, 0.6)),
    ("2004", "F\u00e4rbung (SAK 436 nm)", "1/m", "DIN EN ISO 7887:2012-04", lambda r: r.choice(["<0,1", "0,12", "0,2"])),
    ("2005", "Geruch", "", "DEV B 1/2", lambda r: r.choice(["ohne", "ohne", "schwach erdig"])),
    ("2006", "Geschmack", "", "DEV B 1/2", lambda r: "ohne anormale Ver\u00e4nderung"),
    ("2007", "Temperatur", "\u00b0C", "DIN 38404-4:1976-12", lambda r: "%.1f" % r.uniform(8.5, 16.0)),
    ("3001", "Nitrat", "mg/l", "DIN EN ISO 10304-1:2009-07", lambda r: "%.1f" % r.uniform(1.0, 38.0)),
    ("3002", "Nitrit", "mg/l", "DIN EN 26777:1993-04", lambda r: r.choice(["<0,01", "<0,01", "0,02"])),
    ("3003", "Ammonium", "mg/l", "DIN 38406-5:1983-10", lambda r: r.choice(["<0,02", "0,03"])),
    ("3004", "Chlorid", "mg/l", "DIN EN ISO 10304-1:2009-07", lambda r: "%.1f" % r.uniform(8.0, 95.0)),
    ("3005", "Sulfat", "mg/l", "DIN EN ISO 10304-1:2009-07", lambda r: "%.1f" % r.uniform(12.0, 180.0)),
    ("3006", "Calcium", "mg/l", "DIN EN ISO 11885:2009-09", lambda r: "%.1f" % r.uniform(20.0, 130.0)),
    ("3007", "Magnesium", "mg/l", "DIN EN ISO 11885:2009-09", lambda r: "%.1f" % r.uniform(3.0, 30.0)),
    ("3008", "Calcium & Magnesium (Summe Erdalkalien)", "mmol/l", "berechnet", lambda r: "%.2f" % r.uniform(0.8, 3.9)),
    ("3009", "Gesamth\u00e4rte", "\u00b0dH", "berechnet", lambda r: "%.1f" % r.uniform(5.0, 21.0)),
    ("3010", "S\u00e4urekapazit\u00e4t bis pH 4,3", "mmol/l", "DIN 38409-7:2005-12", lambda r: "%.2f" % r.uniform(1.0, 6.0)),
    ("4001", "Eisen", "mg/l", "DIN EN ISO 11885:2009-09", lambda r: r.choice(["<0,005", "0,012", "0,031"])),
    ("4002", "Mangan", "mg/l", "DIN EN ISO 11885:2009-09", lambda r: r.choice(["<0,002", "0,003", "0,008"])),
    ("4003", "Blei", "mg/l", "DIN EN ISO 17294-2:2017-01", lambda r: r.choice(["<0,001", "0,0014"])),
    ("4004", "Kupfer", "mg/l", "DIN EN ISO 17294-2:2017-01", lambda r: "%.3f" % r.uniform(0.005, 0.4)),
    ("4005", "Nickel", "mg/l", "DIN EN ISO 17294-2:2017-01", lambda r: r.choice(["<0,002", "0,004"])),
    ("4006", "Uran", "mg/l", "DIN EN ISO 17294-2:2017-01", lambda r: "%.4f" % r.uniform(0.0001, 0.004)),
    ("4007", "Arsen", "mg/l", "DIN EN ISO 17294-2:2017-01", lambda r: "<0,001"),
    ("4008", "Cadmium", "mg/l", "DIN EN ISO 17294-2:2017-01", lambda r: "<0,0003"),
    ("4009", "Fluorid", "mg/l", "DIN EN ISO 10304-1:2009-07", lambda r: "%.2f" % r.uniform(0.05, 0.6)),
    ("5001", "Tetrachlorethen und Trichlorethen (Summe)", "mg/l", "DIN EN ISO 10301:1997-08", lambda r: "<0,0005"),
]

OPERATORS = [
    ("Wasserversorgung Lindenhagen", "Zweckverband Obertal", "Quellenstra\u00dfe 12", "64799", "Lindenhagen",
     "06163 4711-0", "06163 4711-99", "info@wv-lindenhagen.example"),
    ("Stadtwerke M\u00fchlbach am Forst GmbH", "Sparte Wasser", "Am Hochbeh\u00e4lter 5", "35281", "M\u00fchlbach am Forst",
     "06421 90817-0", "06421 90817-15", "wasser@sw-muehlbach.example"),
]

POINTS = [
    ("Wasserwerk Lindenhagen", "Reinwasser, Ausgang Beh\u00e4lter", "WW-LH-01", "Am Brunnenfeld 3", "64799", "Lindenhagen",
     "Probenahmehahn Reinwasserleitung DN 150 im Maschinenhaus"),
    ("Grundschule Kesselried", "Turnhalle", "NZ-KR-07", "Schulweg 14", "64801", "Kesselried",
     "Zapfhahn K\u00fcche Erdgeschoss, kalt, nach Ablauf bis zur Temperaturkonstanz"),
    ("Rathaus M\u00fchlbach", "", "NZ-MB-02", "Marktplatz 1", "35281", "M\u00fchlbach am Forst",
     "Waschbecken Teek\u00fcche 1. OG"),
    ("Hochbeh\u00e4lter Eichelberg", "Kammer 2", "HB-EB-02", "Eichelbergweg o. Nr.", "35283", "M\u00fchlbach-Oberhof",
     "Auslauf Kammer 2, Probenahmeventil"),
]

ASSESSMENTS = ["eingehalten", "eingehalten", "eingehalten", "nicht bewertet"]


def header1(r, n, operator, point, sampled, received):
    op = operator
    details = ("Probe nach Spülung entnommen; Hahn abgeflammt & 5 min ablaufen lassen; "
               "Wasser klar, farblos, ohne Bodensatz; Transport gekühlt bei 4 °C")
    fields = [
        "1", "E", "L-2026-%05d" % (4711 + n), op[0], "GA-26-%04d" % (815 + n),
        op[0], op[1], op[2], op[3], op[4], op[5], op[6], op[7],
        point[0], point[1], point[2], point[3], point[4], point[5],
        "", "", sampled, r.choice(["Hr. Albrecht (Labor)", "Fr. Seidel (Labor)", "Probenehmer GA"]),
        r.choice(["11", "12", "21", "31"]), "VG-0642-%02d" % (1 + n % 3), r.choice(["0", "1"]), "",
        r.choice(["A", "B", "C"]), r.choice(["1", "2", "3"]), received, "L0815",
        details if n % 2 == 0 else "",
    ]
    assert len(fields) == 32
    return "|".join(fields) + "|"


def header2(r, n, point):
    fields = ["2", "MATW", "06433000", "", "", point[6], r.choice(["1", "2"]), "", "", ""]
    return "|".join(fields) + "|"


def parameter(r, p, exemption):
    code, text, unit, procedure, value = p
    # German decimal comma.
    fields = ["2", code, text, "", "", value(r).replace(".", ","), r.choice(ASSESSMENTS), unit, procedure, "L0815", exemption]
    return "|".join(fields) + "|"


def block(r, n, count):
    operator = OPERATORS[n % len(OPERATORS)]
    point = POINTS[n % len(POINTS)]
    day = 12 + n % 4
    sampled = "%02d.10.2026 %02d:%02d" % (day, 7 + n % 4, 5 * (n % 12))
    received = "%02d.10.2026 %02d:%02d" % (day, 11 + n % 4, 10 + n % 40)
    chosen = r.sample(PARAMETERS, count) if count <= len(PARAMETERS) else PARAMETERS
    lines = [header1(r, n, operator, point, sampled, received), header2(r, n, point)]
    for p in chosen:
        exemption = ""
        if p[1] == "Nickel" and n % 2 == 1:
            exemption = ("Ausnahmegenehmigung des Gesundheitsamtes vom 01.03.2026 bis 28.02.2027 "
                         "(Az. 53.2-4711/26), Ma\u00dfnahmenplan liegt vor")
        lines.append(parameter(r, p, exemption))
    lines.append("3|%d" % len(chosen))
    return lines


def resend(good):
    """The corrected transmission of the examinations in good."""
    blocks = [list(b) for b in good]

    def set_field(b, line, field, value):
        fields = blocks[b][line].split("|")
        fields[field] = value
        blocks[b][line] = "|".join(fields)

    # A measured value corrected (field 48 of the first parameter).
    set_field(0, 2, 5, "0,35")
    # The sampling time put right (field 22).
    set_field(5, 0, 21, blocks[5][0].split("|")[21][:-5] + "08:45")
    # A parameter dropped and another added.
    dropped = blocks[2].pop(-2)
    added = "|".join(["2", "4010", "Antimon", "", "", "<0,001", "eingehalten", "mg/l", "DIN EN ISO 17294-2:2017-01", "L0815", ""]) + "|"
    assert "|4010|" not in "".join(blocks[2]) and dropped.split("|")[1] != "4010"
    blocks[2].insert(2, added)
    # An examination withdrawn, another added at the end.
    del blocks[3]
    blocks.append(block(random.Random(261016081500), 7, 4))
    # The rest in another order: no difference.
    blocks[0], blocks[1] = blocks[1], blocks[0]
    return blocks


def write(name, lines):
    data = "".join(line + "\r\n" for line in lines).encode("cp1252")
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    r = random.Random(261015)
    good = [block(r, n, count) for n, count in enumerate([5, 12, 30, 8, 21, 17, 26])]
    write("WVMO_261015_093000.DAT", [line for b in good for line in b])
    write("WVMO_261016_081500.DAT", [line for b in resend(good) for line in b])

    r = random.Random(261016)
    blocks = [block(r, n, count) for n, count in enumerate([6, 9, 7, 5])]
    # Block 1: a parameter line lost its final separator (and so is not counted).
    blocks[0][3] = blocks[0][3][:-1]
    # Block 2: header line 1 lost one field.
    first = blocks[1][0].split("|")
    del first[20]
    blocks[1][0] = "|".join(first)
    # Block 3: the end line states one parameter too many.
    blocks[2][-1] = "3|%d" % (len(blocks[2]) - 2)
    # Block 4: the end line is missing.
    del blocks[3][-1]
    write("GAMO_LGA1_261016_141500.DAT", [line for b in blocks for line in b])


if __name__ == "__main__":
    main()
