// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyviews.h"

#include "keytexts.h"

void ClearKeyCaptions(KeyCaptions &captions)
{
    captions.fill(QString());
}

void ShowSingleView(const KeyTableArray &table, KeyCaptions &captions, int state)
{
    if (state < 1 || state > 6)
        return;
    const auto shiftState = static_cast<ShiftState>(state);
    const bool unshifted = state % 2 == 1;  // Norm, AltGr, Ctrl sit on the lower line
    for (int i = 0; i < TableKeyCount; ++i) {
        const QString &character = CharOf(table[i], shiftState);
        captions[i] = unshifted ? QStringLiteral(" ") + CaptionBreak + character : character;
    }
}

void ShowDoubleView(const KeyTableArray &table, KeyCaptions &captions, int pair)
{
    if (pair < 1 || pair > 3)
        return;
    const auto lower = static_cast<ShiftState>(2 * pair - 1);
    const auto upper = static_cast<ShiftState>(2 * pair);
    for (int i = 0; i < TableKeyCount; ++i)
        captions[i] = CharOf(table[i], upper) + CaptionBreak + CharOf(table[i], lower);
}

void ShowCapsView(const KeyTableArray &table, KeyCaptions &captions)
{
    for (int i = 0; i < TableKeyCount; ++i) {
        const s_key &key = table[i];
        captions[i] = CapsSet(key) ? key.shift_char : QStringLiteral(" ") + CaptionBreak + key.norm_char;
    }
}

void ShowKeys(const KeyTableArray &table, KeyCaptions &captions, int state, int dbl, int caps)
{
    if (caps == 0 && dbl == 0 && state == 0) {
        ClearKeyCaptions(captions);
        return;
    }
    if (caps == 1) {
        ShowCapsView(table, captions);
        return;
    }
    if (dbl == 1) {
        if (state >= 1 && state <= 6)
            ShowDoubleView(table, captions, (state + 1) / 2);
        return;
    }
    ShowSingleView(table, captions, state);
}

void RefreshCaptions(const KeyTableArray &table, KeyCaptions &captions,
                     const ShiftStateSelection &selection)
{
    const auto checked = [&](int state) { return selection.radioChecked[state - 1]; };
    ShowKeys(table, captions, 0, 0, 0);
    if (selection.capsLockView) {
        ShowKeys(table, captions, 0, 0, 1);
        return;
    }
    if (selection.doubleView) {
        if (checked(1) || checked(2))
            ShowKeys(table, captions, 1, 1, 0);
        if (checked(3) || checked(4))
            ShowKeys(table, captions, 3, 1, 0);
        if (checked(5) || checked(6))
            ShowKeys(table, captions, 5, 1, 0);
        return;
    }
    for (int state = 1; state <= 6; ++state) {
        if (checked(state))
            ShowKeys(table, captions, state, 0, 0);
    }
}

KeyDeadLines DeadCaptionLines(const KeyTableArray &table, const ShiftStateSelection &selection)
{
    KeyDeadLines lines{};
    const auto dead = [&](int i, int state) { return DeadOf(table[i], ShiftState(state)).has_value(); };
    if (selection.capsLockView) {
        for (int i = 0; i < TableKeyCount; ++i) {
            if (CapsSet(table[i]))
                lines[i].upper = dead(i, int(ShiftState::Shift));
            else
                lines[i].lower = dead(i, int(ShiftState::Norm));
        }
        return lines;
    }
    // The last state checked draws, as in RefreshCaptions.
    int shown = 0;
    for (int state = 1; state <= 6; ++state) {
        if (selection.radioChecked[state - 1])
            shown = state;
    }
    if (shown == 0)
        return lines;
    const bool upperOnly = !selection.doubleView && shown % 2 == 0;
    const bool lowerOnly = !selection.doubleView && shown % 2 == 1;
    const int lower = shown % 2 == 1 ? shown : shown - 1;
    for (int i = 0; i < TableKeyCount; ++i) {
        lines[i].upper = !lowerOnly && dead(i, upperOnly ? shown : lower + 1);
        lines[i].lower = !upperOnly && dead(i, lower);
    }
    return lines;
}

CaptionLines SplitCaption(const QString &caption)
{
    const qsizetype at = caption.indexOf(CaptionBreak);
    const QString upper = at < 0 ? caption : caption.left(at);
    const QString lower = at < 0 ? QString() : caption.mid(at + CaptionBreak.size());
    return {ShownKeyText(upper), ShownKeyText(lower)};
}
