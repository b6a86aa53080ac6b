// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>

// The two XML dialects of an on-screen keyboard description (".layout"). Both write the
// same 58-line skeleton; they differ in the attribute names of a button and in the
// classic dialect having no type attribute.
enum class LayoutDialect {
    Classic,  // <button id="" char="" shiftchar="" />
    New,      // <button vk="" type="" value="" shiftvalue="" />
};

inline constexpr int LayoutLetterCount = 118;

// The windows-1251 bytes that count as letters for the type attribute of the new dialect,
// in this order: A-Z, a-z, the 32 basic Cyrillic capitals, the 32 small ones, Ё, ё. No
// other letter of the code page (Ukrainian і, Belarusian ў) belongs to it.
extern const std::array<char, LayoutLetterCount> LayoutLetters;

// True when the text is exactly one byte of LayoutLetters; empty or longer texts never are.
bool IsLayoutLetter(QByteArrayView text);

// One key character as an attribute value: the first byte of its windows-1251 form, with
// "&", "\"" and "<" written as entities; " " for an empty text, one of bytes <= 0x20 only,
// or one whose first byte is a control character that XML cannot hold (all but TAB, LF, CR).
QByteArray LayoutChar(QStringView text);

// Sets key_type of all 48 keys: "letter" when the Norm and the Shift character each
// convert to one byte of LayoutLetters, else "sign".
void SetKeyTypes(KeyTableArray &table);

// The whole file: 58 lines, CR LF after each, windows-1251. The new dialect writes
// key_type as the table holds it, so run SetKeyTypes first.
QByteArray LayoutFileBytes(const KeyTableArray &table, LayoutDialect dialect);

// The new dialect's file with the types of the characters as they are now: runs SetKeyTypes
// first, and the types stay in the table.
QByteArray LayoutNewFileBytes(KeyTableArray &table);

// Writes the file atomically; a failure throws OperationError with the system error's text.
void SaveLayoutClassic(const KeyTableArray &table, const QString &path);
// What both dialects cannot hold of the layout, one line each: characters beyond U+FFFF
// (written as "?", as any character the code page lacks) and the ISO key. Empty for a
// layout that uses neither.
QStringList LayoutFileLosses(const KeyTableArray &table);

// Writes LayoutNewFileBytes; the types stay in the table even when the write fails.
void SaveLayoutNew(KeyTableArray &table, const QString &path);
