#!/usr/bin/env python3
"""Writes the fuzzer's seed images into corpus/: small well-formed DLL layouts (one or two
sections, exports, imports by name and by ordinal, relocation blocks) and a few near misses."""
import os
import struct

NT = 64


def headers(sections, image_size=0x2000, alignment=0x1000, characteristics=0x2002, entry=0):
    b = bytearray(NT + 248 + 40 * len(sections))
    b[0:2] = b"MZ"
    struct.pack_into("<I", b, 60, NT)
    b[NT:NT + 4] = b"PE\0\0"
    struct.pack_into("<HH", b, NT + 4, 0x14C, len(sections))
    struct.pack_into("<H", b, NT + 22, characteristics)
    struct.pack_into("<I", b, NT + 40, entry)
    struct.pack_into("<III", b, NT + 52, 0x10000000, alignment, 0x200)
    struct.pack_into("<I", b, NT + 80, image_size)
    for i, (rva, vsize, raw, ptr) in enumerate(sections):
        s = NT + 248 + 40 * i
        b[s:s + 8] = b".sect%d\0\0" % i
        struct.pack_into("<IIII", b, s + 8, vsize, rva, raw, ptr)
    return b


def directory(b, index, rva, size):
    struct.pack_into("<II", b, NT + 120 + 8 * index, rva, size)


def small_dll(extra_names=0):
    b = headers([(0x1000, 0x400, 0x400, 0x200)], entry=0x1100)
    b += bytes(0x600 - len(b))

    def at(rva):
        return rva - 0x1000 + 0x200

    names = [b"Alpha", b"Beta"] + [b"Name%d" % i for i in range(extra_names)]
    count = len(names)
    directory(b, 0, 0x1000, 0x100)
    struct.pack_into("<IIIIII", b, at(0x1010), 5, count, count, 0x1040, 0x1080, 0x10E0)
    text = 0x1140
    for i, name in enumerate(names):
        struct.pack_into("<I", b, at(0x1040 + 4 * i), 0x1100 + 0x10 * (i % 2))
        struct.pack_into("<I", b, at(0x1080 + 4 * i), text)
        struct.pack_into("<H", b, at(0x10E0 + 2 * i), i)
        b[at(text):at(text) + len(name) + 1] = name + b"\0"
        text += len(name) + 1
    directory(b, 1, 0x1200, 40)
    struct.pack_into("<5I", b, at(0x1200), 0, 0, 0, 0x1240, 0x1250)
    b[at(0x1240):at(0x1248)] = b"lib.dll\0"
    struct.pack_into("<III", b, at(0x1250), 0x1260, 0x80000005, 0)
    b[at(0x1262):at(0x1267)] = b"Proc\0"
    directory(b, 5, 0x1300, 22)
    struct.pack_into("<IIHH", b, at(0x1300), 0x1000, 12, 0x3100, 0)
    struct.pack_into("<IIH", b, at(0x130C), 0x1000, 10, 0x3104)
    return b


def two_sections():
    b = headers([(0x1000, 0x200, 0x200, 0x200), (0x2000, 0x3000, 0, 0)], image_size=0x1000)
    b += bytes(0x400 - len(b))
    directory(b, 5, 0x1000, 12)
    struct.pack_into("<IIHH", b, 0x200, 0x2000, 12, 0x3FFC, 0)
    return b


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    os.makedirs(out, exist_ok=True)
    seeds = {
        "small-dll": small_dll(),
        "many-exports": small_dll(extra_names=20),
        "two-sections": two_sections(),
        "headers-only": headers([(0, 0, 0, 0)]),
        "not-a-dll": headers([], characteristics=0x0002),
        "bad-signature": headers([])[:NT + 2] + b"\0\1" + headers([])[NT + 4:],
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
