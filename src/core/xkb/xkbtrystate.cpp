// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xkbtrystate.h"

#include "charnames.h"
#include "codetext.h"
#include "keytexts.h"
#include "operationerror.h"
#include "xkbsymbols.h"

#include <QStringList>

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace {

XkbStatePtr NewState(xkb_keymap *keymap)
{
    XkbStatePtr state(xkb_state_new(keymap));
    if (!state)
        throw OperationError(QStringLiteral("Cannot try the layout: libxkbcommon has no state"));
    return state;
}

bool ModActive(xkb_state *state, const char *name)
{
    return xkb_state_mod_name_is_active(state, name, XKB_STATE_MODS_EFFECTIVE) > 0;
}

// "U+0419 Й", or the code alone for a character that shows nothing by itself.
QString DescribeCodePoint(char32_t cp)
{
    const QString code = UnicodeLabel(cp);
    const QString text = QString::fromUcs4(&cp, 1);
    const bool shows = cp == U' ' || (QChar::isPrint(cp) && QChar::category(cp) != QChar::Other_Format);
    return shows ? code + u' ' + text : code;
}

// A state's code from the table ("0011"), as the status line shows it.
QString DescribeTableCode(const QString &code)
{
    const QString text = TrimKeyText(code);
    if (text.isEmpty())
        return QStringLiteral("nothing");
    const std::optional<char32_t> cp = KeyCodeValue(text);
    return cp ? DescribeCodePoint(*cp) : text;
}

// The state the held Shift and AltGr choose. The right Alt key is ISO_Level3_Shift on
// Mod5, from level3(ralt_switch).
ShiftState LevelOf(xkb_state *state)
{
    const bool shift = ModActive(state, XKB_MOD_NAME_SHIFT);
    if (ModActive(state, "Mod5"))
        return shift ? ShiftState::AltGrShift : ShiftState::AltGr;
    return shift ? ShiftState::Shift : ShiftState::Norm;
}

// Each character of a composed text, described.
QString DescribeText(const QString &text)
{
    QStringList parts;
    for (const char32_t cp : text.toUcs4())
        parts << DescribeCodePoint(cp);
    return parts.join(QStringLiteral(" + "));
}

} // namespace

XkbTryState::XkbTryState(const KeyTableArray &table)
{
    rebuild(table);
}

void XkbTryState::rebuild(const KeyTableArray &table)
{
    const QString name = DefaultXkbLayoutName;
    XkbKeymapPtr keymap = CompileXkbKeymap(XkbKeymapTextOfSymbols(XkbSymbolsText(table, name), name), name);
    XkbStatePtr state = NewState(keymap.get());
    const QByteArray composeText = XkbComposeText(table, name);
    // The locale's table takes most of a rebuild: an edit that leaves the sequences keeps it.
    XkbComposeTablePtr compose;
    if (!composeText.isEmpty())
        compose = composeText == m_composeText && m_compose ? XkbComposeTablePtr(xkb_compose_table_ref(m_compose.get()))
                                                            : CompileXkbCompose(composeText);
    XkbComposeStatePtr composeState;
    if (compose) {
        composeState.reset(xkb_compose_state_new(compose.get(), XKB_COMPOSE_STATE_NO_FLAGS));
        if (!composeState)
            throw OperationError(QStringLiteral("Cannot try the layout: libxkbcommon has no compose state"));
    }
    std::array<quint32, TableKeyCount> keycodes{};
    for (int number = 1; number <= TableKeyCount; ++number) {
        keycodes[number - 1] = xkb_keymap_key_by_name(keymap.get(), XkbKeyName(number).toLatin1().constData());
        if (keycodes[number - 1] == XKB_KEYCODE_INVALID)
            throw OperationError(QStringLiteral("Cannot try the layout: the keymap has no key <%1>").arg(XkbKeyName(number)));
    }
    if (m_state) {
        // Caps Lock stays on across an edit; the same keymap text puts it on the same modifier.
        const xkb_mod_mask_t locked = xkb_state_serialize_mods(m_state.get(), XKB_STATE_MODS_LOCKED);
        const xkb_layout_index_t group = xkb_state_serialize_layout(m_state.get(), XKB_STATE_LAYOUT_LOCKED);
        xkb_state_update_mask(state.get(), 0, 0, locked, 0, 0, group);
    }
    m_table = table;
    m_keymap = std::move(keymap);
    m_state = std::move(state);
    m_compose = std::move(compose);
    m_composeText = composeText;
    m_composeState = std::move(composeState);
    m_waiting.clear();
    m_keycodes = keycodes;
}

XkbTypedKey XkbTryState::press(quint32 keycode, bool autoRepeat)
{
    XkbTypedKey typed;
    typed.keyNumber = keyNumberOf(keycode);
    if (typed.keyNumber != 0) {
        // The character comes from the state before the key itself changes it, as a
        // desktop's input code does it.
        typed.command = ModActive(m_state.get(), XKB_MOD_NAME_CTRL) || ModActive(m_state.get(), XKB_MOD_NAME_ALT);
        QString gives;
        if (!typed.command) {
            gives = typeThroughCompose(typed.keyNumber, keycode, typed);
        }
        typed.status = statusOf(typed.keyNumber, keycode, gives);
    } else if (m_composeState && !autoRepeat) {
        // Another key (an arrow, Backspace) ends a waiting dead key as it does on the desktop;
        // modifiers leave it waiting.
        xkb_compose_state_feed(m_composeState.get(), xkb_state_key_get_one_sym(m_state.get(), keycode));
        if (xkb_compose_state_get_status(m_composeState.get()) != XKB_COMPOSE_COMPOSING) {
            xkb_compose_state_reset(m_composeState.get());
            m_waiting.clear();
        }
    }
    if (!autoRepeat)
        xkb_state_update_key(m_state.get(), keycode, XKB_KEY_DOWN);
    return typed;
}

