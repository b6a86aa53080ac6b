#!/usr/bin/env python3
"""Writes the .ukb fixtures of tests/core/tst_ukbfile.cpp, independently of Tavo's writer.

default.ukb          the default layout (4,812 bytes)
sample-*.ukb         one filled layout in every encoding the reader accepts and with
                     LF-only and CR-only line ends
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# Key 1 to 47 in on-screen order: digit row, three letter rows.
NORM = "ё1234567890-=" "йцукенгшщзхъ\\" "фывапролджэ" "ячсмитьбю."
SHIFT = "Ё!\"№;%:?*()_+" "ЙЦУКЕНГШЩЗХЪ/" "ФЫВАПРОЛДЖЭ" "ЯЧСМИТЬБЮ,"
assert len(NORM) == 47 and len(SHIFT) == 47

# Fields in file order: caps, then code and character of Norm, Shift, AltGr, AltGr-Shift,
# Ctrl, Ctrl-Shift, then spare1..3.
CAPS, NORM_CODE, NORM_CHAR, SHIFT_CODE, SHIFT_CHAR, ALTGR_CODE, ALTGR_CHAR, \
    ALTGR_SHIFT_CODE, ALTGR_SHIFT_CHAR, CTRL_CODE, CTRL_CHAR, CTRL_SHIFT_CODE, \
    CTRL_SHIFT_CHAR, SPARE1, SPARE2, SPARE3 = range(16)


def code(c):
    return "%04X" % ord(c)


def default_layout():
    keys = [[""] * 16 for _ in range(48)]
    keys[47][CAPS] = "0"
    keys[47][NORM_CODE] = keys[47][SHIFT_CODE] = keys[47][CTRL_CODE] = "0020"
    return keys


def sample_layout():
    keys = default_layout()
    for i in range(47):
        k = keys[i]
        k[CAPS] = "1" if NORM[i].isalpha() else "0"
        k[NORM_CODE], k[NORM_CHAR] = code(NORM[i]), NORM[i]
        k[SHIFT_CODE], k[SHIFT_CHAR] = code(SHIFT[i]), SHIFT[i]
    keys[25][NORM_CODE] = "005c"                      # key 26, a code as the defaults write it
    keys[15][ALTGR_CODE], keys[15][ALTGR_CHAR] = "20AC", "€"
    keys[4][ALTGR_CODE], keys[4][ALTGR_CHAR] = "00A7", "§"
    keys[4][ALTGR_SHIFT_CODE], keys[4][ALTGR_SHIFT_CHAR] = "00B0", "°"
    keys[23][CTRL_CODE] = "001B"                      # a code without its control character
    keys[37][CTRL_SHIFT_CODE] = "001A"
    keys[0][SPARE1] = "a"
    keys[12][SPARE2] = "bc"
    keys[46][SPARE3] = "end"
    keys[47][SPARE1] = "sp"
    return keys


def text(keys, eol):
    return "".join("".join((v or "<>") + "\t" for v in k) + eol for k in keys)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


write("default.ukb", b"\xff\xfe" + text(default_layout(), "\r\n").encode("utf-16-le"))
sample = sample_layout()
write("sample-utf16le.ukb", b"\xff\xfe" + text(sample, "\r\n").encode("utf-16-le"))
write("sample-utf16be.ukb", b"\xfe\xff" + text(sample, "\r\n").encode("utf-16-be"))
write("sample-utf8.ukb", b"\xef\xbb\xbf" + text(sample, "\r\n").encode("utf-8"))
write("sample-ansi.ukb", text(sample, "\r\n").encode("cp1251"))
write("sample-lf.ukb", b"\xff\xfe" + text(sample, "\n").encode("utf-16-le"))
write("sample-cr.ukb", b"\xff\xfe" + text(sample, "\r").encode("utf-16-le"))
