// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "layoutimport.h"

#include <QString>

// Import of a layout of the XKB database: libxkbcommon compiles it as rules evdev and
// model pc105 give it, and levels 1 to 4 of each key (by its XKB name, as the XKB export
// writes it) become its Norm, Shift, AltGr and AltGr-Shift states. The key's caps is "1"
// where, with the Lock modifier locked, the key gives its level-2 character and that
// differs from level 1: libxkbcommon's case rules decide, not a table of ours. The Ctrl
// states and the spare slots stay empty. The ISO key is <LSGT>. A dead keysym becomes a
// dead key that keeps the keysym: its character is what the system's compose table
// (xkbcompose.h) gives for the keysym and the space bar, its pairs what it gives for the
// keysym and each character the layout types, where that is a single character. Keysyms
// without a character and controls are left empty and reported.

// Throws OperationError when the layout is not known or does not compile.
LayoutImport ImportXkbLayout(const QString &layout, const QString &variant);

// The layout named by "de" or "de(neo)", as ImportXkbLayout imports it. Throws
// OperationError also when the text cannot name a layout.
LayoutImport ImportXkbLayoutNamed(const QString &name);

struct xkb_keymap;
// The import of the first layout (group) of a compiled keymap; name names it in messages.
// Throws OperationError when the keymap has no Lock modifier.
LayoutImport ImportXkbKeymap(xkb_keymap *keymap, const QString &name);
