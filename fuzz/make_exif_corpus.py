#!/usr/bin/env python3
"""Writes seed files for fuzz_exif: camera-like JPEG files with EXIF blocks in both byte orders.

Usage: python3 fuzz/make_exif_corpus.py [output folder]   (default: fuzz/corpus-exif)
`make fuzz` runs it when fuzz/corpus/fuzz_exif/ is empty.

Each seed is a JPEG start, an optional JFIF APP0 segment, an APP1 "Exif" segment holding a TIFF
structure (IFD0 with the usual camera tags, IFD1 with a thumbnail, an Exif directory with a maker
note, sometimes GPS and interoperability directories) and a short stand-in for the picture data.
"""

import os
import struct
import sys

BYTE, ASCII, SHORT, LONG, RATIONAL = 1, 2, 3, 4, 5
SBYTE, UNDEFINED, SSHORT, SLONG, SRATIONAL, FLOAT, DOUBLE = 6, 7, 8, 9, 10, 11, 12

SIZES = {BYTE: 1, ASCII: 1, SHORT: 2, LONG: 4, RATIONAL: 8, SBYTE: 1, UNDEFINED: 1,
         SSHORT: 2, SLONG: 4, SRATIONAL: 8, FLOAT: 4, DOUBLE: 8}


class Tiff:
    """A TIFF structure laid out like a camera writes it: each directory, then its values."""

    def __init__(self, intel):
        self.intel = intel
        self.order = "<" if intel else ">"
        self.dirs = []      # list of entry lists
        self.links = {}     # directory -> directory
        self.blobs = []

    def pack(self, fmt, *values):
        return struct.pack(self.order + fmt, *values)

    def directory(self):
        self.dirs.append([])
        return len(self.dirs) - 1

    def add(self, d, tag, kind, values):
        """values: bytes (BYTE/ASCII/UNDEFINED) or a list of numbers (pairs for rationals)."""
        if kind in (BYTE, SBYTE, UNDEFINED, ASCII):
            data = values if isinstance(values, bytes) else bytes(values)
            count = len(data)
        elif kind in (RATIONAL, SRATIONAL):
            fmt = "I" if kind == RATIONAL else "i"
            data = b"".join(self.pack(fmt + fmt, n, dd) for n, dd in values)
            count = len(values)
        else:
            fmt = {SHORT: "H", SSHORT: "h", LONG: "I", SLONG: "i", FLOAT: "f", DOUBLE: "d"}[kind]
            data = b"".join(self.pack(fmt, v) for v in values)
            count = len(values)
        self.dirs[d].append(("value", tag, kind, count, data))

    def ascii(self, d, tag, text):
        self.add(d, tag, ASCII, text.encode("latin-1") + b"\0")

    def pointer(self, d, tag, target_dir):
        self.dirs[d].append(("dir", tag, LONG, 1, target_dir))

    def blob_pointer(self, d, tag, blob):
        self.dirs[d].append(("blob", tag, LONG, 1, blob))

    def blob(self, data):
        self.blobs.append(data)
        return len(self.blobs) - 1

    def link(self, d, target):
        self.links[d] = target

    def build(self):
        dir_at, value_at, blob_at = [], [], []
        at = 8
        for entries in self.dirs:
            dir_at.append(at)
            at += 2 + 12 * len(entries) + 4
            offsets = []
            for kind_of, _tag, _kind, _count, data in entries:
                offsets.append(at)
                if kind_of == "value" and len(data) > 4:
                    at += len(data) + (len(data) & 1)
            value_at.append(offsets)
        for data in self.blobs:
            blob_at.append(at)
            at += len(data) + (len(data) & 1)
        out = bytearray(at)
        out[0:8] = (b"II" if self.intel else b"MM") + self.pack("HI", 42, dir_at[0])
        for d, entries in enumerate(self.dirs):
            base = dir_at[d]
            out[base:base + 2] = self.pack("H", len(entries))
            for i, (kind_of, tag, kind, count, data) in enumerate(entries):
                e = base + 2 + 12 * i
                out[e:e + 8] = self.pack("HHI", tag, kind, count)
                if kind_of == "dir":
                    out[e + 8:e + 12] = self.pack("I", dir_at[data])
                elif kind_of == "blob":
                    out[e + 8:e + 12] = self.pack("I", blob_at[data])
                elif len(data) <= 4:
                    out[e + 8:e + 8 + len(data)] = data
                else:
                    where = value_at[d][i]
                    out[e + 8:e + 12] = self.pack("I", where)
                    out[where:where + len(data)] = data
            link = base + 2 + 12 * len(entries)
            if d in self.links:
                out[link:link + 4] = self.pack("I", dir_at[self.links[d]])
        for b, data in enumerate(self.blobs):
            out[blob_at[b]:blob_at[b] + len(data)] = data
        return bytes(out)


