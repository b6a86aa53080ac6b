// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// XKB keymaps compiled in memory with libxkbcommon: the XKB export's check, and anything
// that types with a layout before it is installed. Nothing is written to disk.

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

struct XkbContextDeleter { void operator()(xkb_context *context) const; };
struct XkbKeymapDeleter { void operator()(xkb_keymap *keymap) const; };
struct XkbStateDeleter { void operator()(xkb_state *state) const; };
using XkbContextPtr = std::unique_ptr<xkb_context, XkbContextDeleter>;
using XkbKeymapPtr = std::unique_ptr<xkb_keymap, XkbKeymapDeleter>;
using XkbStatePtr = std::unique_ptr<xkb_state, XkbStateDeleter>;

// A context of the default include path that appends libxkbcommon's error messages to
// messages instead of printing them; the list must outlive the context's use. nullptr
// when libxkbcommon has none.
XkbContextPtr NewCollectingXkbContext(QStringList &messages);

// The body of a symbols file's default section (its first section when none is marked
// "default"): the text between its braces. Comments and strings are skipped while the
// braces are matched. Empty when the text holds no complete xkb_symbols section.
QByteArray XkbDefaultSymbolsBody(const QByteArray &symbolsText);

// The complete keymap text that rules evdev and model pc105 give for one layout whose
// symbols file holds symbolsText: the system's keycodes "evdev+aliases(qwerty)", types
// and compat "complete", and the symbols "pc", the file's default section and
// "inet(evdev)", in that order. Throws OperationError when the text holds no xkb_symbols
// section.
QByteArray XkbKeymapTextOfSymbols(const QByteArray &symbolsText, const QString &layoutName);

// Compiles a complete keymap text; its includes come from the default include path.
// Any error libxkbcommon reports counts as a failure: an OperationError naming the layout,
// with libxkbcommon's messages.
XkbKeymapPtr CompileXkbKeymap(const QByteArray &keymapText, const QString &layoutName);

// Compiles a layout of the XKB database as rules evdev and model pc105 give it, with the
// default include path (the user's folders, then the system's). Throws OperationError naming
// the layout, with libxkbcommon's messages, when it does not compile.
XkbKeymapPtr CompileXkbLayout(const QString &layout, const QString &variant);
