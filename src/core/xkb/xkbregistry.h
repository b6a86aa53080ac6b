// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The layouts of the XKB database (rules evdev), read through libxkbregistry.

struct XkbLayoutInfo {
    QString layout;       // "de"
    QString variant;      // "neo"; empty for the layout itself
    QString description;  // "German (Neo 2)"
    QStringList languages;  // ISO 639-3 codes, "deu"

    // "de" or "de(neo)", as the converter and setxkbmap name it.
    QString fullName() const;
    bool operator==(const XkbLayoutInfo &) const = default;
};

enum class XkbLayoutSource {
    System,        // the system's xkb data only
    SystemAndUser, // the user's folders ($XDG_CONFIG_HOME/xkb, ~/.xkb) too, as desktops read them
};

// Every layout and variant, the exotic ones included, in the registry's order. Empty when
// the database cannot be read.
QList<XkbLayoutInfo> XkbRegistryLayouts(XkbLayoutSource source);

// The languages (ISO 639) the list gives the layout: its variant's, else the layout's own.
QStringList XkbLayoutLanguages(const QList<XkbLayoutInfo> &layouts, const QString &layout, const QString &variant);

// The longest layout or variant name Tavo accepts; the database's longest is about 25.
constexpr qsizetype MaxXkbNameLength = 64;

// Whether the text can be a layout or variant name: 1 to MaxXkbNameLength of the characters
// XKB's own database uses in them, ASCII letters, digits, "_" and "-". Every name that
// goes into a path or a command passes this first.
bool IsValidXkbNamePart(QStringView part);

// The layout and variant named by "de" or "de(neo)"; nothing when the text cannot name
// one (empty, blanks, commas, a bracket out of place).
std::optional<XkbLayoutInfo> ParseXkbLayoutName(const QString &text);
