#!/usr/bin/env python3
"""Draws the program's own icons: the tray icon with 256 and with 16 colours
and the logo of the about box, each at the sizes of 100, 125, 150 and 200 %
(16, 20, 24, 32 and 64, 80, 96, 128), so that a scaled screen picks a drawn
size instead of stretching a smaller one. Writes plain .ico files.
Run from this folder; the output is committed."""
import struct

SIZE = 16

def pixel(x, y):
    """One of: None (transparent), 'bg', 'mark', 'k', 'edge' on a 16 x 16 grid."""
    if (x in (0, 15) and y in (0, 15)):
        return None
    if x in (0, 15) or y in (0, 15):
        return 'edge'
    # Crop marks in the four corners, the sign of a cut.
    for cx, cy, dx, dy in ((2, 2, 1, 1), (13, 2, -1, 1), (2, 13, 1, -1), (13, 13, -1, -1)):
        if (y == cy and x in (cx, cx + dx)) or (x == cx and y in (cy, cy + dy)):
            return 'mark'
    # The letter K for Kestrel.
    if x in (4, 5) and 3 <= y <= 12:
        return 'k'
    if 3 <= y <= 7 and x in (6 + (7 - y), 7 + (7 - y)):
        return 'k'
    if 8 <= y <= 12 and x in (6 + (y - 8), 7 + (y - 8)):
        return 'k'
    return 'bg'

def image(size, bpp, palette, colour_of):
    """One icon image (header, palette, colour and mask rows); the 16 x 16
    grid scaled by nearest neighbour, so every size stays sharp."""
    count = 1 << bpp
    pal = list(palette) + [(0, 0, 0)] * (count - len(palette))
    rows_xor, rows_and = [], []
    for y in reversed(range(size)):
        indices = []
        mask_bits = []
        for x in range(size):
            kind = pixel(x * SIZE // size, y * SIZE // size)
            indices.append(0 if kind is None else colour_of[kind])
            mask_bits.append(1 if kind is None else 0)
        if bpp == 8:
            row = bytes(indices)
        else:
            row = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        row += b'\0' * (-len(row) % 4)
        rows_xor.append(row)
        mask = bytearray((size + 7) // 8)
        for i, bit in enumerate(mask_bits):
            if bit:
                mask[i // 8] |= 0x80 >> (i % 8)
        mask += b'\0' * (-len(mask) % 4)
        rows_and.append(bytes(mask))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bpp, 0,
                         sum(map(len, rows_xor)) + sum(map(len, rows_and)), 0, 0, count, 0)
    palette_bytes = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in pal)
    return header + palette_bytes + b''.join(rows_xor) + b''.join(rows_and)

def ico(sizes, bpp, palette, colour_of):
    count = 1 << bpp
    images = [image(size, bpp, palette, colour_of) for size in sizes]
    offset = 6 + 16 * len(images)
    entries = b''
    for size, data in zip(sizes, images):
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, count if bpp < 8 else 0, 0,
                               1, bpp, len(data), offset)
        offset += len(data)
    return struct.pack('<HHH', 0, 1, len(images)) + entries + b''.join(images)

# 256 colours: a sky-blue tile, white crop marks, a rust-orange K.
rich = [(0, 0, 0), (58, 134, 214), (255, 255, 255), (236, 128, 36), (24, 58, 112)]
rich_of = {'bg': 1, 'mark': 2, 'k': 3, 'edge': 4}
# 16 colours from the standard palette: navy tile, white marks, yellow K.
vga = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
vga_of = {'bg': 4, 'mark': 15, 'k': 11, 'edge': 0}

TRAY_SIZES = (16, 20, 24, 32)
LOGO_SIZES = (64, 80, 96, 128)
for name, sizes, bpp, pal, of in (('tray256.ico', TRAY_SIZES, 8, rich, rich_of),
                                  ('tray16.ico', TRAY_SIZES, 4, vga, vga_of),
                                  ('logo.ico', LOGO_SIZES, 8, rich, rich_of)):
    with open(name, 'wb') as f:
        f.write(ico(sizes, bpp, pal, of))
