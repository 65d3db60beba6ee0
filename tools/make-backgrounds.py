#!/usr/bin/env python3
"""Writes the stock background pictures of the template wizard and the
background of the optimisation report.

    tools/make-backgrounds.py [DATA_DIR]

DATA_DIR defaults to the data/ directory beside tools/. The output is the same
byte for byte on every run: no clock, no random generator of the system, only
the small fixed pattern generator below.

Every picture is a wide, low strip that the browser tiles down the page: a
column of 170 pixels at the left edge under the navigation of the template,
and the plain or softly textured page area to the right of it.

Pictures 1 to 8 are painted only with the two accent entries of the palette
(index 0 = FF 8C 08, the strong colour; index 1 = FF C6 A5, the light one)
plus white and neutral greys. The template wizard turns exactly those two
palette entries into the user's background colour and a tint of it, so these
pictures must look right in any colour. Pictures 9 to 18 keep colours of
their own and must not carry either accent triple in their first 50 bytes,
or the wizard would take them for a picture to recolour.
"""

import os
import sys

WIDTH = 2000   # wider than most browser windows, so the stripe shows once
COLUMN = 170   # the navigation column of templates/template1.htm

ACCENT = (0xFF, 0x8C, 0x08)
LIGHT = (0xFF, 0xC6, 0xA5)
PALETTE_WINDOW = 50


# ---- GIF89a with LZW ---------------------------------------------------------

class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.bits = 0
        self.count = 0

    def write(self, code, size):
        self.bits |= code << self.count
        self.count += size
        while self.count >= 8:
            self.out.append(self.bits & 0xFF)
            self.bits >>= 8
            self.count -= 8

    def flush(self):
        if self.count:
            self.out.append(self.bits & 0xFF)
        self.bits = 0
        self.count = 0
        return bytes(self.out)


def lzw(pixels, min_size):
    """The GIF flavour of LZW: variable code width from min_size + 1 up to 12
    bits, a clear code at the start and whenever the table is full."""
    clear = 1 << min_size
    end = clear + 1
    writer = BitWriter()

    def reset():
        return {}, end + 1, min_size + 1

    table, next_code, size = reset()
    writer.write(clear, size)
    prefix = pixels[0]
    for pixel in pixels[1:]:
        key = (prefix, pixel)
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        writer.write(prefix, size)
        table[key] = next_code
        next_code += 1
        if next_code > (1 << size) and size < 12:
            size += 1
        if next_code == 4096:
            writer.write(clear, size)
            table, next_code, size = reset()
        prefix = pixel
    writer.write(prefix, size)
    # The decoder adds one more entry on reading the last code; the end code
    # then has to come in the width that entry calls for.
    if next_code == (1 << size) and size < 12:
        size += 1
    writer.write(end, size)
    return writer.flush()


