// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Canonical composition of a base character with the accent of a dead key, from ICU's
// normalisation data and character names.

// The combining marks an accent stands for: the accent itself when it is a combining mark,
// the marks after the space of its compatibility decomposition (´ U+00B4 gives U+0301), else
// the mark named "COMBINING " and the accent's name ("CIRCUMFLEX ACCENT" gives U+0302);
// nothing when no mark fits.
QString CombiningMarksOf(const QString &accent);

// The one character that the base followed by the marks composes to canonically (a, U+0301
// gives á); nothing when the base is not one character or the composition is not one
// character other than the base.
QString ComposedCharacter(const QString &base, const QString &marks);
