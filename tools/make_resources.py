#!/usr/bin/python3
"""Build Orvanta's PNG picture resources from the source BMP pictures.

usage: make_resources.py SOURCE_DIR OUTPUT_DIR [--text crisp|smooth] [--font-dir DIR]

Writes info_background.png, mars_photo.png, mars_sprite.png and earth_sprite.png.
Everything is validated and built in memory first, so a bad source leaves the
output folder exactly as it was.
"""

import argparse
import io
import os
import struct
import sys
import tempfile
from typing import NamedTuple

from PIL import Image, ImageDraw, ImageFont

BI_RGB = 0
INFO_HEADER_SIZE = 40
# Every header layout that starts with the 40-byte BITMAPINFOHEADER fields;
# the extra V2..V5 fields only matter for bitfields and colour management,
# which BI_RGB pictures do not use, so they can be dropped safely.
KNOWN_HEADER_SIZES = (40, 52, 56, 108, 124)

NAME_TEXT = "Orvanta"
TAGLINE_TEXT = "Mars closest approach 2003"
NAME_FONT = ("DejaVuSans-Bold.ttf", 22)
TAGLINE_FONT = ("DejaVuSans.ttf", 11)
LINE_GAP = 6
MIN_TEXT_MARGIN = 4      # text must keep this far from every edge of the band
MIN_BAND_ROWS = 40

# The sprites are drawn with a colour key: anything with B+G+R below this is
# treated as transparent, so a source pixel strictly between black and the
# threshold would be either a hole in the disc or a speck in the background.
SPRITE_KEY_THRESHOLD = 64


class Job(NamedTuple):
    source: str
    output: str
    width: int
    height: int
    bits: int
    sprite: bool


JOBS = (
    Job("scene_195x450_8bit.bmp", "info_background.png", 195, 450, 8, False),
    Job("mars_256.bmp", "mars_photo.png", 256, 256, 24, False),
    Job("mars_32.bmp", "mars_sprite.png", 32, 32, 24, True),
    Job("earth_32.bmp", "earth_sprite.png", 32, 32, 24, True),
)


class InputError(Exception):
    pass


class Bitmap(NamedTuple):
    width: int
    height: int
    bits: int
    x_ppm: int
    y_ppm: int
    palette: list        # 256 (r, g, b) tuples for 8-bit, empty for 24-bit
    rows: list           # bottom-up, pixel bytes only (no row padding)


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def read_bmp(path, job):
    name = os.path.basename(path)
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        raise InputError(f"{name}: cannot read: {e.strerror}")
    if len(data) < 14 + INFO_HEADER_SIZE or data[:2] != b"BM":
        raise InputError(f"{name}: not a BMP file")
    off_bits = struct.unpack_from("<I", data, 10)[0]
    (hsize, width, height, planes, bits, compression, size_image,
     x_ppm, y_ppm, clr_used, _clr_important) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    if hsize not in KNOWN_HEADER_SIZES:
        raise InputError(f"{name}: unsupported header size {hsize}")
    if height < 0:
        raise InputError(f"{name}: rows are stored top-down; expected bottom-up")
    if (width, height) != (job.width, job.height):
        raise InputError(f"{name}: is {width} x {height}, expected {job.width} x {job.height}")
    if planes != 1 or bits != job.bits:
        raise InputError(f"{name}: is {bits}-bit with {planes} plane(s), expected {job.bits}-bit")
    if compression != BI_RGB:
        raise InputError(f"{name}: compression {compression}; only uncompressed (BI_RGB) is accepted")
    row_bytes = stride(width, bits)
    if size_image not in (0, row_bytes * height):
        raise InputError(f"{name}: image size field {size_image} does not match "
                         f"{height} rows of {row_bytes} bytes")

    palette = []
    if bits == 8:
        # A short palette would leave indices pointing at undefined colours,
        # and the program expects all 256 entries to be meaningful.
        if clr_used not in (0, 256):
            raise InputError(f"{name}: palette has {clr_used} colours, expected 256")
        pal_start = 14 + hsize
        if pal_start + 256 * 4 > off_bits:
            raise InputError(f"{name}: palette overlaps the pixel data")
        for i in range(256):
            b, g, r = data[pal_start + 4 * i: pal_start + 4 * i + 3]
            palette.append((r, g, b))
    elif off_bits < 14 + hsize:
        raise InputError(f"{name}: pixel data overlaps the header")

    if off_bits + row_bytes * height > len(data):
        raise InputError(f"{name}: pixel data truncated ({len(data) - off_bits} of "
                         f"{row_bytes * height} bytes)")
    pixel_bytes = width * bits // 8
    rows = [data[off_bits + y * row_bytes: off_bits + y * row_bytes + pixel_bytes]
            for y in range(height)]
    return Bitmap(width, height, bits, x_ppm, y_ppm, palette, rows)


def check_sprite_key(bmp, name):
    bad = 0
    for row in bmp.rows:
        for x in range(0, len(row), 3):
            s = row[x] + row[x + 1] + row[x + 2]
            if 0 < s < SPRITE_KEY_THRESHOLD:
                bad += 1
    if bad:
        raise InputError(f"{name}: {bad} pixel(s) with 0 < B+G+R < {SPRITE_KEY_THRESHOLD}; "
                         "the colour key would punch holes in the disc")


def nearest_index(palette, colour):
    # Ties go to the lowest index so the choice never depends on iteration quirks.
    return min(range(len(palette)),
               key=lambda i: (sum((palette[i][k] - colour[k]) ** 2 for k in range(3)), i))


