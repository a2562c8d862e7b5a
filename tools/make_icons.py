#!/usr/bin/env python3
"""Draws the program's small status icons (16 x 16) into resources/Ico/.

The windows load them by name from the program folder's Ico/ folder: flags for
the goods status (flg.ico enabled, flg2.ico replaced, flg3.ico disabled or
unaudited), check marks (ok.ico default unit, ok_01.gif audited bill) and the
refresh arrow of the toolbars (refresh.ico).
Run it again after changing a drawing; the files are kept in the repository.
"""
import os
import struct
import sys

SIZE = 16
CLEAR = (0, 0, 0, 0)


def blank():
    return [[CLEAR] * SIZE for _ in range(SIZE)]


def flag(cloth, shade):
    img = blank()
    pole = (70, 70, 70, 255)
    for y in range(1, 15):
        img[y][3] = pole
        img[y][4] = (110, 110, 110, 255)
    for x in range(2, 7):
        img[15][x] = pole
    # A cloth that waves a little: its top and bottom edges dip in the middle.
    for x in range(5, 14):
        dip = 1 if 8 <= x <= 10 else 0
        for y in range(2 + dip, 9 + dip):
            edge = y in (2 + dip, 8 + dip) or x == 13
            img[y][x] = shade if edge else cloth
    return img


def check(colour, shade):
    img = blank()
    points = [(3, 8), (4, 9), (5, 10), (6, 11), (7, 10), (8, 9), (9, 8), (10, 7), (11, 6), (12, 5), (13, 4)]
    for x, y in points:
        for dx, dy, c in ((0, 0, colour), (0, 1, colour), (0, -1, colour), (0, 2, shade)):
            if 0 <= y + dy < SIZE:
                img[y + dy][x + dx] = c
    return img


def refresh(colour, shade):
    """A circular arrow: three quarters of a ring, its head at the top right."""
    import math
    img = blank()
    cx, cy = 7.5, 8.0
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - cx, y - cy
            r = math.hypot(dx, dy)
            angle = math.degrees(math.atan2(-dy, dx)) % 360  # 0 right, 90 up
            if 3.6 <= r <= 6.4 and not (10 <= angle <= 85):
                img[y][x] = shade if r > 5.6 else colour
    # The head: a triangle at the ring's upper end, pointing on (to the right).
    for row in range(7):
        for x in range(8, 8 + 5 - abs(row - 3)):
            img[1 + row][x] = colour
    return img


def write_ico(path, img):
    # One 32-bit image: the BITMAPINFOHEADER's height counts the colour rows and the mask rows.
    rows = b"".join(bytes((b, g, r, a)) for y in reversed(range(SIZE)) for (r, g, b, a) in img[y])
    mask_row = (SIZE + 31) // 32 * 4
    mask = bytearray()
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            if img[y][x][3] == 0:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)[:mask_row]
    dib = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    data = dib + rows + bytes(mask)
    header = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(data), 22)
    with open(path, "wb") as f:
        f.write(header + data)


def write_gif(path, img):
    palette = [(0, 0, 0)]  # index 0 is transparent
    index = []
    for row in img:
        for (r, g, b, a) in row:
            if a == 0:
                index.append(0)
                continue
            if (r, g, b) not in palette:
                palette.append((r, g, b))
            index.append(palette.index((r, g, b)))
    bits = 1
    while (1 << bits) < len(palette):
        bits += 1
    bits = max(bits, 2)
    palette += [(0, 0, 0)] * ((1 << bits) - len(palette))

    # LZW with literal codes only; the code size follows the decoder's table.
    min_size = bits
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, acc, nbits = bytearray(), 0, 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    size, nxt, first = min_size + 1, end + 1, True
    emit(clear, size)
    for p in index:
        emit(p, size)
        if first:
            first = False
            continue
        nxt += 1
        if nxt == (1 << size) and size < 12:
            size += 1
        if nxt >= 4094:
            emit(clear, size)
            size, nxt, first = min_size + 1, end + 1, True
    emit(end, size)
    if nbits:
        out.append(acc & 0xFF)
    blocks = b"".join(bytes([len(out[i:i + 255])]) + bytes(out[i:i + 255]) for i in range(0, len(out), 255))

    gif = b"GIF89a" + struct.pack("<HHBBB", SIZE, SIZE, 0x80 | (bits - 1), 0, 0)
    gif += b"".join(bytes(c) for c in palette)
    gif += b"\x21\xF9\x04\x01\x00\x00\x00\x00"  # index 0 transparent
    gif += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
    gif += bytes([min_size]) + blocks + b"\x00\x3B"
    with open(path, "wb") as f:
        f.write(gif)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "Ico")
    os.makedirs(folder, exist_ok=True)
    green, dark_green = (40, 170, 60, 255), (20, 110, 35, 255)
    write_ico(os.path.join(folder, "flg.ico"), flag(green, dark_green))
    write_ico(os.path.join(folder, "flg2.ico"), flag((245, 175, 30, 255), (185, 120, 10, 255)))
    write_ico(os.path.join(folder, "flg3.ico"), flag((220, 45, 40, 255), (150, 25, 20, 255)))
    write_ico(os.path.join(folder, "ok.ico"), check(green, dark_green))
    write_gif(os.path.join(folder, "ok_01.gif"), check(green, dark_green))
    write_ico(os.path.join(folder, "refresh.ico"), refresh((40, 120, 210, 255), (20, 75, 150, 255)))


if __name__ == "__main__":
    main()
