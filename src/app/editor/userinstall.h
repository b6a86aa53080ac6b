// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QStringList>

class QWidget;

// The editor's "install for this user" and "uninstall": they ask through the dialog seam
// and leave the work to the core (xkbinstall.h). Both throw OperationError.

// Asks for the layout's name (again, with the reason, until it can be installed or the
// question is cancelled) and a description, installs the table under them and says how
// to switch to it; on GNOME it offers to add it to the input sources. A new layout is
// offered the languages the layout was imported with (ISO 639), else the system's.
void InstallForThisUser(QWidget *parent, const KeyTableArray &table, const QStringList &languages);

// Offers the layouts Tavo installed for this user and removes the one chosen once the user
// confirmed it.
void UninstallForThisUser(QWidget *parent);
