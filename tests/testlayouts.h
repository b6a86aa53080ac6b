// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Key tables that the tests start from, and the sample layouts of the golden files
// (tests/data/golden/<sample>.<format>).

#include "keytable.h"
#include "keytexts.h"
#include "layoutimport.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>

// A cleared table with the default keys, as the program starts.
inline KeyTableArray DefaultTable()
{
    KeyTableArray table;
    ClearKeyTable(table);
    LoadDefaults(table);
    return table;
}

inline void SetChars(KeyTableArray &table, int number, const QString &norm, const QString &shift)
{
    s_key &key = KeyByNumber(table, number);
    key.norm_char = norm;
    key.shift_char = shift;
}

// Sets key N's caps and its codes as stored, in the order of AllShiftStates; each state's
// character is the one its code names, as the character table stores it (none for a blank,
// a control or a code that is not four hex digits).
inline void SetCodes(KeyTableArray &table, int number, const char *caps, std::initializer_list<const char *> codes)
{
    s_key &key = KeyByNumber(table, number);
    key.caps = QString::fromLatin1(caps);
    const ShiftState *state = AllShiftStates.begin();
    for (const char *code : codes) {
        CodeOf(key, *state) = QString::fromLatin1(code);
        const bool hex = qstrlen(code) == 4 && std::all_of(code, code + 4, [](char c) { return std::isxdigit(uchar(c)); });
        const QChar unit(char16_t(CodeOf(key, *state).toUShort(nullptr, 16)));
        CharOf(key, *state++) = hex ? PickCharacter(QString(unit)).character : QString();
    }
}

// A full Russian layout with the Latin letters of a US keyboard on AltGr, as the character
// table stores it; docs/sample-ru.ukb holds it.
inline KeyTableArray RussianLayout()
{
    const QString norm = QStringLiteral("ё1234567890-=йцукенгшщзхъ\\фывапролджэячсмитьбю.");
    const QString shift = QStringLiteral("Ё!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪ/ФЫВАПРОЛДЖЭЯЧСМИТЬБЮ,");
    const QString latin = QStringLiteral("             qwertyuiop   asdfghjkl  zxcvbnm   ");
    KeyTableArray table = DefaultTable();
    for (int i = 0; i < KeyCount - 1; ++i) {
        s_key &key = table[i];
        key.caps = norm[i].isLetter() ? QStringLiteral("1") : QStringLiteral("0");
        SetImportedCharacter(key, ShiftState::Norm, norm[i].unicode());
        SetImportedCharacter(key, ShiftState::Shift, shift[i].unicode());
        if (latin[i] != u' ') {
            SetImportedCharacter(key, ShiftState::AltGr, latin[i].unicode());
            SetImportedCharacter(key, ShiftState::AltGrShift, latin[i].toUpper().unicode());
        }
    }
    return table;
}