def find_band(bmp, name):
    """Return (first, last) top-down row numbers of the plain band at the bottom."""
    last = bmp.height - 1
    top = last + 1
    # rows[0] is the bottom row because the source is bottom-up
    for y in range(bmp.height):
        row = bmp.rows[y]
        if row.count(row[0]) != len(row):
            break
        top = last - y
    if last - top + 1 < MIN_BAND_ROWS:
        raise InputError(f"{name}: no plain band of at least {MIN_BAND_ROWS} rows at the bottom "
                         f"(found {last - top + 1})")
    return top, last


def text_mask(text, font_path, size, crisp):
    # Pillow quietly looks a missing path up by file name in the system font
    # folders, which would make the output depend on whatever happens to be installed.
    if not os.path.isfile(font_path):
        raise InputError(f"cannot load font {font_path}: no such file")
    try:
        # The basic layout keeps the result independent of whether libraqm is present.
        font = ImageFont.truetype(font_path, size, layout_engine=ImageFont.Layout.BASIC)
    except OSError:
        raise InputError(f"cannot load font {font_path}")
    left, top, right, bottom = font.getbbox(text)
    mask = Image.new("L", (right - left + 8, bottom - top + 8), 0)
    draw = ImageDraw.Draw(mask)
    if crisp:
        draw.fontmode = "1"
    draw.text((4 - left, 4 - top), text, font=font, fill=255)
    return mask.crop(mask.getbbox())


def draw_band_text(bmp, name, font_dir, crisp):
    """Return new top-down index rows with the name and tagline centred in the band."""
    band_top, band_bottom = find_band(bmp, name)
    pal = bmp.palette
    white = nearest_index(pal, (255, 255, 255))
    masks = [text_mask(NAME_TEXT, os.path.join(font_dir, NAME_FONT[0]), NAME_FONT[1], crisp),
             text_mask(TAGLINE_TEXT, os.path.join(font_dir, TAGLINE_FONT[0]), TAGLINE_FONT[1], crisp)]

    block = masks[0].height + LINE_GAP + masks[1].height
    band_rows = band_bottom - band_top + 1
    y = band_top + (band_rows - block) // 2
    widest = max(m.width for m in masks)
    if (y - band_top < MIN_TEXT_MARGIN or band_bottom - (y + block - 1) < MIN_TEXT_MARGIN
            or (bmp.width - widest) // 2 < MIN_TEXT_MARGIN):
        raise InputError(f"{name}: the name and tagline do not fit in the bottom band")

    top_down = [bytearray(r) for r in reversed(bmp.rows)]
    blend_cache = {}
    for mask in masks:
        x0 = (bmp.width - mask.width) // 2
        cover = mask.load()
        for my in range(mask.height):
            row = top_down[y + my]
            band_colour = pal[row[0]]  # the band is plain, so any pixel of the row will do
            for mx in range(mask.width):
                c = cover[mx, my]
                if c == 0:
                    continue
                if c == 255:
                    row[x0 + mx] = white
                    continue
                key = (band_colour, c)
                if key not in blend_cache:
                    t = c / 255
                    want = tuple(band_colour[k] + (255 - band_colour[k]) * t for k in range(3))
                    blend_cache[key] = nearest_index(pal, want)
                row[x0 + mx] = blend_cache[key]
        y += mask.height + LINE_GAP
    return top_down


def png(width, height, bits, palette, bottom_up_rows):
    """The picture as PNG bytes, top row first, in its own colours (a palette stays a palette)."""
    top_down = b"".join(reversed(bottom_up_rows))
    if bits == 8:
        image = Image.frombytes("P", (width, height), top_down)
        image.putpalette([c for rgb in palette for c in rgb])
    else:
        image = Image.frombytes("RGB", (width, height), top_down, "raw", "BGR")
    out = io.BytesIO()
    image.save(out, "PNG")
    return out.getvalue()


def build(source_dir, font_dir, crisp):
    outputs = {}
    for job in JOBS:
        bmp = read_bmp(os.path.join(source_dir, job.source), job)
        if job.sprite:
            check_sprite_key(bmp, job.source)
        if job.bits == 8:
            top_down = draw_band_text(bmp, job.source, font_dir, crisp)
            outputs[job.output] = png(bmp.width, bmp.height, 8, bmp.palette,
                                      [bytes(r) for r in reversed(top_down)])
        else:
            outputs[job.output] = png(bmp.width, bmp.height, 24, [], bmp.rows)
    return outputs


def write_all(output_dir, outputs):
    os.makedirs(output_dir, exist_ok=True)
    temps = []
    try:
        for name, data in outputs.items():
            fd, tmp = tempfile.mkstemp(prefix=f".{name}.", dir=output_dir)
            temps.append((tmp, name))
            with os.fdopen(fd, "wb") as f:
                f.write(data)
        for tmp, name in temps:
            os.chmod(tmp, 0o644)
            os.replace(tmp, os.path.join(output_dir, name))
    finally:
        for tmp, _ in temps:
            if os.path.exists(tmp):
                os.unlink(tmp)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Build Orvanta's picture resources.")
    parser.add_argument("source_dir")
    parser.add_argument("output_dir")
    parser.add_argument("--text", choices=("crisp", "smooth"), default="crisp",
                        help="crisp: hinted 1-bit white text (default); smooth: antialiased "
                             "coverage mapped to the nearest palette colours")
    parser.add_argument("--font-dir", default="/usr/share/fonts/truetype/dejavu")
    args = parser.parse_args(argv)
    try:
        outputs = build(args.source_dir, args.font_dir, args.text == "crisp")
        write_all(args.output_dir, outputs)
    except InputError as e:
        print(f"make_resources: error: {e}", file=sys.stderr)
        return 1
    except OSError as e:
        print(f"make_resources: error: writing {args.output_dir}: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
