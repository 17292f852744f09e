#!/usr/bin/python3
"""Draws the twelve lamp images of TComLed as 15 x 15 XPM files.

Each image is a round lamp on a teal corner colour (drawn transparent by the
lamp, which takes the lower-left pixel as its transparent colour), using only
the 16 standard colours. The on image shows the bright colour with a white
highlight, the off image a dark one. Run it from any folder; it writes next
to itself.
"""
import os

SIZE = 15
CENTRE = 7.0

# The 16 standard colours, with one-letter XPM keys.
PALETTE = {
    "k": "#000000", "m": "#800000", "g": "#008000", "o": "#808000",
    "n": "#000080", "p": "#800080", "t": "#008080", "e": "#808080",
    "s": "#C0C0C0", "r": "#FF0000", "l": "#00FF00", "y": "#FFFF00",
    "b": "#0000FF", "f": "#FF00FF", "a": "#00FFFF", "w": "#FFFFFF",
}
CORNER = "t"

# name: (bright colour, its dark partner) per lamp kind.
KINDS = {
    "RED": ("r", "m"),
    "GREEN": ("l", "g"),
    "BLUE": ("b", "n"),
    "YELLOW": ("y", "o"),
    "PURPLE": ("f", "p"),
    "BULB": ("w", "s"),
}


def pixel(x, y, body, shine):
    """The colour key of one pixel of a lamp with the given body colour."""
    d2 = (x - CENTRE) ** 2 + (y - CENTRE) ** 2
    if d2 > 6.8 ** 2:
        return CORNER
    if d2 > 5.5 ** 2:
        return "e"  # grey rim
    if (x - 5.0) ** 2 + (y - 5.0) ** 2 <= 1.5:
        return shine  # highlight towards the upper left
    return body


def xpm(name, body, shine):
    used = sorted({pixel(x, y, body, shine) for y in range(SIZE) for x in range(SIZE)})
    lines = [f"/* XPM */", f"static const char *{name}[] = {{",
             f'"{SIZE} {SIZE} {len(used)} 1",']
    lines += [f'"{key} c {PALETTE[key]}",' for key in used]
    rows = ["".join(pixel(x, y, body, shine) for x in range(SIZE)) for y in range(SIZE)]
    lines += [f'"{row}",' for row in rows[:-1]] + [f'"{rows[-1]}"', "};"]
    return "\n".join(lines) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for kind, (bright, dark) in KINDS.items():
        # The bulb's off image keeps a grey glass with a silver shine.
        images = {"ON": (bright, "w" if bright != "w" else "y"),
                  "OFF": (dark, "s" if dark != "s" else "w")}
        for state, (body, shine) in images.items():
            name = f"LED{kind}{state}"
            with open(os.path.join(here, name + ".xpm"), "w", encoding="ascii") as out:
                out.write(xpm(name, body, shine))


if __name__ == "__main__":
    main()
