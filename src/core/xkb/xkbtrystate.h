// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"
#include "xkbcompose.h"
#include "xkbkeymap.h"

#include <QString>

#include <array>

// Typing with the layout before it is installed: the keymap the XKB export would write,
// compiled in memory, and an XKB state that key presses and releases drive by keycode.
// Shift, AltGr and Caps Lock act on it as they will once the layout is installed. A layout
// with dead keys types through a compose state of its compose text (XkbComposeText), as
// the installed layout types with the compose file the install writes.

// What one key press gave.
struct XkbTypedKey {
    int keyNumber = 0;  // 1 to 49; 0 for a key outside the table (modifiers included)
    QString text;       // the characters to type; empty when the key types none or Ctrl or Alt is held
    QString status;     // "Q, Shift: U+0419 Й"; empty for a key outside the table
    bool command = false;  // Ctrl or Alt is held: the key is a command, not text
};

class XkbTryState
{
public:
    // Compiles the table as the XKB export does. Throws OperationError.
    explicit XkbTryState(const KeyTableArray &table);

    // Compiles the table anew after an edit. Locked modifiers (Caps Lock) stay locked,
    // held keys count as released. Throws OperationError and keeps the old keymap then.
    void rebuild(const KeyTableArray &table);

    // A key went down, by its XKB keycode (the evdev code + 8, which X11 and Wayland
    // report as the native scan code). A repeat only reads the key again.
    XkbTypedKey press(quint32 keycode, bool autoRepeat = false);
    void release(quint32 keycode);
    // Every held key counts as released; locks stay. For when the field loses the keyboard.
    void releaseAll();

    // The keycode of an XKB key name ("AD01", "LFSH"); 0 when the keymap has none.
    quint32 keycodeOf(const QString &keyName) const;
    // The keycode of key number 1 to 49.
    quint32 keycodeOfKey(int number) const { return m_keycodes[number - 1]; }

private:
    int keyNumberOf(quint32 keycode) const;
    QString statusOf(int number, quint32 keycode, const QString &gives) const;
    // The key's character as the status line shows it, through the compose state.
    QString typeThroughCompose(int number, quint32 keycode, XkbTypedKey &typed);

    KeyTableArray m_table;
    XkbKeymapPtr m_keymap;
    XkbStatePtr m_state;
    XkbComposeTablePtr m_compose;  // nullptr for a layout without dead keys
    QByteArray m_composeText;
    XkbComposeStatePtr m_composeState;
    QString m_waiting;  // the dead key waiting, as the status line names it
    std::array<quint32, TableKeyCount> m_keycodes{};
};
