#!/usr/bin/env python3
"""Copies a binary with its version resource raised, for the package of a
higher version that the tests upgrade to:

  raise_version.py SOURCE TARGET OLD NEW   (versions a.b.c, NEW as long as OLD)

Rewrites the fixed file and product versions (what Windows Installer
compares) and the "FileVersion" and "ProductVersion" texts, in place: a text
of the same length keeps every size in the resource as it was.
"""

import struct
import sys


def main(source, target, old, new):
    if len(old) != len(new):
        sys.exit(f"raise_version: {new} is not as long as {old}")
    with open(source, "rb") as f:
        data = bytearray(f.read())
    key = data.find("VS_VERSION_INFO".encode("utf-16-le"))
    if key < 0:
        sys.exit(f"raise_version: {source} has no version resource")
    # VS_VERSIONINFO: wLength, wValueLength, wType, then the key.
    start = key - 6
    (length,) = struct.unpack_from("<H", data, start)
    end = start + length
    signature = data.find(struct.pack("<I", 0xFEEF04BD), key, end)
    if signature < 0:
        sys.exit(f"raise_version: {source} has no fixed file information")
    major, minor, patch = (int(part) for part in new.split("."))
    ms, ls = (major << 16) | minor, patch << 16
    # dwFileVersionMS/LS and dwProductVersionMS/LS follow the signature and
    # the structure's version.
    struct.pack_into("<IIII", data, signature + 8, ms, ls, ms, ls)
    old_text = (old + "\0").encode("utf-16-le")
    new_text = (new + "\0").encode("utf-16-le")
    block = bytes(data[start:end])
    if block.count(old_text) != 2:
        sys.exit(f"raise_version: expected the texts FileVersion and ProductVersion {old}")
    data[start:end] = block.replace(old_text, new_text)
    with open(target, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(*sys.argv[1:])
