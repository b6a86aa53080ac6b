#include "xkbtrystate.h"

#include "charnames.h"
#include "codetext.h"
#include "keytexts.h"
#include "operationerror.h"
#include "xkbsymbols.h"

#include <QStringList>

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

// A Ctrl state's code from the table ("0011"), as the status line shows it.
QString DescribeCtrlCode(const QString &code)
{
    const QString text = TrimKeyText(code);
    if (text.isEmpty())
        return QStringLiteral("nothing");
    const std::optional<char32_t> cp = KeyCodeValue(text);
    return cp ? DescribeCodePoint(*cp) : text;
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
    std::array<quint32, KeyCount> keycodes{};
    for (int number = 1; number <= KeyCount; ++number) {
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
    m_keycodes = keycodes;
}

XkbTypedKey XkbTryState::press(quint32 keycode, bool autoRepeat)
{
    XkbTypedKey typed;
    typed.keyNumber = keyNumberOf(keycode);
    if (typed.keyNumber != 0) {
        // The character comes from the state before the key itself changes it, as a
        // desktop's input code does it.
        typed.status = statusOf(typed.keyNumber, keycode);
        typed.command = ModActive(m_state.get(), XKB_MOD_NAME_CTRL) || ModActive(m_state.get(), XKB_MOD_NAME_ALT);
        if (!typed.command) {
            const char32_t cp = xkb_state_key_get_utf32(m_state.get(), keycode);
            if (cp != 0)
                typed.text = QString::fromUcs4(&cp, 1);
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

int XkbTryState::keyNumberOf(quint32 keycode) const
{
    for (int i = 0; i < KeyCount; ++i) {
        if (m_keycodes[i] == keycode)
            return i + 1;
    }
    return 0;
}

QString XkbTryState::statusOf(int number, quint32 keycode) const
{
    const s_key &key = KeyByNumber(m_table, number);
    const QString keyName = key.vk_name.isEmpty() ? QStringLiteral("key %1").arg(number) : key.vk_name;
    xkb_state *state = m_state.get();
    const bool shift = ModActive(state, XKB_MOD_NAME_SHIFT);
    // XKB carries no Ctrl level: the Ctrl states are the table's, as the KLC export writes them.
    if (ModActive(state, XKB_MOD_NAME_CTRL)) {
        const ShiftState ctrlState = shift ? ShiftState::CtrlShift : ShiftState::Ctrl;
        return QStringLiteral("%1, %2: %3")
            .arg(keyName, ShiftStateName(ctrlState), DescribeCtrlCode(CodeOf(key, ctrlState)));
    }
    // The right Alt key is ISO_Level3_Shift on Mod5, from level3(ralt_switch).
    const bool altGr = ModActive(state, "Mod5");
    const ShiftState level = altGr ? (shift ? ShiftState::AltGrShift : ShiftState::AltGr)
                                   : (shift ? ShiftState::Shift : ShiftState::Norm);
    QStringList modifiers{ShiftStateName(level)};
    if (ModActive(state, XKB_MOD_NAME_CAPS))
        modifiers << QStringLiteral("Caps Lock");
    if (ModActive(state, XKB_MOD_NAME_ALT))
        modifiers << QStringLiteral("Alt");
    const char32_t cp = xkb_state_key_get_utf32(state, keycode);
    return QStringLiteral("%1, %2: %3")
        .arg(keyName, modifiers.join(QStringLiteral(", ")),
             cp == 0 ? QStringLiteral("nothing") : DescribeCodePoint(cp));
}
