// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboardgeometry.h"

#include "keytable.h"

namespace {

constexpr QRgb clSilver = qRgb(192, 192, 192);
constexpr QRgb clSkyBlue = qRgb(166, 202, 240);
constexpr QRgb clMoneyGreen = qRgb(192, 220, 192);
constexpr QRgb clAqua = qRgb(0, 255, 255);
constexpr QRgb clCream = qRgb(255, 251, 240);

} // namespace

const std::array<FixedKeyLabel, 10> FixedKeyLabels = {{
    {"Tab", 45, 57, 41},    {"CLock", 45, 99, 53}, {"Shift", 45, 141, 74},
    {"<--", 477, 15, 49},   {"Enter", 468, 99, 61}, {"Shift", 456, 141, 73},
    {"Ctrl", 45, 183, 50},  {"Alt", 126, 183, 46}, {"Alt Gr", 393, 183, 46},
    {"Ctrl", 480, 180, 49},
}};

QRect KeyCellRect(int number)
{
    struct Row { int first, last, top, left; };
    constexpr Row rows[] = {{1, 13, 15, 45}, {14, 26, 57, 90}, {27, 37, 99, 102}, {38, 47, 141, 123}};
    if (number == SpaceKey)
        return QRect(180, 183, 202, KeyCellHeight);
    if (number == IsoKey)
        return QRect(123 - 33, 141, 31, KeyCellHeight);
    for (const Row &row : rows) {
        if (number >= row.first && number <= row.last)
            return QRect(row.left + 33 * (number - row.first), row.top, number == 26 ? 40 : 31,
                         KeyCellHeight);
    }
    Q_UNREACHABLE();
}

QColor KeyCellColour(int number, const QColor &infoBackground)
{
    switch (number) {
    case 1: case 26: case IsoKey:
        return QColor(clSilver);
    case 2: case 3: case 8: case 9: case 14: case 19: case 20: case 27: case 32: case 33:
    case 38: case 43: case 44:
        return QColor(clSkyBlue);
    case 4: case 10: case 15: case 21: case 28: case 34: case 39: case 45:
        return infoBackground;  // clInfoBk
    case 5: case 11: case 16: case 22: case 29: case 35: case 40: case 46:
        return QColor(clMoneyGreen);
    case SpaceKey:
        return QColor(clCream);
    default:
        return QColor(clAqua);
    }
}

std::array<FixedKeyLabel, 10> FixedKeyLabelsFor(bool isoKey)
{
    std::array<FixedKeyLabel, 10> labels = FixedKeyLabels;
    if (isoKey) {
        // The gap the long Shift leaves before Z, kept before the ISO key.
        FixedKeyLabel &shift = labels[LeftShiftLabel];
        const int gap = KeyCellRect(ZKey).left() - (shift.left + shift.width);
        shift.width = KeyCellRect(IsoKey).left() - gap - shift.left;
    }
    return labels;
}

QRect KeyboardBounds()
{
    QRect bounds;
    for (int number = 1; number <= KeyCount; ++number)
        bounds |= KeyCellRect(number);
    for (const FixedKeyLabel &label : FixedKeyLabels)
        bounds |= label.rect();
    return bounds;
}
