#pragma once

#include <QColor>
#include <QRect>

#include <array>

// Where the editor draws the typing block, in pixels of its window: the 48 key cells and
// the ten labels of the fixed keys. The picture export draws the same block, scaled.

constexpr int KeyCellHeight = 37;

// Cell of key `number` (1 to 48): rows of cells 31 wide and 33 apart; key 26 is wider.
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

// The rectangle that holds every cell and label.
QRect KeyboardBounds();
