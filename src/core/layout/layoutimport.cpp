// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "layoutimport.h"

#include "codetext.h"
#include "keytexts.h"
#include "keyhint.h"

KeyTableArray EmptyImportTable()
{
    KeyTableArray table;
    ClearKeyTable(table);
    LoadDefaults(table);
    return table;
}

void SetImportedCharacter(s_key &key, ShiftState state, char32_t cp)
{
    CodeOf(key, state) = CodeText(cp);
    CharOf(key, state) = PickCharacter(CodePointText(cp)).character;
}

QList<KeyHint> ApplyLayoutImport(KeyTableArray &table, const KeyTableArray &imported)
{
    QList<KeyHint> hints;
    for (int number = 1; number <= TableKeyCount; ++number) {
        s_key &key = KeyByNumber(table, number);
        const s_key &from = KeyByNumber(imported, number);
        key.caps = from.caps;
        for (ShiftState state : AllShiftStates) {
            CodeOf(key, state) = CodeOf(from, state);
            CharOf(key, state) = CharOf(from, state);
        }
        key.dead = from.dead;
        key.spare1 = from.spare1;
        key.spare2 = from.spare2;
        key.spare3 = from.spare3;
        if (number == SpaceKey)
            SetSpaceBarFixedValues(key);
        if (number <= KeyCount)
            hints.append({number, BuildKeyHint(key)});
    }
    return hints;
}