def tiny_jpeg_body():
    """Segments behind a JPEG start: a quantisation table, a frame header, a scan, the end."""
    dqt = b"\xff\xdb\x00\x43\x00" + bytes((i * 3) % 50 + 1 for i in range(64))
    sof = b"\xff\xc0\x00\x0b\x08\x00\x08\x00\x08\x01\x01\x11\x00"
    sos = b"\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00"
    scan = bytes((i * 71 + 5) % 255 for i in range(40))
    return dqt + sof + sos + scan + b"\xff\xd9"


def app0():
    return b"\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"


def app1(tiff):
    # A block larger than one segment can hold keeps the largest length (the reader ignores it).
    return b"\xff\xe1" + struct.pack(">H", min(8 + len(tiff), 0xFFFF)) + b"Exif\0\0" + tiff


def maker_note(size, seed):
    return bytes(((i * 37 + seed) * 13) & 0xFF for i in range(size))


def camera(intel, model, maker_size, with_gps=False, with_interop=False, all_types=False):
    t = Tiff(intel)
    ifd0, ifd1, exif = t.directory(), t.directory(), t.directory()
    t.link(ifd0, ifd1)
    t.ascii(ifd0, 0x010E, "Harbour at dusk")
    t.ascii(ifd0, 0x010F, "Foto")
    t.ascii(ifd0, 0x0110, model)
    t.add(ifd0, 0x0112, SHORT, [1])
    t.add(ifd0, 0x011A, RATIONAL, [(72, 1)])
    t.add(ifd0, 0x011B, RATIONAL, [(72, 1)])
    t.add(ifd0, 0x0128, SHORT, [2])
    t.ascii(ifd0, 0x0131, "Firmware 1.02")
    t.ascii(ifd0, 0x0132, "2004:06:12 18:42:07")
    t.add(ifd0, 0x0213, SHORT, [2])
    t.pointer(ifd0, 0x8769, exif)

    thumb = t.blob(b"\xff\xd8" + tiny_jpeg_body())
    t.add(ifd1, 0x0103, SHORT, [6])
    t.add(ifd1, 0x011A, RATIONAL, [(180, 1)])
    t.add(ifd1, 0x011B, RATIONAL, [(180, 1)])
    t.add(ifd1, 0x0128, SHORT, [2])
    t.blob_pointer(ifd1, 0x0201, thumb)
    t.add(ifd1, 0x0202, LONG, [len(t.blobs[thumb])])

    t.add(exif, 0x829A, RATIONAL, [(1, 60)])
    t.add(exif, 0x829D, RATIONAL, [(28, 10)])
    t.add(exif, 0x8822, SHORT, [2])
    t.add(exif, 0x8827, SHORT, [100])
    t.add(exif, 0x9000, UNDEFINED, b"0220")
    t.ascii(exif, 0x9003, "2004:06:12 18:42:07")
    t.ascii(exif, 0x9004, "2004:06:12 18:42:07")
    t.add(exif, 0x9101, UNDEFINED, b"\x01\x02\x03\x00")
    t.add(exif, 0x9102, RATIONAL, [(2, 1)])
    t.add(exif, 0x9201, SRATIONAL, [(189, 32)])
    t.add(exif, 0x9202, RATIONAL, [(95, 32)])
    t.add(exif, 0x9204, SRATIONAL, [(0, 3)])
    t.add(exif, 0x9205, RATIONAL, [(95, 32)])
    t.add(exif, 0x9206, RATIONAL, [(3500, 1000)])
    t.add(exif, 0x9207, SHORT, [5])
    t.add(exif, 0x9208, SHORT, [0])
    t.add(exif, 0x9209, SHORT, [16])
    t.add(exif, 0x920A, RATIONAL, [(58, 10)])
    t.add(exif, 0x9211, LONG, [1234])
    t.add(exif, 0x927C, UNDEFINED, maker_note(maker_size, len(model)))
    t.add(exif, 0x9286, UNDEFINED, b"ASCII\0\0\0Evening light")
    t.ascii(exif, 0x9290, "42")
    t.add(exif, 0xA000, UNDEFINED, b"0100")
    t.add(exif, 0xA001, SHORT, [1])
    t.add(exif, 0xA002, LONG, [2048])
    t.add(exif, 0xA003, LONG, [1536])
    t.add(exif, 0xA217, SHORT, [2])
    t.add(exif, 0xA300, UNDEFINED, b"\x03")
    t.add(exif, 0xA301, UNDEFINED, b"\x01")
    t.add(exif, 0xA402, SHORT, [0])
    t.add(exif, 0xA403, SHORT, [0])
    t.add(exif, 0xA405, SHORT, [35])
    if with_interop:
        interop = t.directory()
        t.ascii(interop, 0x0001, "R98")
        t.add(interop, 0x0002, UNDEFINED, b"0100")
        t.pointer(exif, 0xA005, interop)
    if with_gps:
        gps = t.directory()
        t.add(gps, 0x0000, BYTE, [2, 2, 0, 0])
        t.ascii(gps, 0x0001, "N")
        t.add(gps, 0x0002, RATIONAL, [(52, 1), (22, 1), (1234, 100)])
        t.ascii(gps, 0x0003, "E")
        t.add(gps, 0x0004, RATIONAL, [(4, 1), (53, 1), (5678, 100)])
        t.add(gps, 0x0005, BYTE, [0])
        t.add(gps, 0x0006, RATIONAL, [(12, 1)])
        t.pointer(ifd0, 0x8825, gps)
    if all_types:  # behind everything else: the negative fraction ends the walk
        t.add(exif, 0xC000, BYTE, [1, 2, 3, 250, 0, 9])
        t.add(exif, 0xC001, SBYTE, [0x80, 0x7F])
        t.add(exif, 0xC002, SHORT, [8, 8, 8])
        t.add(exif, 0xC003, SSHORT, [-5])
        t.add(exif, 0xC004, LONG, [7, 258])
        t.add(exif, 0xC005, SLONG, [12345])
        t.add(exif, 0xC006, FLOAT, [1.5])
        t.add(exif, 0xC007, DOUBLE, [2.25])
        t.add(exif, 0xC008, SRATIONAL, [(-2, 3)])
    return t.build()


