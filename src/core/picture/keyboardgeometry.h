// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRect>

#include <array>

// Where the editor draws the typing block, in pixels of its window: the 48 key cells, the
// ISO key's cell and the ten labels of the fixed keys. The picture export draws the same
// block, scaled.

constexpr int KeyCellHeight = 37;
constexpr int ZKey = 38;  // the first key of the lower letter row, right of the ISO key

// Cell of key `number` (1 to 49): rows of cells 31 wide and 33 apart; key 26 is wider. The
// ISO key sits left of Z, where the left Shift label ends on other keyboards.
QRect KeyCellRect(int number);

// The colour of key `number`'s cell; `infoBackground` stands for the keys drawn in the
// system's tooltip colour.
QColor KeyCellColour(int number, const QColor &infoBackground);

struct FixedKeyLabel {
    const char *caption;
    int left, top, width;
    QRect rect() const { return QRect(left, top, width, KeyCellHeight); }
};

// Tab, Caps Lock, Shift, Backspace, Enter, Shift, Ctrl, Alt, Alt Gr, Ctrl.
extern const std::array<FixedKeyLabel, 10> FixedKeyLabels;
constexpr int LeftShiftLabel = 2;

// The labels with the ISO key or without: with it, the left Shift is shortened to make room,
// as on an ISO keyboard.
std::array<FixedKeyLabel, 10> FixedKeyLabelsFor(bool isoKey);

// The rectangle that holds every cell and label.
QRect KeyboardBounds();
