#!/usr/bin/env python3
"""Writes the two button glyphs as 16-colour XPM strips of 36 x 18 pixels:
the normal image on the left, its greyed twin on the right. The lower-left
pixel holds the background colour, which the program draws transparent.

Run from this folder when a glyph changes: python3 MakeGlyphs.py
"""

# The standard 16 colours; the glyphs use a few of them.
PALETTE = {
    ".": "#808000",  # olive: the transparent background
    "k": "#000000",
    "g": "#008000",
    "l": "#00FF00",
    "n": "#000080",
    "b": "#0000FF",
    "a": "#00FFFF",
    "d": "#808080",
    "w": "#FFFFFF",
}

CHECK_MARK = [
    "..................",
    "..................",
    "..................",
    "..............g...",
    ".............glg..",
    "............glllg.",
    "...........glllg..",
    "..g.......glllg...",
    ".glg.....glllg....",
    "glllg...glllg.....",
    ".glllg.glllg......",
    "..glllglllg.......",
    "...gllllllg.......",
    "....glllllg.......",
    ".....glllg........",
    "......glg.........",
    ".......g..........",
    "..................",
]

QUESTION_MARK = [
    "..................",
    "......nnnnnn......",
    ".....nbbbbbbn.....",
    "....nbbaaaabbn....",
    "....nbbn..nbbn....",
    ".....nn...nbbn....",
    "..........nbbn....",
    ".........nbbn.....",
    "........nbbn......",
    ".......nbbn.......",
    ".......nbbn.......",
    "........nn........",
    "..................",
    ".......nbbn.......",
    ".......nbbn.......",
    "........nn........",
    "..................",
    "..................",
]


def greyed(image):
    """The disabled look: the shape in grey with a white shadow one pixel down and right."""
    size = len(image)
    out = [["."] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if image[y][x] != "." and y + 1 < size and x + 1 < size and image[y + 1][x + 1] == ".":
                out[y + 1][x + 1] = "w"
    for y in range(size):
        for x in range(size):
            if image[y][x] != ".":
                out[y][x] = "d"
    return ["".join(row) for row in out]


def write_xpm(path, name, image):
    rows = [a + b for a, b in zip(image, greyed(image))]
    used = sorted({c for row in rows for c in row})
    lines = [f"/* XPM */\nstatic const char* const {name}[] = {{",
             f'"{len(rows[0])} {len(rows)} {len(used)} 1",']
    lines += [f'"{c} c {PALETTE[c]}",' for c in used]
    lines += [f'"{row}",' for row in rows]
    lines[-1] = lines[-1].rstrip(",")
    lines.append("};\n")
    with open(path, "w", encoding="ascii") as out:
        out.write("\n".join(lines))


write_xpm("CheckMarkGlyph.xpm", "CheckMarkGlyph_xpm", CHECK_MARK)
write_xpm("HelpGlyph.xpm", "HelpGlyph_xpm", QUESTION_MARK)
