// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <initializer_list>
#include <memory>
#include <optional>

// Dead keys in XKB. A dead key types nothing by itself: the input method's compose table
// (libxkbcommon's, libX11's) turns the dead keysym and the next keysym into the result.
//
// A dead state is written as the XKB dead keysym that stands for its own character: the
// keysym the layout came with (DeadKey::keysym), else the dead_* keysym whose compose
// sequence with the space bar (or with itself) gives that character in the system's
// compose table; among several, the one whose sequences give most of the state's pairs.
// Which character a dead keysym stands for comes from libxkbcommon's keysym names and the
// system's compose table, never from a table of ours.
//
// A dead state whose character has no dead keysym is written as a keysym of Unicode's
// private use plane 15 that only this layout types: U+F0000 + 256 × (the CRC-16 of the
// layout name modulo 256) + the number of the state among such states. Its compose
// sequences start with that keysym, so the typing of the user's other layouts does not
// change; a program that reads no compose table types the private-use character.
//
// The compose text starts with include "%L" (the locale's own table) and holds, in a block
// marked as Tavo's for the layout, the sequences the system's table does not already give:
// the dead key followed by the space bar and by each base of its pairs.

struct xkb_compose_table;
struct xkb_compose_state;
struct XkbComposeTableDeleter { void operator()(xkb_compose_table *table) const; };
struct XkbComposeStateDeleter { void operator()(xkb_compose_state *state) const; };
using XkbComposeTablePtr = std::unique_ptr<xkb_compose_table, XkbComposeTableDeleter>;
using XkbComposeStatePtr = std::unique_ptr<xkb_compose_state, XkbComposeStateDeleter>;

// The locale whose compose table counts: the session's (LC_ALL, LC_CTYPE, LANG) when it is
// a UTF-8 locale, else "C.UTF-8".
QByteArray XkbComposeLocale();

// The system's compose table for XkbComposeLocale(), without the user's compose file; read
// once and shared. nullptr when the system has none (libx11-data holds them).
xkb_compose_table *SystemComposeTable();

// What the table composes of the keysyms, fed in order; empty when they compose nothing.
QString ComposeResult(xkb_compose_table *table, std::initializer_list<quint32> keysyms);

// Whether the keysym's libxkbcommon name starts with "dead_".
bool IsDeadKeysym(quint32 keysym);

// The keysym each state at XKB levels 1 to 4 (XkbLevelStates) of each key is written as
// when the state is dead; 0 for a state that is not dead.
using XkbDeadKeysymTable = std::array<std::array<quint32, 4>, TableKeyCount>;
XkbDeadKeysymTable XkbDeadKeysyms(const KeyTableArray &table, const QString &layoutName);

// The block's first and last lines in a compose file, for the layout.
QByteArray XkbComposeBlockBegin(const QString &layoutName);
QByteArray XkbComposeBlockEnd(const QString &layoutName);

// The block of sequences the layout needs, from its begin line to its end line with a line
// feed each; empty when the layout needs none.
QByteArray XkbComposeBlock(const KeyTableArray &table, const QString &layoutName);

// The compose text the XKB export writes beside the symbols file: include "%L", then the
// block. Empty when the layout has no dead key.
QByteArray XkbComposeText(const KeyTableArray &table, const QString &layoutName);

// The compose file's text (nothing when there is no file) with the layout's block replaced
// by the given one: taken out when the block is empty, added at the end when the file had
// none. A file that is created starts with include "%L". Nothing when no file is needed.
std::optional<QByteArray> WithXkbComposeBlock(const std::optional<QByteArray> &composeFile, const QString &layoutName,
                                              const QByteArray &block);

// Compiles a compose text for XkbComposeLocale() ("%L" is the locale's table). Throws
// OperationError.
XkbComposeTablePtr CompileXkbCompose(const QByteArray &text);

// Where the XKB export writes the compose text for a symbols file: beside it, as
// NAME.XCompose (NAME the layout's name, XkbLayoutNameOfPath).
QString XkbComposePathOf(const QString &symbolsPath);
