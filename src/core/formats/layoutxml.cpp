// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "layoutxml.h"

#include "codepage.h"
#include "codetext.h"
#include "atomicfile.h"
#include "operationerror.h"

#include <algorithm>

namespace {

constexpr std::array<char, LayoutLetterCount> MakeLayoutLetters()
{
    std::array<char, LayoutLetterCount> letters{};
    int i = 0;
    for (int c = 'A'; c <= 'Z'; ++c)
        letters[i++] = char(c);
    for (int c = 'a'; c <= 'z'; ++c)
        letters[i++] = char(c);
    // windows-1251 holds the basic Cyrillic capitals at 0xC0-0xDF and the small
    // letters at 0xE0-0xFF, in alphabetical order without Ё and ё.
    for (int c = 0xC0; c <= 0xFF; ++c)
        letters[i++] = char(c);
    letters[i++] = char(0xA8);  // Ё
    letters[i++] = char(0xB8);  // ё
    return letters;
}

// What sets the two dialects apart, apart from the caption encoding (see SpaceCaption).
struct DialectNames {
    const char *keyCode;
    bool hasType;
    const char *normChar;
    const char *shiftChar;
};

constexpr DialectNames ClassicNames = {"id", false, "char", "shiftchar"};
constexpr DialectNames NewNames = {"vk", true, "value", "shiftvalue"};

const DialectNames &NamesOf(LayoutDialect dialect)
{
    return dialect == LayoutDialect::Classic ? ClassicNames : NewNames;
}

// The keys are grouped by their position in the table, whatever keys stand there.
struct RowGroup {
    int firstKey;
    const char16_t *comment;
};

constexpr RowGroup RowGroups[] = {
    {1, u"ЦИФРОВОЙ РЯД"},
    {14, u"ВЕРХНИЙ РЯД"},
    {27, u"СРЕДНИЙ РЯД"},
    {38, u"НИЖНИЙ РЯД"},
    {SpaceKey, u"ПРОБЕЛ"},
};

// The classic dialect writes the caption as fixed windows-1251 bytes and the new one
// converts it with the program's code page; that code page is windows-1251, so both
// dialects carry the same bytes, CF F0 EE E1 E5 EB.
QByteArray SpaceCaption()
{
    return ToAnsi(u"Пробел");
}

QByteArray Attribute(const char *name, const QByteArray &value)
{
    return QByteArray(" ") + name + "=\"" + value + '"';
}

QByteArray ButtonLine(const s_key &key, const DialectNames &names, bool spaceBar)
{
    QByteArray line = "    <button";
    line += Attribute(names.keyCode, QByteArray::number(key.vk));
    if (names.hasType)
        line += Attribute("type", ToAnsi(key.key_type));
    line += Attribute(names.normChar, LayoutChar(key.norm_char));
    line += Attribute(names.shiftChar, LayoutChar(key.shift_char));
    if (spaceBar)
        line += Attribute("caption", SpaceCaption());
    line += " />";
    return line;
}

} // namespace

const std::array<char, LayoutLetterCount> LayoutLetters = MakeLayoutLetters();

bool IsLayoutLetter(QByteArrayView text)
{
    return text.size() == 1
        && std::find(LayoutLetters.begin(), LayoutLetters.end(), text.front()) != LayoutLetters.end();
}

QByteArray LayoutChar(QStringView text)
{
    const QByteArray bytes = ToAnsi(text);
    const bool blank = std::all_of(bytes.begin(), bytes.end(),
                                   [](char byte) { return uchar(byte) <= 0x20; });
    // XML 1.0 allows no control character but TAB, LF and CR, not even as a reference.
    const auto forbidden = [](char byte) {
        return uchar(byte) < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
    };
    if (blank || forbidden(bytes.front()))
        return QByteArrayLiteral(" ");
    // The first byte alone, leading blanks included: " a" gives " ".
    switch (bytes.front()) {
    case '&':
        return QByteArrayLiteral("&amp;");
    case '"':
        return QByteArrayLiteral("&quot;");
    case '<':
        // A bare "<" is not allowed in an attribute value; the entity keeps the file
        // readable by any XML reader.
        return QByteArrayLiteral("&lt;");
    default:
        return QByteArray(1, bytes.front());
    }
}

void SetKeyTypes(KeyTableArray &table)
{
    for (int number = 1; number <= KeyCount; ++number) {
        s_key &key = KeyByNumber(table, number);
        const bool letters = IsLayoutLetter(ToAnsi(key.norm_char)) && IsLayoutLetter(ToAnsi(key.shift_char));
        key.key_type = letters ? QStringLiteral("letter") : QStringLiteral("sign");
    }
}

QByteArray LayoutFileBytes(const KeyTableArray &table, LayoutDialect dialect)
{
    const DialectNames &names = NamesOf(dialect);
    QByteArray bytes;
    const auto line = [&bytes](QByteArrayView text) {
        bytes += text;
        bytes += "\r\n";
    };
    line(R"(<?xml version="1.0" encoding="windows-1251"?>)");
    line("<keyboard >");
    line("  <buttons>");
    const RowGroup *group = std::begin(RowGroups);
    for (int number = 1; number <= KeyCount; ++number) {
        if (group != std::end(RowGroups) && group->firstKey == number) {
            line("    <!-- " + ToAnsi(group->comment) + " -->");
            ++group;
        }
        line(ButtonLine(KeyByNumber(table, number), names, number == SpaceKey));
    }
    line("  </buttons>");
    line("</keyboard>");
    return bytes;
}

void SaveLayoutClassic(const KeyTableArray &table, const QString &path)
{
    WriteFileAtomically(path, LayoutFileBytes(table, LayoutDialect::Classic), WriteFailure::SystemError);
}

QByteArray LayoutNewFileBytes(KeyTableArray &table)
{
    SetKeyTypes(table);
    return LayoutFileBytes(table, LayoutDialect::New);
}

void SaveLayoutNew(KeyTableArray &table, const QString &path)
{
    WriteFileAtomically(path, LayoutNewFileBytes(table), WriteFailure::SystemError);
}

QStringList LayoutFileLosses(const KeyTableArray &table)
{
    QStringList losses;
    int beyond = 0;
    for (int number = 1; number <= KeyCount; ++number) {
        const s_key &key = KeyByNumber(table, number);
        for (const QString *character : {&key.norm_char, &key.shift_char})
            beyond += !character->isEmpty() && FirstCodePoint(*character) > 0xFFFF ? 1 : 0;
    }
    if (beyond > 0) {
        losses << (beyond == 1 ? QStringLiteral("1 character beyond U+FFFF is written as \"?\"")
                               : QStringLiteral("%1 characters beyond U+FFFF are written as \"?\"").arg(beyond));
    }
    if (IsoKeyUsed(table))
        losses << QStringLiteral("the ISO key is not written: the format has no place for it");
    return losses;
}
