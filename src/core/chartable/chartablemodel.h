// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QString>

// The two character sets the character table offers.
enum class CharSet {
    Default,  // the codes 32 to 255 as single bytes of the program's 8-bit code page
    Ucs2,     // the codes 32 to 65535 as UTF-16 units
};

constexpr int CharTableColumns = 32;
// The first cell holds the blank; every later cell the next code.
constexpr int FirstCharCode = 32;

// 7 rows for " Default " (codes 32 to 255), 2047 for " UCS-2 " (codes 32 to 65535).
int CharTableRows(CharSet charSet);
// The code of a cell, counted from the blank at row 0, column 0. Not range-checked.
int CellCode(int row, int column);
// The text of the cell holding a code: one character, or nothing outside the set's codes.
QString CellText(int code, CharSet charSet);
// The code of the cell that shows this character in the set, or -1 when none does.
int CellCodeOf(QChar character, CharSet charSet);

// The character grid. It holds only the character set and computes every cell when the
// view asks, so the 65,504 cells of " UCS-2 " cost nothing until they are painted.
class CharTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The cell's code as an int, so callers never read it back from the text.
    static constexpr int CodeRole = Qt::UserRole;
    // Qt::ToolTipRole gives the shown character's code and name, or what it is when it
    // has no name: "U+0410 CYRILLIC CAPITAL LETTER A", "U+E000 private use".

    explicit CharTableModel(QObject *parent = nullptr);

    CharSet charSet() const { return m_charSet; }
    // Sets the row count for the set and rewrites every cell text. Rows that stay keep
    // their place, so the view's current cell and scroll position survive a switch.
    void setCharSet(CharSet charSet);

    // The cell of a code of the set; an invalid index for any other code.
    QModelIndex indexOfCode(int code) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    CharSet m_charSet = CharSet::Default;
    int m_rows = CharTableRows(CharSet::Default);
};
