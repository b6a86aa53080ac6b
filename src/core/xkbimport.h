#pragma once

#include "layoutimport.h"
#include "xkbregistry.h"

#include <QString>

#include <optional>

// Import of a layout of the XKB database: libxkbcommon compiles it as rules evdev and
// model pc105 give it, and levels 1 to 4 of each key (by its XKB name, as the XKB export
// writes it) become its Norm, Shift, AltGr and AltGr-Shift states. The key's caps is "1"
// where, with the Lock modifier locked, the key gives its level-2 character and that
// differs from level 1: libxkbcommon's case rules decide, not a table of ours. The Ctrl
// states and the spare slots stay empty. Dead keys, keysyms without a character,
// characters beyond U+FFFF and controls are left empty and reported.

// The layout and variant named by "de" or "de(neo)"; nothing when the text cannot name
// one (empty, blanks, commas, a bracket out of place).
std::optional<XkbLayoutInfo> ParseXkbLayoutName(const QString &text);

// Throws FileError when the layout is not known or does not compile.
LayoutImport ImportXkbLayout(const QString &layout, const QString &variant);

struct xkb_keymap;
// The import of the first layout (group) of a compiled keymap; name names it in messages.
// Throws FileError when the keymap has no Lock modifier.
LayoutImport ImportXkbKeymap(xkb_keymap *keymap, const QString &name);

// The layout this desktop session types with, where it can be found: XKB_DEFAULT_LAYOUT
// and XKB_DEFAULT_VARIANT, else the first layout of KDE's keyboard settings (kxkbrc in
// the user's configuration folder), else the system's keyboard setting (the file given,
// in the form of Debian's /etc/default/keyboard). Only the layout and variant are set.
std::optional<XkbLayoutInfo> SessionXkbLayout(const QString &systemKeyboardFile
                                              = QStringLiteral("/etc/default/keyboard"));
