#!/usr/bin/env python3
"""Writes the program's artwork into res/:

  quillmere.ico  icon 103: 32x32 and 16x16, 16 colours each (the standard VGA palette).
                 A desktop icon (a computer) on the wallpaper, its label written straight
                 on the wallpaper with a drop shadow and no box behind it: the wallpaper,
                 sky and hill, shows between the letters. That is what the program does.
  hand.cur       cursor 137: one 32x32 monochrome image, a hand with the index finger
                 up, white with a black outline and a black cuff. The hotspot is the
                 fingertip (13, 9).

The pictures are the character maps below, one character per pixel; edit them and run
`python3 tools/art/make_art.py` (from anywhere) to rebuild both files.
Add --show to print the maps as the files will hold them.
"""
import os
import struct
import sys

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res')

# The standard 16-colour VGA palette as (r, g, b), and the map character of each entry.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
COLOUR_KEYS = 'KrGoNpts dRLYBMCW'.replace(' ', '')
# K black, r maroon, G green, o olive, N navy, p purple, t teal, s silver, d grey,
# R red, L lime, Y yellow, B blue, M magenta, C cyan, W white.

ICON_32 = [
    'tttttttttttttttttttttttttttttttt',
    'tttttttttttttttttttttttttttttttt',
    'tttttttKKKKKKKKKKKKKKKKKKttttttt',
    'tttttttKssssssssssssssssKttttttt',
    'tttttttKsddddddddddddddsKttttttt',
    'tttttttKsdCCCBBBBBBBBBdsKttttttt',
    'tttttttKsdCCBBBBBBBBBBdsKttttttt',
    'tttttttKsdCBBBBBBBBBBBdsKttttttt',
    'tttttttKsdBBBBBBBBBBBBdsKttttttt',
    'tttttttKsdBBBBBBBBBBBBdsKttttttt',
    'tttttttKsdBBBBBBBBBBBBdsKttttttt',
    'tttttttKsdBBBBBBBBBBBBdsKttttttt',
    'tttttttKsdBBBBBBBBBBBBdsKttttttt',
    'tttttttKsdBBBBBBBBBBBBdsKttttttt',
    'tttttttKsddddddddddddddsKttttttt',
    'tttttttKsssssssssssssLssKttttttt',
    'tttttttKKKKKKKKKKKKKKKKKKttttttt',
    'tttttttttttttKddddKttttttttttttt',
    'ttttttttttKssssssssssKtttttttttt',
    'ttttttttttKKKKKKKKKKKKtttttttttt',
    'tttttttttttttttttttttttttttttttt',
    'tttttttttttttttttttttttttttttttt',
    'tttttttttttttttttttttttttttttGGG',
    'tttttttttttttttttttttttttGGGGGGG',
    'tttttttttttttttttttttGGGGGGGGGGG',
    'tttttttttttttttttGGGGGGGGGGGGGGG',
    'tttttttttttttGGGGGGGGGGGGGGGGGGG',
    'tttttttttGGGGGGGGGGGGGGGGGGGGGGG',
    'tttttGGGGGGGGGGGGGGGGGGGGGGGGGGG',
    'ttGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG',
    'GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG',
    'GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG',
]

ICON_16 = [
    'tttttttttttttttt',
    'tttKKKKKKKKKKttt',
    'tttKssssssssKttt',
    'tttKsCBBBBBsKttt',
    'tttKsBBBBBBsKttt',
    'tttKsBBBBBBsKttt',
    'tttKsBBBBBBsKttt',
    'tttKssssssssKttt',
    'tttKKKKKKKKKKttt',
    'ttttttKddKtttttt',
    'tttttKKKKKKttttt',
    'ttttttttttttttGG',
    'ttttttttttGGGGGG',
    'ttttttGGGGGGGGGG',
    'ttGGGGGGGGGGGGGG',
    'GGGGGGGGGGGGGGGG',
]

# The label under the icon: white letters with a black shadow one pixel down and right,
# drawn over the wallpaper. '#' marks a letter pixel; (x, y) is the top left corner.
LABEL_32 = ([
    '.#......#.#.#',
    '#.#.#.#...#.#',
    '#.#.#.#.#.#.#',
    '##..#.#.#.#.#',
    '.##.###.#.#.#',
], (9, 22))  # "Quill"
LABEL_16 = ([
    '###.##.###',
    '#.#..#..#.',
], (3, 12))

