// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "charnames.h"
#include "codetext.h"

#include <unicode/uchar.h>

namespace {

// ICU's longest name (in the supplementary planes) has 88 characters.
constexpr int NameCapacity = 128;

bool IsCombiningMark(char32_t code)
{
    switch (u_charType(UChar32(code))) {
    case U_NON_SPACING_MARK:
    case U_COMBINING_SPACING_MARK:
    case U_ENCLOSING_MARK:
        return true;
    default:
        return false;
    }
}

} // namespace

QString CharName(char32_t code)
{
    char name[NameCapacity];
    UErrorCode error = U_ZERO_ERROR;
    const int32_t length = u_charName(UChar32(code), U_UNICODE_CHAR_NAME, name, NameCapacity, &error);
    if (U_FAILURE(error) || length <= 0)
        return {};
    return QString::fromLatin1(name, length);
}

bool IsAssigned(char32_t code)
{
    return code <= 0x10FFFF && u_charType(UChar32(code)) != U_UNASSIGNED;
}

QString CharDescription(char32_t code)
{
    const QString name = CharName(code);
    if (!name.isEmpty())
        return name;
    switch (u_charType(UChar32(code))) {
    case U_PRIVATE_USE_CHAR:
        return QStringLiteral("private use");
    case U_SURROGATE:
        return code < 0xDC00 ? QStringLiteral("high surrogate") : QStringLiteral("low surrogate");
    case U_CONTROL_CHAR:
        return QStringLiteral("control");
    default:
        return QStringLiteral("not assigned");
    }
}

QString CharToolTip(char32_t code)
{
    return UnicodeLabel(code) + u' ' + CharDescription(code);
}

QString ShownCharacter(const QString &text)
{
    if (text.isEmpty() || !IsCombiningMark(FirstCodePoint(text)))
        return text;
    return u'\u25CC' + text;
}
