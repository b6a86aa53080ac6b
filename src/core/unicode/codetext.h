// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Codes as key data and messages write them, and the one reader of hexadecimal digits.

// A code as the character table writes it: four (or more) upper-case hex digits, "044F".
QString CodeText(char32_t cp);
// "U+20AC": the code with at least four upper-case hexadecimal digits.
QString UnicodeLabel(char32_t code);
// The value of 1 to maxDigits hexadecimal digits of either case; nothing for any other text
// (no sign, prefix or blank).
std::optional<char32_t> HexValue(QStringView digits, qsizetype maxDigits);
// The code of the character a non-empty text begins with; a lone surrogate is its own code.
char32_t FirstCodePoint(QStringView text);
// The code of a text that is exactly one code point (a lone surrogate counts as one);
// nothing for an empty or a longer text.
std::optional<char32_t> SingleCodePoint(QStringView text);
// The text of one code point: a surrogate pair beyond U+FFFF; a lone surrogate stays the one
// unit it is.
QString CodePointText(char32_t cp);
