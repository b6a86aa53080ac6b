// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QList>
#include <QString>
#include <QStringList>

// Installing a layout for this user, without root: its symbols file goes to
// $XDG_CONFIG_HOME/xkb/symbols/NAME and an entry for it to $XDG_CONFIG_HOME/xkb/rules/evdev.xml,
// where libxkbcommon and libxkbregistry (and so the Wayland desktops) look first.
//
// The entry is merged into the user's evdev.xml as text: every byte outside it stays as it
// was, and uninstalling takes out exactly what installing put in. A comment inside the
// entry marks it as ours; an evdev.xml that the install had to create carries a comment
// too, and goes again when it lists nothing any more.
//
// Install, uninstall and list hold the folder's lock (xkbfolderlock.h) throughout. The
// entry and the symbols file are a pair, written so that a kill between two writes always
// leaves the same half: a marked entry whose symbols file is missing. The install writes
// the entry first and the symbols file last; the uninstall removes the symbols file first
// and the entry last. Whoever takes the lock next completes such a half by removing the
// entry and the layout's other files. A symbols file of the form Tavo writes without an
// entry (left by an older Tavo) counts as Tavo's: an install replaces it, an uninstall
// removes it.
//
// A layout with dead keys whose compose sequences the system's table does not all give has
// its block of sequences (xkbcompose.h) in the user's compose file: $XDG_CONFIG_HOME/XCompose
// where it exists, else ~/.XCompose, created with include "%L" first. It is written in the
// same transaction, before the symbols file; the uninstall takes the block out of both
// files and leaves every other byte.

struct XkbInstalledLayout {
    QString name;
    QString description;
    QString shortDescription;
    QStringList languages;
    bool operator==(const XkbInstalledLayout &) const = default;
};

struct XkbInstallOptions {
    QString description;       // as the desktop lists the layout; empty for the name
    QString shortDescription;  // up to MaxXkbShortDescriptionLength characters, "ru"; empty for none
    QStringList languages;     // ISO 639 codes, "rus"; the desktops list the layout under them
    bool loadAtX11Login = false;  // an autostart entry that loads it at every X11 login
};

constexpr qsizetype MaxXkbShortDescriptionLength = 4;

// The largest user evdev.xml Tavo reads. libxkbregistry takes seconds for a few MiB of
// rules, and a user's file lists a few layouts of its own.
constexpr qint64 MaxUserRulesSize = qint64(1) << 20;

// $XDG_CONFIG_HOME/xkb, else ~/.config/xkb: the user folder libxkbcommon reads first.
QString XkbUserDirectory();
// The folder of the user's symbols files as messages name it: with "~" for the home folder
// and a trailing "/", so "~/.config/xkb/symbols/" by default.
QString XkbUserSymbolsFolderForMessages();

// Why the name cannot be installed, or an empty text when it can: it must be a valid XKB
// layout name, the system's XKB data must not have it (the user's file would hide the
// system's), and this user must not have a layout of that name that Tavo did not install.
QString XkbInstallNameProblem(const QString &name);

// Writes the table's symbols file (after VerifyXkbSymbols), registers it with the options and,
// on request, writes its autostart entry; a layout of the same name that Tavo installed
// before is replaced. Returns the description as registered. On failure nothing is changed.
// Throws OperationError.
QString InstallXkbLayout(const KeyTableArray &table, const QString &name, const XkbInstallOptions &options);
QString InstallXkbLayout(const KeyTableArray &table, const QString &name, const QString &description);

// Whether the text is an ISO 639 code: two or three lower-case letters a-z.
bool IsIso639Code(const QString &code);

// The autostart entry that loads the layout at X11 logins: $XDG_CONFIG_HOME/autostart/tavo-xkb-NAME.desktop.
QString XkbAutostartPath(const QString &name);

// Removes the layout's symbols file, its autostart entry and its entry, in this order after
// checking that all of it can go; an evdev.xml that the install created goes when it lists
// nothing else, and so do the folders the install created, when they are empty. On failure
// nothing is changed. Throws OperationError when Tavo installed no layout of that name.
void UninstallXkbLayout(const QString &name);

// The layouts Tavo installed for this user, in the order of evdev.xml. Throws OperationError
// when the file is there but cannot be read.
QList<XkbInstalledLayout> InstalledXkbLayouts();