// A layout of the cases the writers treat apart, which every writer still accepts (the XKB
// export checks what it writes) and which reads back from its .ukb file unchanged.
inline KeyTableArray EdgeLayout()
{
    KeyTableArray table = DefaultTable();
    SetCodes(table, 1, "1", {"0451", "0401"});                           // ё Ё
    SetCodes(table, 2, "0", {"0031", "0021", "00B9", "00A1"});           // 1 ! ¹ ¡
    SetCodes(table, 3, "0", {"0032", "0022", "00A0"});                   // 2 " and a no-break space
    SetCodes(table, 8, "0", {"0037", "0026"});                           // 7 &, stored as "&&"
    SetCodes(table, 12, "0", {"002D", "005F", "0007", "009F"});          // - _ and two controls
    SetCodes(table, 14, "1", {"0439", "0419", "006A", "004A", "0019"});  // й Й j J, a Ctrl code
    SetCodes(table, 16, "1", {"0443", "0423", "20AC"});                  // у У €
    SetCodes(table, 24, "0", {"003C", "003E"});                          // < >
    SetCodes(table, 25, "1", {"044A", "042A", "0x5B", "5B"});            // ъ Ъ and two codes that are none
    SetCodes(table, 26, "0", {"005c", "002F", "", "", "", "001C"});      // \ / and a Ctrl-Shift code
    SetCodes(table, 27, "1", {"0444", "0424", "0061", "0041"});          // ф Ф a A
    SetCodes(table, 30, "1", {"0456", "0406"});                          // і І: not .layout letters
    SetCodes(table, 31, "0", {"4E2D", "0078"});                          // 中 x: 中 is not in the code page
    SetCodes(table, 38, "0", {"0301", "0300"});                          // two combining marks
    SetCodes(table, 40, "0", {"0441", "0421"});                          // с С without Caps Lock
    SetCodes(table, 47, "0", {"002E", "002C", "D83D", "DFFF"});          // . , and two surrogates
    KeyByNumber(table, 47).altgr_char = QStringLiteral("\U0001F600");    // beyond 16 bits
    KeyByNumber(table, 45).norm_char = QStringLiteral("ab");             // two characters, no code
    KeyByNumber(table, 1).spare1 = QStringLiteral("a");
    KeyByNumber(table, 13).spare2 = QStringLiteral("b c");
    KeyByNumber(table, 48).spare3 = QStringLiteral("end");
    return table;
}

// A German-style layout with what the .ukb file keeps in a spare slot: dead keys (with and
// without a keysym, with an empty table, on a key whose first spare slot is taken) and the
// ISO key, itself with a dead key.
inline KeyTableArray DeadKeyLayout()
{
    KeyTableArray table = DefaultTable();
    SetCodes(table, 1, "0", {"005E", "00B0"});                           // ^ (dead) °
    SetCodes(table, 13, "0", {"00B4", "0060"});                          // ´ ` (both dead)
    SetCodes(table, 16, "1", {"0065", "0045", "20AC"});                  // e E €
    SetCodes(table, 27, "1", {"0061", "0041"});                          // a A
    SetCodes(table, 26, "0", {"0023", "0027", "", "", "", ""});          // # '
    SetCodes(table, 47, "0", {"002D", "005F", "", "", "", ""});          // - _
    SetCodes(table, IsoKey, "0", {"003C", "003E", "007C", "00A6"});      // < > | ¦
    DeadOf(KeyByNumber(table, 1), ShiftState::Norm) =
        DeadKey{QStringLiteral("dead_circumflex"),
                {{QStringLiteral("a"), QStringLiteral("â")}, {QStringLiteral("e"), QStringLiteral("ê")},
                 {QStringLiteral(" "), QStringLiteral("^")}}};
    DeadOf(KeyByNumber(table, 13), ShiftState::Norm) =
        DeadKey{QString(), {{QStringLiteral("a"), QStringLiteral("á")}, {QStringLiteral("E"), QStringLiteral("É")}}};
    DeadOf(KeyByNumber(table, 13), ShiftState::Shift) = DeadKey{QStringLiteral("dead_grave"), {}};
    KeyByNumber(table, 13).spare1 = QStringLiteral("kept");
    DeadOf(KeyByNumber(table, IsoKey), ShiftState::AltGrShift) =
        DeadKey{QString(), {{QStringLiteral(";"), QStringLiteral("%")}, {QStringLiteral("\U0001D400"), QStringLiteral(">")},
                          {QStringLiteral(","), QStringLiteral("~")}}};
    return table;
}

// The sample layouts of the golden files, by the name that starts their file names.
struct SampleLayout {
    const char *name;
    KeyTableArray (*make)();
};
inline constexpr std::array<SampleLayout, 4> SampleLayouts = {{
    {"default", DefaultTable},
    {"russian", RussianLayout},
    {"edge", EdgeLayout},
    {"deadkeys", DeadKeyLayout},
}};
