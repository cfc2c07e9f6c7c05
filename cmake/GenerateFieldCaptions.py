#!/usr/bin/env python3
"""Derives what the main window calls each field from its layout file.

A data block is a panel with tag 1 directly inside gbObjectData; its title is
its bold label. A value label carries its field number as tag; its caption is
the nearest caption label left of it on the same row. A value label without a
caption of its own on its row continues the line above and takes that line's
caption. The result is a C++ table without any toolkit dependency.

    GenerateFieldCaptions.py Main.ui OUT.inc
"""

import sys
import xml.etree.ElementTree as ET

# Labels are 13 pixels high; rows of one line differ by a pixel at most.
ROW_TOLERANCE = 6


def prop(widget, name):
    for p in widget.findall("property"):
        if p.get("name") == name:
            return p
    return None


def tag_of(widget):
    p = prop(widget, "tag")
    return int(p.find("number").text) if p is not None else 0


def rect_of(widget):
    r = prop(widget, "geometry").find("rect")
    return tuple(int(r.find(k).text) for k in ("x", "y", "width", "height"))


def text_of(widget):
    p = prop(widget, "text")
    return (p.find("string").text or "") if p is not None else ""


def is_bold(widget):
    p = prop(widget, "font")
    return p is not None and (p.findtext("font/bold") or "").strip() == "true"


def bare(text):
    """A caption as a column name: without blanks around it and without colons."""
    return text.replace(":", "").strip()


def fail(message):
    sys.exit("GenerateFieldCaptions: " + message)


def blocks(root):
    data = root.find(".//widget[@name='gbObjectData']")
    if data is None:
        fail("no gbObjectData in the layout")
    for panel in data.findall("widget"):
        if panel.get("class") == "TPanel" and tag_of(panel) == 1:
            yield panel


def captions_of(panel):
    labels = [w for w in panel.findall("widget") if w.get("class") in ("TCaptionLabel", "TValueLabel", "TLabel")]
    titles = [w for w in labels if tag_of(w) == 0 and is_bold(w)]
    if len(titles) != 1:
        fail("block %s needs exactly one bold title label" % panel.get("name"))
    title = bare(text_of(titles[0]))
    captions = [w for w in labels if tag_of(w) == 0 and w is not titles[0]]
    values = sorted((w for w in labels if tag_of(w) > 0), key=lambda w: (rect_of(w)[1], rect_of(w)[0]))

    def same_row(a, b):
        return abs(rect_of(a)[1] - rect_of(b)[1]) <= ROW_TOLERANCE

    result = {}

    def resolve(value):
        field = tag_of(value)
        if field in result:
            return result[field]
        x, y = rect_of(value)[:2]
        left = [w for w in captions + values if w is not value and same_row(w, value) and rect_of(w)[0] < x]
        caption = None
        if left:
            nearest = max(left, key=lambda w: rect_of(w)[0])
            caption = bare(text_of(nearest)) if tag_of(nearest) == 0 else resolve(nearest)
        else:
            above = [v for v in values if rect_of(v)[1] < y - ROW_TOLERANCE]
            if above:
                caption = resolve(max(above, key=lambda w: (rect_of(w)[1], -rect_of(w)[0])))
        if not caption:
            fail("value label %s (field %d) has no caption" % (value.get("name"), field))
        result[field] = caption
        return caption

    for value in values:
        resolve(value)
    return title, result


def literal(text):
    """A C++ string literal of the UTF-8 bytes; octal escapes cannot run into the next character."""
    out = []
    for b in text.encode("utf-8"):
        if b < 0x20 or b >= 0x7F or b in (0x22, 0x5C, 0x3F):
            out.append("\\%03o" % b)
        else:
            out.append(chr(b))
    return '"' + "".join(out) + '"'


def main():
    if len(sys.argv) != 3:
        fail("usage: GenerateFieldCaptions.py Main.ui OUT.inc")
    root = ET.parse(sys.argv[1]).getroot()
    rows = []
    analysis_title = None
    for panel in blocks(root):
        title, captions = captions_of(panel)
        if not captions and panel.find("widget[@class='TStringGrid']") is not None:
            analysis_title = title
        for field, caption in captions.items():
            if any(r[0] == field for r in rows):
                fail("field %d has two value labels" % field)
            rows.append((field, title, caption))
    if analysis_title is None:
        fail("no block holds the analysis grid")
    rows.sort()
    lines = [
        "// Generated from viewer/Main.ui by cmake/GenerateFieldCaptions.py; do not edit.",
        "// Texts are UTF-8.",
        "",
        "constexpr TLayoutCaption LayoutCaptions[] = {",
    ]
    lines += ["    {%d, %s, %s}," % (f, literal(t), literal(c)) for f, t, c in rows]
    lines += ["};", "", "constexpr std::string_view AnalysisBlockTitle = %s;" % literal(analysis_title), ""]
    text = "\n".join(lines)
    try:
        with open(sys.argv[2], encoding="utf-8") as f:
            if f.read() == text:
                return  # unchanged: keep the time stamp, nothing rebuilds
    except FileNotFoundError:
        pass
    with open(sys.argv[2], "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
