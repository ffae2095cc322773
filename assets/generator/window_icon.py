"""The window icon as a 32-bit BMP with an alpha channel (a BITMAPV4HEADER with explicit
channel masks, which SDL_LoadBMP reads as RGBA)."""
import struct

from .brand import logo

ICON_SIZE = 64


def bmp_bytes(image):
    """BGRA, bottom-up rows, V4 header with masks and the sRGB colour space."""
    rgba = image.convert("RGBA")
    w, h = rgba.size
    raw = rgba.tobytes()
    rows = []
    for y in range(h - 1, -1, -1):
        row = raw[y * w * 4:(y + 1) * w * 4]
        bgra = bytearray(len(row))
        bgra[0::4], bgra[1::4], bgra[2::4], bgra[3::4] = row[2::4], row[1::4], row[0::4], row[3::4]
        rows.append(bytes(bgra))
    pixels = b"".join(rows)
    header_size = 108
    offset = 14 + header_size
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", header_size, w, h, 1, 32, 3, len(pixels), 2835, 2835, 0, 0)
    masks = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    color_space = struct.pack("<I", 0x73524742) + bytes(36) + bytes(12)  # 'sRGB', no endpoints, gamma
    return file_header + info + masks + color_space + pixels


def write(path):
    with open(path, "wb") as f:
        f.write(bmp_bytes(logo(ICON_SIZE).image))
