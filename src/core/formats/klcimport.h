// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "klcfile.h"
#include "layoutimport.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <optional>

// Import of a KLC keyboard-layout source, as this program and the Windows layout tools
// write it.
//
// SHIFTSTATE decides what each LAYOUT column means (0 Norm, 1 Shift, 2 Ctrl,
// 3 Ctrl-Shift, 6 AltGr, 7 AltGr-Shift; other states, and lines that are not a number, are
// reported and their columns skipped; a line of three or more values there is the first
// key row of a LAYOUT whose keyword was left in a comment). Rows are matched to the 48 keys and the ISO key by
// scan code; a VK name other than Tavo's is reported. A column holds four hex digits, five
// or six for a character beyond U+FFFF, or one character; "-1" is empty; a trailing "@"
// makes a dead key, its pairs from the DEADKEY table of its character (none without one);
// "%%" takes its LIGATURE row where that is one character (a surrogate pair), else it is
// reported. Cap 1 gives caps "1", 0 gives "0", and so does a key without a row; an SGCAP row
// gives "1" when its Caps Lock row is Shift's character over Norm's, else "0" and a report.
// The space bar keeps its fixed codes; other characters there are reported. The export's
// fixed OEM_102 row stands for an unused ISO key; other rows of other keys are reported,
// except the fixed DECIMAL row. Comments (";" and "//" to the end of the line) and the
// sections without key data (KEYNAME, DESCRIPTIONS, LANGUAGENAMES, ...) are skipped.

// A KLC file is far smaller; anything larger is refused unread.
constexpr qsizetype MaxKlcFileSize = qsizetype(1) << 20;

struct KlcImport : LayoutImport {
    // The header texts (KBD name and description, COPYRIGHT, COMPANY, LOCALEID); the
    // defaults where the file has none.
    KlcProperties properties;
};

// The text of a KLC file: UTF-16 with a byte-order mark in either order or without one
// (Utf16WithoutMark), UTF-8 with or without a mark (bytes that are valid UTF-8 are read
// as UTF-8), else windows-1251.
QString DecodeKlcText(QByteArrayView bytes);

// The byte order of UTF-16 without a byte-order mark, told by the NUL bytes of its ASCII
// characters; nothing for other bytes.
std::optional<QStringDecoder::Encoding> Utf16WithoutMark(QByteArrayView bytes);

// Whether the bytes are a KLC source (DecodeKlcText, then IsKlcText), looking at most at
// MaxKlcFileSize + 1 of them.
bool IsKlcBytes(QByteArrayView bytes);

// Whether the text is a KLC source: its first line with a keyword, past blank lines and
// comments, starts with KBD.
bool IsKlcText(const QString &text);

// Imports a KLC text; source names it in messages. Throws OperationError when the text has no
// LAYOUT section or no SHIFTSTATE.
KlcImport ImportKlc(const QString &text, const QString &source);

// Imports the bytes of a KLC file; source names it in messages. Throws OperationError when
// they are too many, are not a KLC source or lack a section ImportKlc needs.
KlcImport ImportKlcBytes(QByteArrayView bytes, const QString &source);

// Reads and imports the file at path. Throws OperationError when it cannot be read, is too
// large, is not a KLC source or lacks a section ImportKlc needs.
KlcImport ImportKlcFile(const QString &path);
