// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// The .ukb files last loaded or saved, newest first, kept in the user's settings under the
// application id ($XDG_CONFIG_HOME/<application id>.conf) and so shared by every window.
class RecentFiles
{
public:
    static constexpr int MaxCount = 10;

    static QStringList files();
    // Puts the file first, once, and drops what falls off the end.
    static void add(const QString &path);
    static void remove(const QString &path);
    static void clear();

private:
    static void store(const QStringList &files);
};
