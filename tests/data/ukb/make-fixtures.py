#!/usr/bin/env python3
"""Writes the .ukb fixtures of tests/core/formats/tst_ukbfile.cpp, independently of Tavo's writer.

sample-*.ukb   the Russian sample layout (RussianLayout in tests/testlayouts.h) in the other
               encodings the reader accepts and with LF-only and CR-only line ends

It checks that the golden files ../golden/default.ukb (the default layout, 4,812 bytes) and
../golden/russian.ukb (the Russian sample in UTF-16LE with CR LF) hold the same text.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# Key 1 to 47 in on-screen order: digit row, three letter rows.
NORM = "ё1234567890-=" "йцукенгшщзхъ\\" "фывапролджэ" "ячсмитьбю."
SHIFT = "Ё!\"№;%:?*()_+" "ЙЦУКЕНГШЩЗХЪ/" "ФЫВАПРОЛДЖЭ" "ЯЧСМИТЬБЮ,"
# AltGr: the Latin letter in the key's place on a US keyboard.
LATIN = " " * 13 + "qwertyuiop" "   " "asdfghjkl" "  " "zxcvbnm" "   "
assert len(NORM) == 47 and len(SHIFT) == 47 and len(LATIN) == 47

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
        if LATIN[i] != " ":
            k[ALTGR_CODE], k[ALTGR_CHAR] = code(LATIN[i]), LATIN[i]
            k[ALTGR_SHIFT_CODE], k[ALTGR_SHIFT_CHAR] = code(LATIN[i].upper()), LATIN[i].upper()
    return keys


def text(keys, eol):
    return "".join("".join((v or "<>") + "\t" for v in k) + eol for k in keys)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def check_golden(name, keys):
    with open(os.path.join(HERE, "..", "golden", name), "rb") as f:
        assert f.read() == b"\xff\xfe" + text(keys, "\r\n").encode("utf-16-le"), name


sample = sample_layout()
check_golden("default.ukb", default_layout())
check_golden("russian.ukb", sample)
write("sample-utf16be.ukb", b"\xfe\xff" + text(sample, "\r\n").encode("utf-16-be"))
write("sample-utf8.ukb", b"\xef\xbb\xbf" + text(sample, "\r\n").encode("utf-8"))
write("sample-ansi.ukb", text(sample, "\r\n").encode("cp1251"))
write("sample-lf.ukb", b"\xff\xfe" + text(sample, "\n").encode("utf-16-le"))
write("sample-cr.ukb", b"\xff\xfe" + text(sample, "\r").encode("utf-16-le"))
