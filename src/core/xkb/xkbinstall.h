#pragma once

#include "keytable.h"

#include <QList>
#include <QString>

// Installing a layout for this user, without root: its symbols file goes to
// $XDG_CONFIG_HOME/xkb/symbols/NAME and an entry for it to $XDG_CONFIG_HOME/xkb/rules/evdev.xml,
// where libxkbcommon and libxkbregistry (and so the Wayland desktops) look first.
//
// The entry is merged into the user's evdev.xml as text: every byte outside it stays as it
// was, and uninstalling takes out exactly what installing put in. A comment inside the
// entry marks it as ours; an evdev.xml that the install had to create carries a comment
// too, and goes again when it lists nothing any more.

struct XkbInstalledLayout {
    QString name;
    QString description;
    bool operator==(const XkbInstalledLayout &) const = default;
};

// $XDG_CONFIG_HOME/xkb, else ~/.config/xkb: the user folder libxkbcommon reads first.
QString XkbUserDirectory();
// The folder of the user's symbols files as messages name it: with "~" for the home folder
// and a trailing "/", so "~/.config/xkb/symbols/" by default.
QString XkbUserSymbolsFolderForMessages();

// Why the name cannot be installed, or an empty text when it can: it must be a valid XKB
// layout name, the system's XKB data must not have it (the user's file would hide the
// system's), and this user must not have a layout of that name that Tavo did not install.
QString XkbInstallNameProblem(const QString &name);

// Writes the table's symbols file (after VerifyXkbSymbols) and registers it under the
// description; a layout of the same name that Tavo installed before is replaced. An
// empty description stands for the name. Returns the description as registered. On
// failure nothing is changed. Throws OperationError.
QString InstallXkbLayout(const KeyTableArray &table, const QString &name, const QString &description);

// Removes the layout's symbols file and its entry; an evdev.xml that the install created
// goes when it lists nothing else, and so do the folders the install created, when they
// are empty. Throws OperationError when Tavo installed no layout of that name.
void UninstallXkbLayout(const QString &name);

// The layouts Tavo installed for this user, in the order of evdev.xml. Throws OperationError
// when the file is there but cannot be read.
QList<XkbInstalledLayout> InstalledXkbLayouts();
