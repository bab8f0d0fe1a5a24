#!/usr/bin/env python3
"""Turns a readable skin source into the engine's binary skin format.

Lines are "name = value" or comments starting with "#".
Layout: ".SHE\\0", version 1, record count, records of (tag, payload size, payload), then the
FNV-1a checksum (32 bits, little-endian) of every byte before it. Colour records hold R, G, B.
"""
import re
import struct
import sys

COLOURS = [
    "window.background",
    "button.face.top", "button.face.bottom", "button.border",
    "button.hover.top", "button.hover.bottom", "button.hover.border",
    "button.pressed.top", "button.pressed.bottom", "button.pressed.border",
    "button.disabled.face", "button.disabled.border",
    "button.focus",
    "edit.border", "edit.border.focus", "edit.inner",
]
METRICS = {"button.corner": 0x40}


def fnv1a(data):
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return value


def compile_skin(text):
    values = {}
    for number, line in enumerate(text.splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        name, sep, value = (part.strip() for part in line.partition("="))
        if not sep or name in values:
            raise ValueError(f"line {number}: expected one 'name = value' per name")
        values[name] = value
    records = []
    for tag, name in enumerate(COLOURS, 1):
        match = re.fullmatch(r"#([0-9A-Fa-f]{6})", values.pop(name, ""))
        if not match:
            raise ValueError(f"{name}: missing or not #RRGGBB")
        records.append(bytes([tag, 3]) + bytes.fromhex(match.group(1)))
    for name, tag in METRICS.items():
        value = values.pop(name, "")
        if not value.isdigit() or int(value) > 16:
            raise ValueError(f"{name}: missing or not a number from 0 to 16")
        records.append(bytes([tag, 1, int(value)]))
    if values:
        raise ValueError(f"unknown names: {', '.join(sorted(values))}")
    body = b".SHE\0" + bytes([1, len(records)]) + b"".join(records)
    return body + struct.pack("<I", fnv1a(body))


def main():
    source, target = sys.argv[1:3]
    with open(source, encoding="utf-8") as stream:
        data = compile_skin(stream.read())
    with open(target, "wb") as stream:
        stream.write(data)


if __name__ == "__main__":
    main()
