// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QByteArray>
#include <QString>

// The XKB symbols export: the key table as an XKB symbols file that a Linux desktop loads
// from $XDG_CONFIG_HOME/xkb/symbols/NAME (~/.config/xkb/symbols/NAME) as the layout NAME.
//
// Levels 1 to 4 of each key are Norm, Shift, AltGr and AltGr-Shift, taken from the
// states' codes; a state without a usable code is VoidSymbol. The Ctrl states have no
// XKB level. A key whose caps is "1" has the type FOUR_LEVEL_SEMIALPHABETIC: Caps Lock
// swaps its Norm and Shift characters and, by XKB's rule for that type, capitalises its
// AltGr characters (the case mapping of xkb_keysym_to_upper). Every other key has the
// type FOUR_LEVEL_PLUS_LOCK with a fifth level equal to the first, so Caps Lock leaves
// it alone.
//
// A dead state is written as its dead keysym (see xkbcompose.h), the ISO key as <LSGT> when
// the layout puts anything on it, and a character beyond U+FFFF as its U1xxxx keysym.

// The layout name for text that goes to no file (the converter's standard output).
inline const QString DefaultXkbLayoutName = QStringLiteral("tavo");

// The XKB name of key number 1 to 49 (evdev keycodes of a PC keyboard): "TLDE", "AE01",
// ..., "BKSL", ..., "AB10", "SPCE", and "LSGT" for the ISO key.
QString XkbKeyName(int number);

// The states that XKB levels 1 to 4 of a key hold, in order.
constexpr std::array<ShiftState, 4> XkbLevelStates = {
    ShiftState::Norm, ShiftState::Shift, ShiftState::AltGr, ShiftState::AltGrShift};

// Whether the text can name a layout of this user: a valid name (IsValidXkbNamePart) in lower case.
bool IsValidXkbLayoutName(const QString &name);

// The layout name a path gives: the file name without its last suffix ("ru.xkb" -> "ru").
QString XkbLayoutNameOfPath(const QString &path);

// The keysym name for a state's code: the code trimmed must be four to six hex digits of a
// character XKB can carry, else "VoidSymbol". Names come from libxkbcommon ("Cyrillic_ef",
// "quotedbl", "U20BD").
QString XkbKeysymName(const QString &code);
// The name libxkbcommon gives a keysym ("Cyrillic_ef", "dead_acute"), or its value in hex.
QString XkbKeysymNameOf(quint32 keysym);

// The symbols file for the table as UTF-8 with LF line ends. Throws OperationError for an
// invalid layout name.
QByteArray XkbSymbolsText(const KeyTableArray &table, const QString &name);
// Whether the text begins and ends as XkbSymbolsText writes it for the name.
bool IsXkbSymbolsTextOf(QByteArrayView text, const QString &name);

// Compiles the text in memory as the layout NAME with libxkbcommon, as rules evdev and
// model pc105 would with the system's xkb data (XkbKeymapTextOfSymbols), and reads every key back, at every level, with and without Caps
// Lock, through an XKB state in which Shift, AltGr and Caps Lock are pressed as keys.
// Throws OperationError naming the key and state when the text does not compile or a key does
// not give what the table says.
void VerifyXkbSymbols(const KeyTableArray &table, const QString &name, const QByteArray &text);

// The symbols file as the layout NAME, once it has passed VerifyXkbSymbols. Throws
// OperationError.
QByteArray XkbFileBytes(const KeyTableArray &table, const QString &name);

// Writes the table's symbols file to the path, as the layout named by the file's base
// name, once the text has passed VerifyXkbSymbols; on any failure nothing is written. A
// layout with dead keys also gets its compose text (XkbComposeText) at XkbComposePathOf(path),
// written first.
// Throws OperationError.
void SaveXkbFile(const KeyTableArray &table, const QString &path);
