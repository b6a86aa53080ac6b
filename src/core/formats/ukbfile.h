// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keyhint.h"
#include "keytable.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <array>

class QIODevice;

// The layout file (.ukb): FF FE, then 48 lines of UTF-16LE text, one line per key in
// table order, each line 16 TAB-closed fields and CR LF. An empty slot is written "<>".

constexpr int UkbLineCount = KeyCount;
constexpr int UkbFieldCount = 16;

// The most text the reader takes before the end of the 48th line: 4 Mi UTF-16 units (8 MiB
// of UTF-16). A full layout written by this program is about 2,500 units, and even one
// with long texts in every slot stays far below; a file that passes the limit is refused,
// never cut, and memory and time stay bounded for a file of any size.
constexpr qsizetype MaxUkbTextLength = qsizetype(1) << 22;

// The 16 values of one line in file order: caps, then code and character of each shift
// state from Norm to Ctrl-Shift, then the three spare slots.
using UkbFields = std::array<QString, UkbFieldCount>;

// What a .ukb file held: at most 48 lines, each with its 16 values.
struct UkbContent {
    QStringList lines;          // the text lines as read, without their line ends
    QList<UkbFields> entries;   // entries[n-1] holds the values of line n
};

// The 48 lines of the file, without their line ends.
QStringList UkbLines(const KeyTableArray &table);
// The whole file.
QByteArray UkbFileBytes(const KeyTableArray &table);
// Writes the file atomically; throws OperationError "Cannot create file %s".
void SaveUkbFile(const KeyTableArray &table, const QString &path);

// Reads a .ukb text from an open device; name is how messages call it. Any content is
// accepted; reading stops at the end of the 48th line or at the first U+0000. Throws
// OperationError "Cannot open file %s" when the device fails to read (read() gives -1; the end
// of the input is 0), and an OperationError that names the limit when the text passes
// MaxUkbTextLength units before either end.
UkbContent ReadUkb(QIODevice &device, const QString &name);
// Reads the file at path as ReadUkb does; throws OperationError "Cannot open file %s" also when
// it cannot be opened (missing, unreadable, a directory).
UkbContent ReadUkbFile(const QString &path);

// Stores the values of each read line in its entry, then gives entry 48 its fixed values.
// Returns the hints of the entries that the file had lines for, built from the file's
// values (so the space bar's comes before its fixed values are set).
QList<KeyHint> ApplyUkb(KeyTableArray &table, const UkbContent &content);
