#!/usr/bin/env python3
"""Derives what the main window calls each field, and its blocks, from its layout file.

A data block is a panel with tag 1 directly inside gbObjectData; its title is
its bold label. A value label carries its field number as tag; its caption is
the nearest caption label left of it on the same row. A value label without a
caption of its own on its row continues the line above and takes that line's
caption. The blocks as a report shows them are every panel of gbObjectData but
the analysis grid's, column by column, each with its colours and its fields in
reading order, or, without fields, the labels whose texts it shows. The results
are C++ tables without any toolkit dependency.

    GenerateFieldCaptions.py Main.ui CAPTIONS.inc BLOCKS.inc
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


def colour_of(widget, name):
    p = prop(widget, name)
    if p is None:
        fail("%s has no %s" % (widget.get("name"), name))
    return tuple(int(p.find("color/" + k).text) for k in ("red", "green", "blue"))


def fail(message):
    sys.exit("GenerateFieldCaptions: " + message)


def object_data(root):
    data = root.find(".//widget[@name='gbObjectData']")
    if data is None:
        fail("no gbObjectData in the layout")
    return data


def blocks(root):
    for panel in object_data(root).findall("widget"):
        if panel.get("class") == "TPanel" and tag_of(panel) == 1:
            yield panel


def labels_of(panel):
    return [w for w in panel.findall("widget") if w.get("class") in ("TCaptionLabel", "TValueLabel", "TLabel")]


def title_label(panel, labels):
    titles = [w for w in labels if tag_of(w) == 0 and is_bold(w)]
    if len(titles) != 1:
        fail("block %s needs exactly one bold title label" % panel.get("name"))
    return titles[0]


def captions_of(panel):
    labels = labels_of(panel)
    heading = title_label(panel, labels)
    title = bare(text_of(heading))
    captions = [w for w in labels if tag_of(w) == 0 and w is not heading]
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


def reading_order(widgets):
    """Row by row, left to right; a row holds the labels within ROW_TOLERANCE below its first one."""
    rows = []
    for w in sorted(widgets, key=lambda w: rect_of(w)[1]):
        if rows and rect_of(w)[1] - rect_of(rows[-1][0])[1] <= ROW_TOLERANCE:
            rows[-1].append(w)
        else:
            rows.append([w])
    return [w for row in rows for w in sorted(row, key=lambda w: rect_of(w)[0])]


def report_blocks(root):
    """(title, colour, title colour, fields, text label names) of each block a report repeats."""
    panels = [w for w in object_data(root).findall("widget")
              if w.get("class") == "TPanel" and w.find("widget[@class='TStringGrid']") is None]
    result = []
    for panel in sorted(panels, key=lambda w: rect_of(w)[:2]):
        labels = labels_of(panel)
        heading = title_label(panel, labels)
        fields = [tag_of(w) for w in reading_order(w for w in labels if tag_of(w) > 0)]
        texts = []
        if not fields:
            texts = [w.get("name") for w in sorted((w for w in labels if tag_of(w) == 0 and w is not heading),
                                                   key=lambda w: rect_of(w)[1])]
        result.append((bare(text_of(heading)), colour_of(panel, "color"), colour_of(heading, "fontColor"),
                       fields, texts))
    return result


def block_table(blocks):
    fields = [f for b in blocks for f in b[3]]
    texts = [t for b in blocks for t in b[4]]
    lines = [
        "// Generated from viewer/Main.ui by cmake/GenerateFieldCaptions.py; do not edit.",
        "// Texts are UTF-8.",
        "",
        "constexpr std::array<int, %d> LayoutBlockFields{{%s}};" % (len(fields), ", ".join(map(str, fields))),
        "constexpr std::array<std::string_view, %d> LayoutBlockTexts{{%s}};"
        % (len(texts), ", ".join(literal(t) for t in texts)),
        "",
        "constexpr TLayoutBlock LayoutBlockTable[] = {",
    ]
    field, text = 0, 0
    for title, colour, title_colour, block_fields, block_texts in blocks:
        lines.append("    {%s, {%d, %d, %d}, {%d, %d, %d}, {LayoutBlockFields.data() + %d, %d}, "
                     "{LayoutBlockTexts.data() + %d, %d}},"
                     % ((literal(title),) + colour + title_colour + (field, len(block_fields), text, len(block_texts))))
        field += len(block_fields)
        text += len(block_texts)
    lines += ["};", ""]
    return "\n".join(lines)


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return  # unchanged: keep the time stamp, nothing rebuilds
    except FileNotFoundError:
        pass
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


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
    if len(sys.argv) != 4:
        fail("usage: GenerateFieldCaptions.py Main.ui CAPTIONS.inc BLOCKS.inc")
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
    write_if_changed(sys.argv[2], "\n".join(lines))
    write_if_changed(sys.argv[3], block_table(report_blocks(root)))


if __name__ == "__main__":
    main()
