#!/usr/bin/env python3
"""Writes the installer's committed art: quillet.ico (32x32, 16 colours),
quillet_hand.cur (32x32 hand, hot spot 12,1) and the default logo BR_LOW.bmp
(200x120, 24-bit). Pure Python, so the files come out byte for byte the same.
Run from this folder: python3 quillet_art.py"""
import struct

# The standard 16-colour palette, in the order Windows uses.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

# X outline, . white inside, blank transparent; the fingertip's top edge is
# row 1, column 12.
HAND = [
    "",
    "           XX",
    "          X..X",
    "          X..X",
    "          X..X",
    "          X..X",
    "          X..X",
    "          X..XXX",
    "          X..X..XXX",
    "          X..X..X..XX",
    "          X..X..X..X.X",
    "     XX   X..X..X..X..X",
    "     X.X  X.........X..X",
    "     X..X X............X",
    "      X..XX............X",
    "      X...X............X",
    "       X...............X",
    "       X...............X",
    "        X..............X",
    "        X.............X",
    "         X............X",
    "         X...........X",
    "          X..........X",
    "          X..........X",
    "          XXXXXXXXXXXX",
]


def bitmap_info(width, height, bits, colours):
    # Icon and cursor images store height doubled: XOR image, then AND mask.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def mask_rows(opaque):
    """AND mask, bottom-up, 1 = transparent, rows padded to 32 bits."""
    out = b""
    for y in reversed(range(32)):
        bits = 0
        for x in range(32):
            if not opaque(x, y):
                bits |= 1 << (31 - x)
        out += struct.pack(">I", bits)
    return out


def icon_file(kind, image, hotspot=(0, 0), colours=16):
    header = struct.pack("<HHH", 0, kind, 1)
    if kind == 1:
        entry = struct.pack("<BBBBHHII", 32, 32, colours % 256, 0, 1, 4, len(image), 22)
    else:
        entry = struct.pack("<BBBBHHII", 32, 32, colours % 256, 0, hotspot[0], hotspot[1],
                            len(image), 22)
    return header + entry + image


def hand_cursor():
    def at(x, y):
        row = HAND[y] if y < len(HAND) else ""
        return row[x] if x < len(row) else " "

    palette = struct.pack("<BBBB", 0, 0, 0, 0) + struct.pack("<BBBB", 255, 255, 255, 0)
    xor = b""
    for y in reversed(range(32)):
        bits = 0
        for x in range(32):
            if at(x, y) == ".":
                bits |= 1 << (31 - x)
        xor += struct.pack(">I", bits)
    image = bitmap_info(32, 32, 1, 2) + palette + xor + mask_rows(lambda x, y: at(x, y) != " ")
    return icon_file(2, image, hotspot=(12, 1), colours=2)


def icon_pixel(x, y):
    """A window with a blue title bar and a yellow arrow dropping into it."""
    if 3 <= x <= 28 and 8 <= y <= 29:
        if x in (3, 28) or y in (8, 29):
            return 0
        if y <= 11:
            return 4
        if 13 <= x <= 18 and 16 <= y <= 27 and abs(x - 15.5) <= (27 - y):
            return 11 if not (y <= 20 and not 14 <= x <= 17) else 15
        return 15
    if 14 <= x <= 17 and 0 <= y <= 7:
        return 11
    return None


def app_icon():
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in VGA)
    xor = b""
    for y in reversed(range(32)):
        row = b""
        for x in range(0, 32, 2):
            hi, lo = icon_pixel(x, y), icon_pixel(x + 1, y)
            row += bytes([((hi or 0) << 4) | (lo or 0)])
        xor += row
    image = (bitmap_info(32, 32, 4, 16) + palette + xor +
             mask_rows(lambda x, y: icon_pixel(x, y) is not None))
    return icon_file(1, image)


# 5x7 capitals for the logo's name.
FONT = {
    "B": ["XXXX.", "X...X", "X...X", "XXXX.", "X...X", "X...X", "XXXX."],
    "R": ["XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"],
    "E": ["XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"],
    "N": ["X...X", "XX..X", "X.X.X", "X..XX", "X...X", "X...X", "X...X"],
    "L": ["X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"],
    "O": [".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    "W": ["X...X", "X...X", "X...X", "X.X.X", "X.X.X", "XX.XX", "X...X"],
}


def logo():
    width, height, scale = 200, 120, 3
    word = "BRENLOW"
    text_w = len(word) * 6 * scale - scale
    tx, ty = (width - text_w) // 2, 30

    def ink(x, y):
        cx, cy = (x - tx) // scale, (y - ty) // scale
        if x < tx or y < ty or cy >= 7 or cx >= len(word) * 6 or cx % 6 == 5:
            return False
        return FONT[word[cx // 6]][cy][cx % 6] == "X"

    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            t = y / (height - 1)
            r, g, b = int(20 + 10 * t), int(30 + 110 * t), int(90 + 80 * t)
            # Rings around the lower right, in warm colours.
            d = ((x - 160) ** 2 + (y - 100) ** 2) ** 0.5
            if int(d) % 12 < 3 and d < 70:
                r, g, b = 250, 170 + int(d), 40
            if ink(x, y):
                r, g, b = 255, 255, 255
            elif ink(x - 2, y - 2):
                r, g, b = 10, 15, 40
            # A frame, so the picture's edges show on any background.
            if x < 3 or y < 3 or x >= width - 3 or y >= height - 3:
                r, g, b = 250, 200, 40
            row += bytes([b, g, r])
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))  # 600 bytes a row: no padding needed
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    return header + info + pixels


if __name__ == "__main__":
    for name, data in (("quillet.ico", app_icon()), ("quillet_hand.cur", hand_cursor()),
                       ("BR_LOW.bmp", logo())):
        with open(name, "wb") as f:
            f.write(data)
