#!/usr/bin/env python3
"""Writes res/quillmere.ico: the program icon in 32x32 and 16x16, 16 colours each.

The picture is a desktop icon (a blue document) over teal wallpaper with a
label line below it that has no box behind it: what the program does.
Run it from the repository root after changing the drawing below.
"""
import struct

# The standard 16-colour VGA palette, as (r, g, b).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, TEAL, SILVER, GREY, BLUE, YELLOW, WHITE = 0, 6, 7, 8, 12, 11, 15


def draw(size):
    """Returns rows (top first) of palette indexes and a transparency mask."""
    s = size / 32.0
    pix = [[TEAL] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, c):
        for y in range(int(y0 * s), max(int(y1 * s), int(y0 * s) + 1)):
            for x in range(int(x0 * s), max(int(x1 * s), int(x0 * s) + 1)):
                if 0 <= x < size and 0 <= y < size:
                    pix[y][x] = c

    rect(8, 2, 24, 21, BLACK)      # document outline
    rect(9, 3, 23, 20, WHITE)      # page
    rect(11, 6, 21, 8, BLUE)       # lines of text on the page
    rect(11, 10, 21, 12, BLUE)
    rect(11, 14, 18, 16, BLUE)
    rect(3, 24, 29, 27, YELLOW)    # the label, drawn straight on the wallpaper
    rect(5, 28, 27, 30, YELLOW)
    return pix


def icon_image(size):
    pix = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_rows = []
    for row in reversed(pix):  # bitmaps are stored bottom-up
        data = bytes((row[x] << 4) | row[x + 1] for x in range(0, size, 2))
        xor_rows.append(data + b'\0' * ((-len(data)) % 4))
    and_row = b'\0' * (((size + 31) // 32) * 4)  # fully opaque
    return header + palette + b''.join(xor_rows) + and_row * size


def main():
    images = [(32, icon_image(32)), (16, icon_image(16))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open('res/quillmere.ico', 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
