// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QString>
#include <QStringView>

// What Tavo keeps in a spare slot of a .ukb line beyond the 16 fields: the dead keys of
// the line's key and, on the space bar's line, the ISO key. Readers that keep spare slots
// as held carry it through unchanged; docs/ukb-file.md describes the text.

// The extension text of key `number` of the table: empty when the key has nothing to add.
QString UkbExtensionText(const KeyTableArray &table, int number);

// Reads an extension text written for key `number` into the table. False, and nothing
// changed, when the text is not one that Tavo writes (another program's slot).
bool ApplyUkbExtensionText(QStringView text, KeyTableArray &table, int number);
