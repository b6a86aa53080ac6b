// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QStringList>

// Proposals for a dead key's table.

// Every character the layout's states type, once each, in code point order.
QStringList TypedCharacters(const KeyTableArray &table);

// Adds to the dead key a pair for each base that canonical composition joins with the
// accent (the dead key's own character) into one character; a base the table already has
// keeps its pair. Returns how many pairs were added.
int AddUnicodeDeadPairs(DeadKey &dead, const QString &accent, const QStringList &bases);
