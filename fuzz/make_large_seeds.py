#!/usr/bin/env python3
# SPDX-FileCopyrightText: the Tavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seeds of fuzz/corpus/ukb/ that are larger than the reader's 8 KiB chunk.

Each holds a whole layout with key texts that the writers must handle (characters that
windows-1251 leaves undefined or XML forbids, markup characters, characters outside the
code page), padded so that a line end, a UTF-16 surrogate pair or a UTF-8 sequence
straddles the 8 KiB boundary, and ends in the piece trailer that fuzz_ukbreader.cpp
describes. Run it from the repository's top folder.
"""
import struct

CHUNK = 8192

# Key texts for the Norm and Shift characters of the lines, in turn.
SPECIAL = ["\u0098", "\x01a", "&", "<", "\"", "\u4e2d", "\U0001F600", "\u0451", "\x1b[", "'"]


def line(n, spare=""):
    """One line: caps, code and character of six shift states, three spares."""
    fields = ["1" if n % 2 else "0", "%04X" % (0x430 + n), SPECIAL[n % len(SPECIAL)],
              "%04X" % (0x410 + n), SPECIAL[(n + 3) % len(SPECIAL)],
              "<>", "<>", "<>", "<>", "<>", "<>", "<>", "<>", spare or "<>", "<>", "<>"]
    return "".join(f + "\t" for f in fields)


def straddling(mark, encoding, marker):
    """A layout whose first line is padded until marker crosses byte CHUNK."""
    rest = "".join(line(n) + "\r\n" for n in range(1, 48))
    for pad in range(CHUNK):
        data = mark + (line(0, "x" * pad) + marker + "\r\n" + rest).encode(encoding)
        position = data.find(marker.encode(encoding))
        if position < CHUNK < position + len(marker.encode(encoding)):
            return data
    raise SystemExit("no padding puts %r across the boundary" % marker)


def pieces(*sizes):
    """The trailer: the sizes, then their count; no sizes means whole chunks."""
    return b"".join(struct.pack("<H", size - 1) for size in sizes) + bytes([len(sizes)])


def write(name, data):
    assert len(data) > CHUNK, name
    with open("fuzz/corpus/ukb/" + name, "wb") as f:
        f.write(data)


# UTF-16LE, whole chunks: a surrogate pair cut in two by the boundary.
write("large-utf16le-pair.ukb", straddling(b"\xff\xfe", "utf-16-le", "\U0001F600") + pieces())
# UTF-16BE, whole chunks: CR at the end of the first chunk, LF at the start of the next.
write("large-utf16be-crlf.ukb", straddling(b"\xfe\xff", "utf-16-be", "\r\n") + pieces())
# UTF-8: a four-byte sequence across the boundary, read in pieces of 8191, 1 and 7 bytes.
write("large-utf8-pieces.ukb", straddling(b"\xef\xbb\xbf", "utf-8", "\U0001F600") + pieces(8191, 1, 7))
# ANSI, in odd pieces: every byte value in the Norm and Shift characters, 98 and the
# controls included (bytes that would end a field or a line become blanks).
ansi = b""
for n in range(48):
    chars = bytes((n * 5 + k) % 256 for k in range(5))
    chars = bytes(b if b not in b"\t\r\n\0" else 0x20 for b in chars)
    ansi += b"0\t0041\t" + chars[:1] + b"a\t0042\t" + chars[1:] + b"\t" + b"y" * 160 + b"\t\r\n"
write("large-ansi-bytes.ukb", ansi + pieces(3, 4093))
