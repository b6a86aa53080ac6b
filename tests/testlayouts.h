#pragma once

// Key tables that the tests start from.

#include "keytable.h"

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
