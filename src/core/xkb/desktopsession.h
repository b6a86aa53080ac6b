// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "xkbregistry.h"

#include <QString>

#include <optional>

// The desktop the program runs on, as far as it matters for switching to a layout that was
// installed for this user: Wayland desktops compile keymaps with libxkbcommon, which reads
// ~/.config/xkb; an X11 server does not, there setxkbmap and xkbcomp must be told the folder.

struct DesktopSession {
    enum class Desktop { Gnome, Kde, Other };
    Desktop desktop = Desktop::Other;
    bool wayland = false;
};

// From XDG_CURRENT_DESKTOP, XDG_SESSION_TYPE and WAYLAND_DISPLAY.
DesktopSession CurrentDesktopSession();

// Whether GNOME's input sources can be set here: a GNOME Wayland session with gsettings.
bool CanAddGnomeInputSource(const DesktopSession &session);

// How to switch to the installed layout on the session, in a few sentences. With
// offerGnome the text ends in the question whether to add it to GNOME's input sources;
// loadedAtLogin says that its autostart entry was written.
QString XkbSwitchSteps(const DesktopSession &session, const QString &name, const QString &description,
                       bool offerGnome, bool loadedAtLogin = false);

// The shell script that adds the installed layout to the X server's layouts, keeping the
// ones setxkbmap -query reports; it does nothing in a Wayland session.
QString XkbX11LoadScript(const QString &name);

// The arguments as the Exec key of a desktop entry holds them, quoted and escaped.
QString DesktopEntryExec(const QStringList &arguments);

// The value of org.gnome.desktop.input-sources sources, as gsettings prints it
// ("[('xkb', 'us')]", "@a(ss) []"), with ('xkb', 'NAME') appended unless it is there.
// Empty when the value is not such a list.
QString GnomeInputSourcesWith(const QString &sources, const QString &name);

// Appends the layout to GNOME's input sources with gsettings. Throws OperationError.
void AddGnomeInputSource(const QString &name);

// The layout this desktop session types with, where it can be found: XKB_DEFAULT_LAYOUT
// and XKB_DEFAULT_VARIANT, else the first layout of KDE's keyboard settings (kxkbrc in
// the user's configuration folder), else the system's keyboard setting (the file given,
// in the form of Debian's /etc/default/keyboard). Only the layout and variant are set.
std::optional<XkbLayoutInfo> SessionXkbLayout(const QString &systemKeyboardFile
                                              = QStringLiteral("/etc/default/keyboard"));
