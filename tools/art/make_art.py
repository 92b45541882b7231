#!/usr/bin/env python3
"""Writes the program's artwork into res/:

  quillmere.ico  icon 103: 32x32 and 16x16, 16 colours each (the standard VGA palette).
                 A desktop icon (a computer) on the wallpaper, its label written straight
                 on the wallpaper with a drop shadow and no box behind it: the wallpaper,
                 sky and hill, shows between the letters. That is what the program does.
  quillmere-sizes.ico
                 icon 1: the same scene drawn anew for each of 16, 20, 24, 32, 40, 48, 64
                 and 256 pixels, in 32-bit colour with alpha (rounded corners). The shapes
                 are given as fractions of the picture and placed on whole pixels at each
                 size, their lines one pixel wide per 32; only the hill's edge and the
                 corners are smoothed, by their coverage of each pixel. Every image is
                 stored PNG-compressed, which Windows reads from Vista on: as bitmaps the
                 eight would take some 42 KB of the program's 48 KiB.
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
import zlib

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


SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
RGB = {key: PALETTE[i] for i, key in enumerate(COLOUR_KEYS)}

# "Quill" for the larger sizes, and the two rows that stand for a label where no letter
# can be read (as in the 16-pixel image of icon 103).
LETTERS = LABEL_32[0]
SMALL_LABEL = LABEL_16[0]


class Picture:
    """RGBA pixels, transparent at first."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def box(self, left, top, right, bottom, key):
        """Fills whole pixels from (left, top) up to, not including, (right, bottom)."""
        r, g, b = RGB[key]
        for y in range(max(0, top), min(self.size, bottom)):
            for x in range(max(0, left), min(self.size, right)):
                self.pixels[y][x] = (r, g, b, 255)

    def cover(self, inside, key, samples=4):
        """Paints the colour over each pixel by the share of it that inside(x, y) covers,
        x and y being fractions of the picture."""
        r, g, b = RGB[key]
        n = self.size * samples
        for y in range(self.size):
            for x in range(self.size):
                hits = sum(inside((x * samples + i + 0.5) / n, (y * samples + j + 0.5) / n)
                           for i in range(samples) for j in range(samples))
                if hits:
                    share = hits / samples ** 2
                    pr, pg, pb, pa = self.pixels[y][x]
                    mix = lambda new, old: round(new * share + old * (1 - share))
                    self.pixels[y][x] = (mix(r, pr), mix(g, pg), mix(b, pb), round(255 * share + pa * (1 - share)))

    def clip_corners(self, radius):
        """Rounds the corners: the pixels outside a circle of `radius` pixels lose alpha by
        the share of them outside it."""
        samples = 4
        for y in range(self.size):
            for x in range(self.size):
                outside = 0
                for j in range(samples):
                    for i in range(samples):
                        px, py = x + (i + 0.5) / samples, y + (j + 0.5) / samples
                        cx = min(max(px, radius), self.size - radius)
                        cy = min(max(py, radius), self.size - radius)
                        outside += (px - cx) ** 2 + (py - cy) ** 2 > radius ** 2
                if outside:
                    r, g, b, a = self.pixels[y][x]
                    self.pixels[y][x] = (r, g, b, round(a * (1 - outside / samples ** 2)))


def draw_scene(size):
    """The computer on the wallpaper with its label, laid out for `size` pixels."""
    at = lambda fraction: round(fraction * size)  # a place given as a fraction, on a pixel
    line = max(1, round(size / 32))  # one pixel per 32
    picture = Picture(size)
    picture.box(0, 0, size, size, 't')
    # The hill, from low on the left to high on the right.
    picture.cover(lambda x, y: y >= (22 + 8 * (1 - x) ** 1.6) / 32, 'G')

    # The screen: black outline, silver bezel, grey inner edge, blue glass with a light
    # corner, a green lamp; then the neck and the foot.
    left, right, top, bottom = at(7 / 32), at(25 / 32), at(2 / 32), at(17 / 32)
    picture.box(left, top, right, bottom, 'K')
    picture.box(left + line, top + line, right - line, bottom - line, 's')
    inner = 2 * line
    picture.box(left + inner, top + inner, right - inner, bottom - 2 * inner, 'd')
    glass = (left + 3 * line, top + 3 * line, right - 3 * line, bottom - 3 * inner)
    picture.box(*glass, 'B')
    corner = max(2, (glass[2] - glass[0]) // 4)
    for step in range(corner):
        picture.box(glass[0], glass[1] + step, glass[0] + corner - step, glass[1] + step + 1, 'C')
    picture.box(right - 3 * line, bottom - 2 * line, right - 2 * line, bottom - line, 'L')
    neck_left, neck_right = at(13 / 32), at(19 / 32)
    picture.box(neck_left, bottom, neck_right, bottom + line, 'K')
    picture.box(neck_left + line, bottom, neck_right - line, bottom + line, 'd')
    foot = (at(10 / 32), bottom + line, at(22 / 32), bottom + 3 * line)
    picture.box(*foot, 'K')
    picture.box(foot[0] + line, foot[1], foot[2] - line, foot[3] - line, 's')

    # The label straight on the wallpaper: white letters, a black shadow down and right.
    if size >= 32:
        mask, unit, (left, top) = LETTERS, max(1, round(size / 32)), (at(9 / 32), at(22 / 32))
    else:
        mask, unit, (left, top) = SMALL_LABEL, 1, (at(3 / 16), at(12 / 16))
    shadow = max(1, unit // 2)
    for key, shift in (('K', shadow), ('W', 0)):
        for y, row in enumerate(mask):
            for x, ch in enumerate(row):
                if ch == '#':
                    px, py = left + x * unit + shift, top + y * unit + shift
                    picture.box(px, py, px + unit, py + unit, key)
    picture.clip_corners(size / 8)
    return picture


def png(picture):
    """The picture as a PNG file: 8-bit RGBA, each row filtered the way that packs best."""
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b''
    previous = bytes(4 * picture.size)
    for row in picture.pixels:
        line = bytes(v for pixel in row for v in pixel)
        sub = bytes((line[i] - (line[i - 4] if i >= 4 else 0)) & 255 for i in range(len(line)))
        up = bytes((line[i] - previous[i]) & 255 for i in range(len(line)))
        cost = lambda data: sum(v if v < 128 else 256 - v for v in data)
        raw += min((b'\0' + line, b'\1' + sub, b'\2' + up), key=lambda f: cost(f[1:]))
        previous = line
    header = struct.pack('>IIBBBBB', picture.size, picture.size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def sized_icon():
    """quillmere-sizes.ico: one PNG image per size; a 256-pixel entry gives 0 as its size."""
    return directory(1, [(size % 256, 0, 1, 32, png(draw_scene(size))) for size in SIZES])


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
    files = (('quillmere.ico', icon), ('hand.cur', cursor), ('quillmere-sizes.ico', sized_icon()))
    for name, data in files:
        with open(os.path.join(RES, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