# Cursor: '.' lets the screen through, 'K' is black, 'W' is white.
HAND_CURSOR = [
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '.............KK.................',
    '............KWWK................',
    '............KWWK................',
    '............KWWK................',
    '............KWWK................',
    '............KWWKKK..............',
    '............KWWKWWKKK...........',
    '............KWWKWWKWWKK.........',
    '.........KK.KWWKWWKWWKWK........',
    '........KWWKKWWKWWKWWKWWK.......',
    '........KWWWKWWWWWWWWWWWK.......',
    '.........KWWKWWWWWWWWWWWK.......',
    '.........KWWWWWWWWWWWWWWK.......',
    '..........KWWWWWWWWWWWWWK.......',
    '..........KWWWWWWWWWWWWK........',
    '...........KWWWWWWWWWWWK........',
    '...........KWWWWWWWWWWWK........',
    '............KWWWWWWWWWK.........',
    '............KWWWWWWWWWK.........',
    '............KKKKKKKKKKK.........',
    '............KKKKKKKKKKK.........',
    '............KKKKKKKKKKK.........',
    '................................',
]
HAND_HOTSPOT = (13, 9)


def with_label(rows, label):
    """The scene with the label's shadow and then its letters drawn over it."""
    mask, (left, top) = label
    pixels = [list(row) for row in rows]
    for colour, shift in (('K', 1), ('W', 0)):
        for y, line in enumerate(mask):
            for x, ch in enumerate(line):
                if ch == '#':
                    pixels[top + y + shift][left + x + shift] = colour
    return [''.join(row) for row in pixels]


def check_map(rows, size, keys):
    if len(rows) != size or any(len(row) != size for row in rows):
        sys.exit('a %dx%d map has the wrong shape' % (size, size))
    if any(ch not in keys for row in rows for ch in row):
        sys.exit('a %dx%d map uses an unknown character' % (size, size))


def padded(data):
    """A bitmap row padded to whole 32-bit words."""
    return data + b'\0' * ((-len(data)) % 4)


def mask_rows(rows, is_set):
    """1 bit per pixel, bottom row first, rows padded to 32 bits."""
    out = b''
    for row in reversed(rows):
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if is_set(ch) else 0)
        out += padded(bits.to_bytes(len(row) // 8, 'big'))
    return out


def icon_image(rows):
    """A 4-bit DIB with its AND mask, opaque everywhere: the picture is the scene."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    colour = b''
    for row in reversed(rows):  # bitmaps are stored bottom-up
        index = [COLOUR_KEYS.index(ch) for ch in row]
        colour += padded(bytes((index[x] << 4) | index[x + 1] for x in range(0, size, 2)))
    return header + palette + colour + mask_rows(rows, lambda ch: False)


def cursor_image(rows):
    """A 1-bit DIB (black, white) with its AND mask."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
    return (header + palette + mask_rows(rows, lambda ch: ch == 'W') +
            mask_rows(rows, lambda ch: ch == '.'))


def directory(kind, entries):
    """An .ico (kind 1) or .cur (kind 2) file: header, entries, images.

    entries: (size, colour count, field 1, field 2, image); the two fields are planes and
    bit count for an icon, the hotspot's x and y for a cursor."""
    out = struct.pack('<HHH', 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    for size, colours, first, second, image in entries:
        out += struct.pack('<BBBBHHII', size, size, colours, 0, first, second, len(image), offset)
        offset += len(image)
    return out + b''.join(entry[-1] for entry in entries)


def main():
    icon_32 = with_label(ICON_32, LABEL_32)
    icon_16 = with_label(ICON_16, LABEL_16)
    check_map(icon_32, 32, COLOUR_KEYS)
    check_map(icon_16, 16, COLOUR_KEYS)
    check_map(HAND_CURSOR, 32, '.KW')
    x, y = HAND_HOTSPOT
    if HAND_CURSOR[y][x] != 'K' or any(HAND_CURSOR[above][x] != '.' for above in range(y)):
        sys.exit('the hotspot must be the top of the fingertip')
    if '--show' in sys.argv:
        for rows in (icon_32, icon_16, HAND_CURSOR):
            print('\n'.join(rows) + '\n')

    icon = directory(1, [(32, 16, 1, 4, icon_image(icon_32)), (16, 16, 1, 4, icon_image(icon_16))])
    cursor = directory(2, [(32, 2, x, y, cursor_image(HAND_CURSOR))])
    for name, data in (('quillmere.ico', icon), ('hand.cur', cursor)):
        with open(os.path.join(RES, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