def values_over_the_block(intel, entries):
    """IFD0 with `entries` UNDEFINED entries whose values all span the block from the directory
    on, so that the decoded text grows with the square of the block's size."""
    order = "<" if intel else ">"
    size = 8 + 2 + 12 * entries + 4
    out = bytearray((b"II" if intel else b"MM") + struct.pack(order + "HI", 42, 8))
    out += struct.pack(order + "H", entries)
    for i in range(entries):
        out += struct.pack(order + "HHII", 0x1000 + i, UNDEFINED, size - 8, 8)
    out += b"\0\0\0\0"
    return bytes(out)


def overlapping_directories(n, total):
    """Directories that overlap: directory k starts 12 k bytes after the first and shares all but
    one of its n entries with directory k - 1; each entry's tag is the next link of the directory
    that ends in front of it (Intel order)."""
    first = 12
    out = bytearray(b"II*\0" + struct.pack("<IHH", first - 2, 0, n))
    for j in range(total):
        tag = 0x0100 if j < n else first + 12 * (j - n + 1) - 2
        out += struct.pack("<HHIHH", tag, 0, 0, 0, n)
    out += b"\0\0\0\0"
    return bytes(out)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "corpus-exif")
    os.makedirs(out_dir, exist_ok=True)
    seeds = {
        "camera_intel.jpg": (app1(camera(True, "F-20 Zoom", 3072)), False),
        "camera_motorola.jpg": (app1(camera(False, "M-7", 3072)), False),
        "camera_app0_intel.jpg": (app1(camera(True, "F-20", 600, with_gps=True)), True),
        "camera_app0_motorola.jpg": (app1(camera(False, "M-7 Pro", 600, with_interop=True)), True),
        "types_intel.jpg": (app1(camera(True, "T-1", 64, all_types=True)), False),
        "types_motorola.jpg": (app1(camera(False, "T-1", 64, all_types=True)), False),
    }
    # Hostile blocks beyond the reader's bounds on decoded text (2000 values of 24 KB) and on
    # records (1250 overlapping directories of 1250 entries), each within the 32 KB that
    # `make fuzz` gives an input.
    seeds["hostile_shared_value.jpg"] = (app1(values_over_the_block(True, 2000)), False)
    seeds["hostile_overlap.jpg"] = (app1(overlapping_directories(1250, 2500)), False)
    for name, (segment, with_app0) in seeds.items():
        data = b"\xff\xd8" + (app0() if with_app0 else b"") + segment + tiny_jpeg_body()
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
    print(f"{len(seeds)} seeds in {out_dir}")


if __name__ == "__main__":
    main()