def sub_blocks(data):
    out = bytearray()
    for at in range(0, len(data), 255):
        chunk = data[at:at + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif(width, height, palette, pixels):
    assert len(pixels) == width * height
    assert max(pixels) < len(palette) <= 256
    bits = 1
    while (1 << bits) < len(palette):
        bits += 1
    table = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
    out = bytearray(b"GIF89a")
    out += width.to_bytes(2, "little") + height.to_bytes(2, "little")
    out += bytes([0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0])
    for colour in table:
        out += bytes(colour)
    out += b"\x2c" + (0).to_bytes(2, "little") * 2
    out += width.to_bytes(2, "little") + height.to_bytes(2, "little") + b"\x00"
    min_size = max(2, bits)
    out.append(min_size)
    out += sub_blocks(lzw(pixels, min_size))
    out += b"\x3b"
    return bytes(out)


# ---- drawing -----------------------------------------------------------------

class Pattern:
    """A fixed pseudo-random pattern (a plain linear congruential generator
    with a seed of its own), so paper textures come out the same every time."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state >> 8


def speckles(width, height, per_mille, seed):
    """Positions of sparse specks in a width x height tile."""
    pattern = Pattern(seed)
    return {(x, y) for y in range(height) for x in range(width) if pattern.next() % 1000 < per_mille}


def paint(height, colour_at):
    return [colour_at(x, y) for y in range(height) for x in range(WIDTH)]


BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


# Palette of the recoloured pictures: the two accent entries first, then
# neutral colours that go with whatever the accent becomes.
A, L, WHITE, GREY1, GREY2, GREY3, GREY4, GREY5 = range(8)
RECOLOURED_PALETTE = [ACCENT, LIGHT, (0xFF, 0xFF, 0xFF), (0xF5, 0xF5, 0xF5), (0xEB, 0xEB, 0xEB),
                      (0xD9, 0xD9, 0xD9), (0xB3, 0xB3, 0xB3), (0x80, 0x80, 0x80)]


def shadow(x):
    """A soft two-pixel shade right of the column, or None."""
    if x == COLUMN:
        return GREY3
    if x == COLUMN + 1:
        return GREY2
    if x == COLUMN + 2:
        return GREY1
    return None


def back_1():
    # Strong column with a light and a white pinline at its edge.
    def at(x, y):
        if x < 158:
            return A
        if x < 162:
            return L
        if x < 166:
            return WHITE
        if x < COLUMN:
            return L
        return WHITE
    return 2, at


def back_2():
    # Light column framed by a strong edge band on either side.
    def at(x, y):
        if x < 6:
            return A
        if x < 164:
            return L
        if x < COLUMN:
            return A
        return shadow(x) or WHITE
    return 2, at


def back_3():
    # Light column with fine cross lines in the strong colour, strong edge.
    def at(x, y):
        if x < 164:
            return A if y % 4 == 3 else L
        if x < 166:
            return WHITE
        if x < COLUMN:
            return A
        return WHITE
    return 4, at


def back_4():
    # Light column with fine diagonals in the strong colour.
    def at(x, y):
        if x < 3:
            return A
        if x < 165:
            return A if (x + y) % 8 == 0 else L
        if x < 166:
            return WHITE
        if x < COLUMN:
            return A
        return shadow(x) or WHITE
    return 8, at


def back_5():
    # Strong column with a light dot grid.
    def at(x, y):
        if x < 162:
            return L if x % 8 == 3 and y % 8 == 3 else A
        if x < 164:
            return WHITE
        if x < COLUMN:
            return L
        return WHITE
    return 8, at


def back_6():
    # The strong colour fading into the light one across the column.
    def at(x, y):
        if x < 60:
            return A
        if x < COLUMN:
            level = (x - 60) * 17 // (COLUMN - 60)
            return L if level > BAYER4[y % 4][x % 4] else A
        return shadow(x) or WHITE
    return 4, at


def back_7():
    # A check of strong lines over the light colour, strong edge.
    def at(x, y):
        if x < 160:
            return A if x % 16 == 7 or y % 16 == 7 else L
        if x < 162:
            return WHITE
        if x < COLUMN:
            return A
        return WHITE
    return 32, at


def back_8():
    # Paper: a light column flecked with the strong colour, a ruled page.
    specks = speckles(COLUMN, 16, 40, 8)

    def at(x, y):
        if x < 3:
            return A
        if x < COLUMN - 2:
            return A if (x, y) in specks else L
        if x < COLUMN:
            return A
        if y % 4 == 3:
            return GREY1
        return WHITE
    return 16, at


# Pictures with colours of their own; headings of the template come out in
# the background colour of the wizard, by default an orange, so the colours
# here are those an orange accent sits well with.

def own(palette, height, colour_at):
    return palette, height, colour_at


def back_9():
    # Navy band, light blue column.
    palette = [(0x1F, 0x3A, 0x5F), (0xDC, 0xE6, 0xF0), (0xFF, 0xFF, 0xFF), (0x9D, 0xB3, 0xCC)]

    def at(x, y):
        if x < 14:
            return 0
        if x < 16:
            return 3
        if x < 166:
            return 1
        if x < COLUMN:
            return 0
        return 2
    return own(palette, 2, at)


def back_10():
    # Forest green with a light green column and a faint green page edge.
    palette = [(0x2E, 0x6B, 0x3A), (0xE2, 0xEE, 0xDC), (0xFF, 0xFF, 0xFF), (0x8F, 0xB5, 0x8A),
               (0xF3, 0xF8, 0xF1)]

    def at(x, y):
        if x < 10:
            return 0
        if x < 164:
            return 1
        if x < 166:
            return 3
        if x < COLUMN:
            return 0
        if x < COLUMN + 12:
            return 4
        return 2
    return own(palette, 2, at)


def back_11():
    # Slate: light grey-blue column with diagonal pinstripes.
    palette = [(0x4A, 0x55, 0x62), (0xE4, 0xE7, 0xEB), (0xFF, 0xFF, 0xFF), (0xC9, 0xCE, 0xD5)]

    def at(x, y):
        if x < 8:
            return 0
        if x < 164:
            return 3 if (x + y) % 6 == 0 else 1
        if x < COLUMN:
            return 0
        return 2
    return own(palette, 6, at)


def back_12():
    # Sand: flecked sand column, paper-coloured page with faint flecks.
    palette = [(0xE9, 0xDE, 0xC6), (0xC4, 0xAE, 0x82), (0xFB, 0xF8, 0xF1), (0xF1, 0xEA, 0xDA),
               (0xDC, 0xCE, 0xAF), (0xFF, 0xFF, 0xFF)]
    column_specks = speckles(COLUMN, 16, 60, 12)
    page_specks = speckles(64, 16, 25, 1212)

    def at(x, y):
        if x < 166:
            return 4 if (x, y) in column_specks else 0
        if x < COLUMN:
            return 1
        return 3 if (x % 64, y) in page_specks else 2
    return own(palette, 16, at)


def back_13():
    # Sky: light blue column with a white dot grid, dark blue pinlines.
    palette = [(0xD5, 0xE5, 0xF6), (0x2F, 0x6D, 0xB5), (0xFF, 0xFF, 0xFF), (0xEA, 0xF2, 0xFB)]

    def at(x, y):
        if x < 4:
            return 1
        if x < 164:
            return 2 if x % 6 == 2 and y % 6 == 2 else 0
        if x < 166:
            return 1
        if x < COLUMN:
            return 3
        return 2
    return own(palette, 6, at)


def back_14():
    # Coffee: dark brown band, cream column.
    palette = [(0x6B, 0x4F, 0x3A), (0xF1, 0xE9, 0xE1), (0xFF, 0xFF, 0xFF), (0xB8, 0x9C, 0x85)]

    def at(x, y):
        if x < 12:
            return 0
        if x < 14:
            return 3
        if x < 168:
            return 1
        if x < COLUMN:
            return 0
        return 2
    return own(palette, 2, at)


def back_15():
    # Petrol: light teal column with a dot grid.
    palette = [(0x1D, 0x6F, 0x72), (0xDD, 0xEE, 0xEE), (0xFF, 0xFF, 0xFF), (0x9F, 0xCB, 0xCC)]

    def at(x, y):
        if x < 6:
            return 0
        if x < 166:
            return 3 if x % 7 == 3 and y % 7 == 3 else 1
        if x < COLUMN:
            return 0
        return 2
    return own(palette, 7, at)


def back_16():
    # Two-tone blue stripes down the column, a steel blue edge.
    palette = [(0xC9, 0xD9, 0xEC), (0xDF, 0xE9, 0xF5), (0xFF, 0xFF, 0xFF), (0x3A, 0x5F, 0x8F)]

    def at(x, y):
        if x < 166:
            return 0 if (x // 10) % 2 == 0 else 1
        if x < COLUMN:
            return 3
        return 2
    return own(palette, 2, at)


def back_17():
    # Olive: light column with a fine cross-hatch.
    palette = [(0xE5, 0xEB, 0xD3), (0x8A, 0x9A, 0x5B), (0xFF, 0xFF, 0xFF), (0xD6, 0xDF, 0xBC)]

    def at(x, y):
        if x < 4:
            return 1
        if x < 166:
            return 3 if (x + y) % 10 == 0 or (x - y) % 10 == 0 else 0
        if x < COLUMN:
            return 1
        return 2
    return own(palette, 10, at)


def back_18():
    # Grey paper: light grey column, charcoal edge, finely ruled page.
    palette = [(0xE6, 0xE6, 0xE6), (0x40, 0x40, 0x40), (0xF9, 0xF9, 0xF9), (0xF0, 0xF0, 0xF0),
               (0xD4, 0xD4, 0xD4)]

    def at(x, y):
        if x < 166:
            return 0
        if x < 168:
            return 4
        if x < COLUMN:
            return 1
        return 3 if y % 4 == 3 else 2
    return own(palette, 4, at)


def report_background():
    # The report: a narrow, light stripe that stays left of its indented
    # text, and a warm white page, so the black and blue lines read well.
    palette = [(0xEE, 0xE8, 0xD8), (0xD2, 0xC6, 0xA6), (0xFD, 0xFC, 0xF8), (0xF8, 0xF5, 0xEC)]
    specks = speckles(64, 16, 20, 2002)

    def at(x, y):
        if x < 26:
            return 0
        if x < 28:
            return 1
        return 3 if (x % 64, y) in specks else 2
    return palette, 16, at


RECOLOURED = [back_1, back_2, back_3, back_4, back_5, back_6, back_7, back_8]
OWN_COLOURS = [back_9, back_10, back_11, back_12, back_13, back_14, back_15, back_16, back_17, back_18]


def check_palette_window(name, data, recoloured):
    window = data[:PALETTE_WINDOW]
    has_accent = bytes(ACCENT) in window
    has_light = bytes(LIGHT) in window
    if recoloured and not (has_accent and has_light):
        sys.exit(f"{name}: the accent entries are not in the first {PALETTE_WINDOW} bytes")
    if not recoloured and (has_accent or has_light):
        sys.exit(f"{name}: an accent triple in the first {PALETTE_WINDOW} bytes would be recoloured")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    print(f"{path}: {len(data)} bytes")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data")
    templates = os.path.join(data_dir, "templates")
    os.makedirs(templates, exist_ok=True)

    for number, make in enumerate(RECOLOURED, start=1):
        height, at = make()
        data = gif(WIDTH, height, RECOLOURED_PALETTE, paint(height, at))
        check_palette_window(f"back_{number}.gif", data, True)
        write(os.path.join(templates, f"back_{number}.gif"), data)
    for number, make in enumerate(OWN_COLOURS, start=len(RECOLOURED) + 1):
        palette, height, at = make()
        data = gif(WIDTH, height, palette, paint(height, at))
        check_palette_window(f"back_{number}.gif", data, False)
        write(os.path.join(templates, f"back_{number}.gif"), data)

    palette, height, at = report_background()
    write(os.path.join(data_dir, "back.gif"), gif(WIDTH, height, palette, paint(height, at)))


if __name__ == "__main__":
    main()
