// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

// The nine-line hint of a key cell, lines joined by "\n\r". A dead state's line ends in
// "dead key"; the tables of the dead states follow.
QString BuildKeyHint(const s_key &key);

// The hint a key's cell gets after a load or an import.
struct KeyHint {
    int number;  // key number, 1 to 48
    QString hint;
    bool operator==(const KeyHint &) const = default;
};
