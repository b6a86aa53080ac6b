// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "codetext.h"

QString CodeText(char32_t cp)
{
    return QStringLiteral("%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
}

QString UnicodeLabel(char32_t code)
{
    return QStringLiteral("U+") + CodeText(code);
}

std::optional<char32_t> HexValue(QStringView digits, qsizetype maxDigits)
{
    if (digits.isEmpty() || digits.size() > maxDigits)
        return std::nullopt;
    char32_t value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        int digit;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + char32_t(digit);
    }
    return value;
}

char32_t FirstCodePoint(QStringView text)
{
    if (text.size() >= 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[0], text[1]);
    return text[0].unicode();
}

QString CodePointText(char32_t cp)
{
    if (cp <= 0xFFFF)
        return QString(QChar(char16_t(cp)));
    return QString::fromUcs4(&cp, 1);
}

std::optional<char32_t> SingleCodePoint(QStringView text)
{
    if (text.isEmpty() || text.size() > 2)
        return std::nullopt;
    const char32_t first = FirstCodePoint(text);
    if (text.size() == 2 && first <= 0xFFFF)
        return std::nullopt;  // two units that are not one surrogate pair
    return first;
}
