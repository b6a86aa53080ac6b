// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keytexts.h"

#include "codetext.h"

QString TrimKeyText(const QString &text)
{
    const QStringView trimmed = TrimKeyText(QStringView(text));
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

QStringView TrimKeyText(QStringView text)
{
    while (!text.isEmpty() && text.front().unicode() <= 0x20)
        text = text.sliced(1);
    while (!text.isEmpty() && text.back().unicode() <= 0x20)
        text.chop(1);
    return text;
}

std::optional<char32_t> KeyCodeValue(const QString &code)
{
    const QStringView digits = TrimKeyText(QStringView(code));
    if (digits.size() == 4)
        return HexValue(digits, 4);
    // Five or six digits name a character beyond U+FFFF, and nothing else: "0041" stays the
    // one way to write A.
    const std::optional<char32_t> value = digits.size() > 4 ? HexValue(digits, 6) : std::nullopt;
    if (value && *value > 0xFFFF && *value <= 0x10FFFF)
        return value;
    return std::nullopt;
}

QString ShownKeyText(const QString &stored)
{
    QString shown = stored;
    return shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

CharacterPick PickCharacter(const QString &cellText)
{
    const QStringView trimmed = TrimKeyText(QStringView(cellText));
    const bool pair = trimmed.size() == 2 && trimmed[0].isHighSurrogate() && trimmed[1].isLowSurrogate();
    if (trimmed.size() != 1 && !pair)
        return {};
    // A key text "&" would be taken as a mnemonic marker wherever the key is shown.
    const QString character = cellText == u"&" ? QStringLiteral("&&") : cellText;
    const QString code = CodeText(FirstCodePoint(cellText));
    return {character, code};
}
