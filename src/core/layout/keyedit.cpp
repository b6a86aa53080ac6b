// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyedit.h"

#include "keytexts.h"

#include <algorithm>

KeyEdit KeyEditOf(const s_key &key)
{
    KeyEdit edit;
    edit.name = QStringLiteral("Key:  VK_") + key.vk_name;
    for (ShiftState state : AllShiftStates) {
        const int i = int(state) - 1;
        edit.codes[i] = CodeOf(key, state);
        edit.chars[i] = CharOf(key, state);
        edit.dead[i] = DeadOf(key, state);
    }
    edit.caps = CapsSet(key);
    return edit;
}

namespace {

std::optional<DeadKey> StoredDeadKey(const std::optional<DeadKey> &edited, const QString &character,
                                     const QString &oldCharacter)
{
    if (!edited || character.isEmpty())
        return std::nullopt;
    DeadKey dead;
    // The keysym names the accent the layout came with, not one the user typed instead.
    if (character == oldCharacter)
        dead.keysym = edited->keysym;
    // Not trimmed: the space bar is a base as good as any.
    for (const DeadPair &pair : edited->pairs) {
        const bool repeated = std::any_of(dead.pairs.cbegin(), dead.pairs.cend(),
                                          [&](const DeadPair &kept) { return kept.base == pair.base; });
        if (!pair.base.isEmpty() && !pair.result.isEmpty() && !repeated)
            dead.pairs.append(pair);
    }
    return dead;
}

} // namespace

void StoreKeyEdit(const KeyEdit &edit, s_key &key)
{
    key.caps = edit.caps ? QStringLiteral("1") : QStringLiteral("0");
    for (ShiftState state : AllShiftStates) {
        const int i = int(state) - 1;
        const QString character = TrimKeyText(edit.chars[i]);
        DeadOf(key, state) = StoredDeadKey(edit.dead[i], character, CharOf(key, state));
        CharOf(key, state) = character;
        CodeOf(key, state) = TrimKeyText(edit.codes[i]);
    }
}
