#pragma once

#include "keytable.h"
#include "xkbkeymap.h"

#include <QString>

#include <array>

// Typing with the layout before it is installed: the keymap the XKB export would write,
// compiled in memory, and an XKB state that key presses and releases drive by keycode.
// Shift, AltGr and Caps Lock act on it as they will once the layout is installed.

// What one key press gave.
struct XkbTypedKey {
    int keyNumber = 0;  // 1 to 48; 0 for a key outside the table (modifiers included)
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
    // The keycode of key number 1 to 48.
    quint32 keycodeOfKey(int number) const { return m_keycodes[number - 1]; }

private:
    int keyNumberOf(quint32 keycode) const;
    QString statusOf(int number, quint32 keycode) const;

    KeyTableArray m_table;
    XkbKeymapPtr m_keymap;
    XkbStatePtr m_state;
    std::array<quint32, KeyCount> m_keycodes{};
};
