// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

// The captions of the key cells, the ISO key's last; index N-1 is cell N.
using KeyCaptions = std::array<QString, TableKeyCount>;

// The line break inside captions and hints: LF, then CR.
inline const QString CaptionBreak = QStringLiteral("\n\r");

void ClearKeyCaptions(KeyCaptions &captions);
void ShowSingleView(const KeyTableArray &table, KeyCaptions &captions, int state);
void ShowDoubleView(const KeyTableArray &table, KeyCaptions &captions, int pair);
void ShowCapsView(const KeyTableArray &table, KeyCaptions &captions);
// The view dispatcher: state 0 to 6, dbl and caps 0 or 1.
void ShowKeys(const KeyTableArray &table, KeyCaptions &captions, int state, int dbl, int caps);

// What the "Shift State" group of the editor shows: radioChecked[s-1] for state s.
struct ShiftStateSelection {
    std::array<bool, 6> radioChecked{};
    bool doubleView = false;
    bool capsLockView = false;
};

// Redraws every caption from the selection, as the editor's RefreshKeys does.
void RefreshCaptions(const KeyTableArray &table, KeyCaptions &captions,
                     const ShiftStateSelection &selection);

// Which lines of a cell's caption show a dead state, which the cell marks.
struct CaptionDeadLines {
    bool upper = false;
    bool lower = false;
    bool operator==(const CaptionDeadLines &) const = default;
};
using KeyDeadLines = std::array<CaptionDeadLines, TableKeyCount>;
// The lines that RefreshCaptions fills with a dead state, for the same selection.
KeyDeadLines DeadCaptionLines(const KeyTableArray &table, const ShiftStateSelection &selection);

// The two lines a cell draws for a caption: the text before the first break on the upper
// line, the rest on the lower one, a doubled ampersand shown as one.
struct CaptionLines {
    QString upper;
    QString lower;
    bool operator==(const CaptionLines &) const = default;
};
CaptionLines SplitCaption(const QString &caption);
