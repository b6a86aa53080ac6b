// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The rules every key text follows, wherever it comes from (the character table, a file,
// an import).

// Removes leading and trailing UTF-16 units up to U+0020 (blanks and control characters).
QString TrimKeyText(const QString &text);
QStringView TrimKeyText(QStringView text);

// The code point a state's code names: the code, trimmed, must be four hex digits, or five
// or six naming a character beyond U+FFFF.
std::optional<char32_t> KeyCodeValue(const QString &code);

// The text a key shows for a stored key text: a stored "&&" is one ampersand.
QString ShownKeyText(const QString &stored);

// What a pick from the grid (or an import) puts into the selected state's fields.
struct CharacterPick {
    QString character;  // one character, "&&" for the ampersand, or nothing
    QString code;       // four to six upper-case hex digits of the first code point, or nothing
    bool operator==(const CharacterPick &) const = default;
};
// A cell text that is one character (one unit or a surrogate pair) once trimmed gives that
// character and its code;
// any other text gives two empty fields.
CharacterPick PickCharacter(const QString &cellText);
