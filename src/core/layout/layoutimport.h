// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "importreport.h"
#include "keytable.h"
#include "keyhint.h"

#include <QList>
#include <QString>
#include <QStringList>

// What an import of an outside layout (an XKB layout, a KLC file) gives: a key table as
// the editor holds it after the import, and what could not be carried over.
struct LayoutImport {
    KeyTableArray table;  // the default keys with the imported slots; the space bar's
                          // fixed values are set, as after a load
    ImportReport report;  // what was left out, grouped by kind, in key order within each
    QStringList languages;  // ISO 639 codes of the layout's languages, where the source names them
};

// The default table (every slot empty but the space bar's fixed values): what an import
// fills.
KeyTableArray EmptyImportTable();

// Stores one character (or a lone surrogate) in a key's state as the character table would
// pick it: the code as four to six upper-case hex digits, the character itself ("&&" for an
// ampersand). A blank or control keeps its code but has no character, as key texts are
// trimmed.
void SetImportedCharacter(s_key &key, ShiftState state, char32_t cp);

// Replaces every key's slots (caps, the six codes and characters, dead keys, the spare
// slots), the ISO key's included, with the imported ones and gives the space bar its fixed
// values, as a load does. The keys' identity is left alone. Returns the hint of each of the
// 48 keys.
QList<KeyHint> ApplyLayoutImport(KeyTableArray &table, const KeyTableArray &imported);
