#!/usr/bin/env python3
"""Sets the file version of a Win32 program or library in place.

    setversion.py FILE A.B.C.D

The four numbers go into dwFileVersionMS/LS of the file's VS_FIXEDFILEINFO,
found by its signature 0xFEEF04BD, and into its "FileVersion" string when the
string's slot is long enough (the sample templates reserve 23 characters).
"""
import struct
import sys

SIGNATURE = struct.pack("<I", 0xFEEF04BD)
STRING_KEY = "FileVersion".encode("utf-16-le") + b"\0\0"


def parse_version(text):
    parts = text.split(".")
    if len(parts) != 4:
        raise ValueError(f"version {text!r} is not A.B.C.D")
    numbers = tuple(int(p) for p in parts)
    if any(not 0 <= n <= 0xFFFF for n in numbers):
        raise ValueError(f"version {text!r} has a number outside 0..65535")
    return numbers


def set_fixed_version(data, numbers):
    at = data.find(SIGNATURE)
    if at < 0:
        raise ValueError("no VS_FIXEDFILEINFO in the file")
    if data.find(SIGNATURE, at + 4) >= 0:
        raise ValueError("more than one VS_FIXEDFILEINFO in the file")
    a, b, c, d = numbers
    # dwSignature, dwStrucVersion, then dwFileVersionMS and dwFileVersionLS.
    struct.pack_into("<II", data, at + 8, (a << 16) | b, (c << 16) | d)


def set_version_string(data, text):
    """Rewrites the FileVersion value in its own slot; False when there is none."""
    key_at = data.find(STRING_KEY)
    if key_at < 6:
        return False
    start = key_at - 6  # wLength, wValueLength, wType, then the key
    length, _, kind = struct.unpack_from("<HHH", data, start)
    if kind != 1:
        return False
    value_at = start + 6 + len(STRING_KEY)
    value_at += -(value_at - start) % 4  # the value starts on a 32-bit boundary
    slot = start + length - value_at
    value = text.encode("utf-16-le") + b"\0\0"
    if slot < len(value):
        return False
    data[value_at:value_at + slot] = value + b"\0" * (slot - len(value))
    struct.pack_into("<H", data, start + 2, len(value) // 2)
    return True


def set_version(path, version_text):
    numbers = parse_version(version_text)
    with open(path, "rb") as f:
        data = bytearray(f.read())
    set_fixed_version(data, numbers)
    set_version_string(data, ".".join(str(n) for n in numbers))
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 3:
        print("usage: setversion.py FILE A.B.C.D", file=sys.stderr)
        return 2
    try:
        set_version(argv[1], argv[2])
    except (OSError, ValueError) as e:
        print(f"setversion.py: {argv[1]}: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
