#!/usr/bin/env python3
"""Each program's manual page against its --help: the same synopsis, the same
options with the same descriptions, the same exit statuses; the page has the
sections of a section-1 page, names every other program under SIEHE AUCH, and
`man -l` renders it without a warning."""

import argparse
import os
import re
import subprocess
import sys

SECTIONS = ["NAME", "ÜBERSICHT", "BESCHREIBUNG", "OPTIONEN", "EXIT-STATUS", "DATEIEN", "BEISPIELE", "SIEHE AUCH"]
ESCAPES = {r"\(:a": "ä", r"\(:o": "ö", r"\(:u": "ü", r"\(:A": "Ä", r"\(:O": "Ö", r"\(:U": "Ü",
           r"\(ss": "ß", r"\(aq": "'", r"\(Bq": "„", r"\(lq": "“", r"\-": "-", r"\fB": "", r"\fI": "",
           r"\fR": "", r"\fP": "", r"\&": "", r"\[u2026]": "…"}


def plain(troff_line):
    """The text of one troff line: font macros and escapes resolved."""
    line = troff_line
    macro = re.match(r"^\.(B|I|BR|RB|IR|RI|IB|BI)\s+(.*)$", line)
    if macro:
        words = [quoted or bare for quoted, bare in re.findall(r'"([^"]*)"|(\S+)', macro.group(2))]
        # .B and .I set their words with blanks; the others alternate fonts without.
        line = (" " if len(macro.group(1)) == 1 else "").join(words)
    for escape, text in ESCAPES.items():
        line = line.replace(escape, text)
    return line


def parse_page(path):
    """Sections as lists of source lines, and the .TP items of a section."""
    sections, current = {}, None
    with open(path, encoding="utf-8") as page:
        for line in page.read().splitlines():
            if line.startswith(".SH "):
                current = plain(line[4:].strip().strip('"'))
                sections[current] = []
            elif current is not None:
                sections[current].append(line)
    return sections


def items(lines):
    """(tag, description) of every .TP paragraph."""
    found, i = [], 0
    while i < len(lines):
        if lines[i].strip() == ".TP" and i + 1 < len(lines):
            tag = plain(lines[i + 1])
            text, i = [], i + 2
            while i < len(lines) and not lines[i].startswith((".TP", ".SH", ".PP")):
                text.append(plain(lines[i]))
                i += 1
            found.append((tag, " ".join(" ".join(text).split())))
        else:
            i += 1
    return found


def parse_help(text):
    """Usage lines, options (tag parts -> description) and exit statuses."""
    lines = text.splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("Aufruf: "))
    usage = [lines[start][len("Aufruf: "):].strip()]
    for line in lines[start + 1:]:
        if not line.startswith("        ") or not line.strip():
            break
        usage.append(line.strip())
    options, last = {}, None
    for line in lines:
        match = re.match(r"^  (-\S.*?)\s{2,}(\S.*)$", line)
        if match:
            last = tuple(part.strip() for part in match.group(1).split(","))
            options[last] = match.group(2).strip()
        elif last and re.match(r"^\s{6,}\S", line):
            options[last] += " " + line.strip()
        else:
            last = None
    status_text = " ".join(text[text.index("Exit-Status:") + len("Exit-Status:"):].split())
    statuses = {code: description.rstrip(",.") for code, description in
                re.findall(r"(?:^|, )(\d) (.*?)(?=, \d |\.?$)", status_text)}
    return usage, options, statuses


def check(binary, page, programs, problems):
    name = os.path.basename(page)
    result = subprocess.run([binary, "--help"], capture_output=True, timeout=60)
    if result.returncode != 0:
        problems.append("%s: --help ended with %d" % (binary, result.returncode))
        return
    usage, help_options, help_statuses = parse_help(result.stdout.decode("utf-8"))
    sections = parse_page(page)

    missing = [s for s in SECTIONS if s not in sections]
    if missing:
        problems.append("%s: sections missing: %s" % (name, ", ".join(missing)))
        return
    see_also = "".join(plain(line) for line in sections["SIEHE AUCH"])
    unnamed = [p for p in programs if p != os.path.basename(binary) and p + "(1)" not in see_also]
    if unnamed:
        problems.append("%s: SIEHE AUCH lacks %s" % (name, ", ".join(unnamed)))

    # Under LC_ALL=C, or a locale that is not installed, man writes the
    # umlauts as escapes; C.UTF-8 is there on every Debian system.
    env = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8", MANWIDTH="200")
    env.pop("LANGUAGE", None)
    rendered = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", page], env=env,
                              capture_output=True, encoding="utf-8", errors="replace", timeout=60)
    if rendered.returncode != 0 or rendered.stderr.strip():
        problems.append("%s: man -l: %s" % (name, rendered.stderr.strip() or rendered.returncode))
    lines = [" ".join(l.split()) for l in rendered.stdout.splitlines()]
    headings = [h for h in ("ÜBERSICHT", "BESCHREIBUNG") if h not in lines]
    if headings:
        problems.append("%s: man -l shows no heading %s" % (name, ", ".join(headings)))
        return
    synopsis = lines[lines.index("ÜBERSICHT") + 1:lines.index("BESCHREIBUNG")]
    for form in usage:
        if form not in synopsis:
            problems.append("%s: synopsis %r lacks %r from --help" % (name, synopsis, form))

    page_options = {}
    for tag, description in items(sections["OPTIONEN"]):
        page_options[tuple(t.strip() for t in tag.split(","))] = description
    if set(page_options) != set(help_options):
        problems.append("%s: options %s, --help has %s" % (name, sorted(page_options), sorted(help_options)))
    for names, description in help_options.items():
        if names in page_options and not " ".join(page_options[names].split()).startswith(description):
            problems.append("%s: %s reads %r, --help %r" % (name, names[0], page_options[names], description))

    page_statuses = dict(items(sections["EXIT-STATUS"]))
    if page_statuses != help_statuses:
        problems.append("%s: exit status %r, --help %r" % (name, page_statuses, help_statuses))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pages", required=True, help="folder of the troff sources")
    parser.add_argument("binaries", nargs="+")
    options = parser.parse_args()
    problems = []
    programs = [os.path.basename(binary) for binary in options.binaries]
    for binary in options.binaries:
        page = os.path.join(options.pages, os.path.basename(binary) + ".1")
        if not os.path.exists(page):
            problems.append("no manual page for " + binary)
            continue
        check(binary, page, programs, problems)
    for problem in problems:
        print("FAIL   " + problem)
    if not problems:
        print("PASS   %d manual pages agree with --help" % len(options.binaries))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