void XkbTryState::release(quint32 keycode)
{
    xkb_state_update_key(m_state.get(), keycode, XKB_KEY_UP);
}

void XkbTryState::releaseAll()
{
    const xkb_mod_mask_t locked = xkb_state_serialize_mods(m_state.get(), XKB_STATE_MODS_LOCKED);
    const xkb_layout_index_t group = xkb_state_serialize_layout(m_state.get(), XKB_STATE_LAYOUT_LOCKED);
    XkbStatePtr state = NewState(m_keymap.get());
    xkb_state_update_mask(state.get(), 0, 0, locked, 0, 0, group);
    m_state = std::move(state);
}

quint32 XkbTryState::keycodeOf(const QString &keyName) const
{
    const xkb_keycode_t keycode = xkb_keymap_key_by_name(m_keymap.get(), keyName.toLatin1().constData());
    return keycode == XKB_KEYCODE_INVALID ? 0 : keycode;
}

QString XkbTryState::typeThroughCompose(int number, quint32 keycode, XkbTypedKey &typed)
{
    const char32_t cp = xkb_state_key_get_utf32(m_state.get(), keycode);
    const QString plain = cp == 0 ? QString() : QString::fromUcs4(&cp, 1);
    if (!m_composeState) {
        typed.text = plain;
        return {};
    }
    xkb_compose_state_feed(m_composeState.get(), xkb_state_key_get_one_sym(m_state.get(), keycode));
    switch (xkb_compose_state_get_status(m_composeState.get())) {
    case XKB_COMPOSE_COMPOSING:
        if (m_waiting.isEmpty()) {
            const s_key &key = KeyByNumber(m_table, number);
            m_waiting = DescribeTableCode(CodeOf(key, LevelOf(m_state.get())));
        }
        return QStringLiteral("dead key %1, waiting for the next key").arg(m_waiting);
    case XKB_COMPOSE_COMPOSED: {
        char buffer[256];
        const int size = xkb_compose_state_get_utf8(m_composeState.get(), buffer, sizeof buffer);
        typed.text = size > 0 && size < int(sizeof buffer) ? QString::fromUtf8(buffer, size) : QString();
        const QString after = QStringLiteral(" after the dead key ") + m_waiting;
        xkb_compose_state_reset(m_composeState.get());
        m_waiting.clear();
        return (typed.text.isEmpty() ? QStringLiteral("nothing") : DescribeText(typed.text)) + after;
    }
    case XKB_COMPOSE_CANCELLED: {
        const QString after = QStringLiteral("nothing: the dead key ") + m_waiting
                              + QStringLiteral(" has no sequence with ") + (plain.isEmpty() ? QStringLiteral("this key") : DescribeText(plain));
        xkb_compose_state_reset(m_composeState.get());
        m_waiting.clear();
        return after;
    }
    case XKB_COMPOSE_NOTHING:
        break;
    }
    typed.text = plain;
    return {};
}

int XkbTryState::keyNumberOf(quint32 keycode) const
{
    for (int i = 0; i < TableKeyCount; ++i) {
        if (m_keycodes[i] == keycode)
            return i + 1;
    }
    return 0;
}

QString XkbTryState::statusOf(int number, quint32 keycode, const QString &gives) const
{
    const s_key &key = KeyByNumber(m_table, number);
    const QString keyName = key.vk_name.isEmpty() ? QStringLiteral("key %1").arg(number) : key.vk_name;
    xkb_state *state = m_state.get();
    const bool shift = ModActive(state, XKB_MOD_NAME_SHIFT);
    // XKB carries no Ctrl level: the Ctrl states are the table's, as the KLC export writes them.
    if (ModActive(state, XKB_MOD_NAME_CTRL)) {
        const ShiftState ctrlState = shift ? ShiftState::CtrlShift : ShiftState::Ctrl;
        return QStringLiteral("%1, %2: %3")
            .arg(keyName, ShiftStateName(ctrlState), DescribeTableCode(CodeOf(key, ctrlState)));
    }
    QStringList modifiers{ShiftStateName(LevelOf(state))};
    if (ModActive(state, XKB_MOD_NAME_CAPS))
        modifiers << QStringLiteral("Caps Lock");
    if (ModActive(state, XKB_MOD_NAME_ALT))
        modifiers << QStringLiteral("Alt");
    const char32_t cp = xkb_state_key_get_utf32(state, keycode);
    return QStringLiteral("%1, %2: %3")
        .arg(keyName, modifiers.join(QStringLiteral(", ")),
             !gives.isEmpty() ? gives : cp == 0 ? QStringLiteral("nothing") : DescribeCodePoint(cp));
}
