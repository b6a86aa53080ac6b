// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xkbimport.h"

#include "charnames.h"
#include "codetext.h"
#include "operationerror.h"
#include "xkbcompose.h"
#include "xkbkeymap.h"
#include "xkbregistry.h"
#include "xkbsymbols.h"

#include <xkbcommon/xkbcommon.h>

#include <QList>

#include <array>

namespace {

// Why a keysym cannot be carried; empty when it can.
QString NotCarried(xkb_keysym_t sym, char32_t cp)
{
    const QString name = XkbKeysymNameOf(sym);
    if (cp == 0)
        return name + QStringLiteral(" has no character");
    const QString point = UnicodeLabel(cp);
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F))
        return QStringLiteral("%1 (%2) is a control character").arg(name, point);
    if (cp == 0xFFFE || cp == 0xFFFF)
        return QStringLiteral("%1 (%2) is not a character").arg(name, point);
    return {};
}

OperationError NotAnXkbLayoutName(const QString &name)
{
    return OperationError(QStringLiteral("\"%1\" is not the name of an XKB layout").arg(name));
}

} // namespace

LayoutImport ImportXkbLayout(const QString &layout, const QString &variant)
{
    const QString fullName = variant.isEmpty() ? layout : layout + u'(' + variant + u')';
    if (!IsValidXkbNamePart(layout) || (!variant.isEmpty() && !IsValidXkbNamePart(variant)))
        throw NotAnXkbLayoutName(fullName);
    const XkbKeymapPtr keymap = CompileXkbLayout(layout, variant);
    return ImportXkbKeymap(keymap.get(), fullName);
}

LayoutImport ImportXkbLayoutNamed(const QString &name)
{
    const std::optional<XkbLayoutInfo> info = ParseXkbLayoutName(name);
    if (!info)
        throw NotAnXkbLayoutName(name);
    return ImportXkbLayout(info->layout, info->variant);
}

LayoutImport ImportXkbKeymap(xkb_keymap *keymap, const QString &name)
{
    // Lock locked through the modifier mask: the Caps Lock key itself may be remapped.
    XkbStatePtr capsState(xkb_state_new(keymap));
    const xkb_mod_index_t lock = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CAPS);
    if (!capsState || lock == XKB_MOD_INVALID)
        throw OperationError(QStringLiteral("The XKB layout \"%1\" has no Lock modifier").arg(name));
    xkb_state_update_mask(capsState.get(), 0, 0, xkb_mod_mask_t(1) << lock, 0, 0, 0);

    LayoutImport result;
    result.table = EmptyImportTable();
    // The dead keys' tables need every character the layout types: they come last.
    struct DeadLevel {
        int number;
        ShiftState state;
        xkb_keysym_t sym;
    };
    QList<DeadLevel> deadLevels;
    QList<xkb_keysym_t> typed;
    for (int number = 1; number <= TableKeyCount; ++number) {
        s_key &key = KeyByNumber(result.table, number);
        const QString keyName = XkbKeyName(number);
        const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap, keyName.toLatin1().constData());
        if (keycode == XKB_KEYCODE_INVALID)
            continue;
        std::array<char32_t, 4> carried{};
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, keycode, 0);
        for (xkb_level_index_t level = 0; level < 4 && level < levels; ++level) {
            const xkb_keysym_t *syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, 0, level, &syms);
            if (count == 0 || (count == 1 && syms[0] == XKB_KEY_VoidSymbol))
                continue;
            const QString where = QStringLiteral("key %1 <%2>, %3: ")
                                      .arg(number)
                                      .arg(keyName, ShiftStateName(XkbLevelStates[level]));
            if (count > 1) {
                result.report.add(QStringLiteral("state with several keysyms"),
                                  QStringLiteral("states with several keysyms"),
                                  where + QStringLiteral("%1 keysyms at once").arg(count));
                continue;
            }
            if (IsDeadKeysym(syms[0])) {
                deadLevels.append({number, XkbLevelStates[level], syms[0]});
                continue;
            }
            const char32_t cp = xkb_keysym_to_utf32(syms[0]);
            const QString reason = NotCarried(syms[0], cp);
            if (!reason.isEmpty()) {
                result.report.add(QStringLiteral("character"), QStringLiteral("characters"), where + reason);
                continue;
            }
            SetImportedCharacter(key, XkbLevelStates[level], cp);
            carried[level] = cp;
            if (number != SpaceKey && !typed.contains(syms[0]))
                typed.append(syms[0]);
        }
        const bool caps = carried[1] != 0 && carried[1] != carried[0]
                          && xkb_state_key_get_utf32(capsState.get(), keycode) == carried[1];
        key.caps = caps ? QStringLiteral("1") : QStringLiteral("0");
    }
    // A dead key's own character is what its keysym composes with the space bar; its pairs
    // are what it composes with each character the layout types, where that is one character.
    xkb_compose_table *compose = SystemComposeTable();
    for (const DeadLevel &level : deadLevels) {
        s_key &key = KeyByNumber(result.table, level.number);
        if (const std::optional<char32_t> own = SingleCodePoint(ComposeResult(compose, {level.sym, XKB_KEY_space})))
            SetImportedCharacter(key, level.state, *own);
        DeadKey dead;
        dead.keysym = XkbKeysymNameOf(level.sym);
        for (const xkb_keysym_t base : std::as_const(typed)) {
            const QString composed = ComposeResult(compose, {level.sym, base});
            if (SingleCodePoint(composed))
                dead.pairs.append({CodePointText(xkb_keysym_to_utf32(base)), composed});
        }
        DeadOf(key, level.state) = dead;
    }
    SetSpaceBarFixedValues(KeyByNumber(result.table, SpaceKey));
    return result;
}
