// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Names of characters and how one is shown alone, from ICU's Unicode data.

// The Unicode name ("EURO SIGN"), or nothing for a code that has none.
QString CharName(char32_t code);
// Whether the code is assigned to a character (private use and surrogates count as
// assigned; noncharacters and unassigned codes do not).
bool IsAssigned(char32_t code);
// The name, or what the code is when it has none: "private use", "high surrogate",
// "low surrogate", "control" or "not assigned".
QString CharDescription(char32_t code);
// "U+0456 CYRILLIC SMALL LETTER BYELORUSSIAN-UKRAINIAN I": the hint a cell shows.
QString CharToolTip(char32_t code);
// The text as a character is shown alone: on a dotted circle (U+25CC) when it begins with
// a combining mark, as character charts show a mark that has no base.
QString ShownCharacter(const QString &text);
