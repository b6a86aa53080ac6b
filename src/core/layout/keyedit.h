// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QString>

#include <array>

// The values of one key while the character table edits it: what the editor hands to the
// window before the edit and reads back after OK. Index s-1 is ShiftState s.
struct KeyEdit {
    QString name;                   // "Key:  VK_" + vk_name
    std::array<QString, 6> codes;
    std::array<QString, 6> chars;
    bool caps = false;
    std::array<std::optional<DeadKey>, 6> dead;

    bool operator==(const KeyEdit &) const = default;
};

// The edit values of a key; caps is ticked only for a caps text of exactly "1".
KeyEdit KeyEditOf(const s_key &key);
// Stores the edit back: caps "1" or "0", the twelve texts trimmed. The name is not stored.
// A dead key stays only on a state with a character, its pairs without empty or repeated
// bases and empty results; its keysym stays only while the character does.
void StoreKeyEdit(const KeyEdit &edit, s_key &key);
