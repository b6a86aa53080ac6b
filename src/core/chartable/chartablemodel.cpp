// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartablemodel.h"

#include "charnames.h"
#include "codepage.h"
#include "codetext.h"

namespace {

constexpr int LastDefaultCode = 255;
constexpr int LastUcs2Code = 0xFFFF;

int LastCode(CharSet charSet)
{
    return charSet == CharSet::Default ? LastDefaultCode : LastUcs2Code;
}

} // namespace

int CharTableRows(CharSet charSet)
{
    // (last - first + 1) / 32: 224 codes in 7 rows, 65504 codes in 2047 rows.
    return (LastCode(charSet) - FirstCharCode + 1) / CharTableColumns;
}

int CellCode(int row, int column)
{
    return FirstCharCode + row * CharTableColumns + column;
}

QString CellText(int code, CharSet charSet)
{
    if (code < FirstCharCode || code > LastCode(charSet))
        return {};
    if (charSet == CharSet::Default)
        return QString(AnsiByteToChar(static_cast<uchar>(code)));
    // Every code stands for itself, 32 to 255 included, so the Latin-1 letters have their
    // cells; surrogate and private-use units get cells of their own like any other.
    return QString(QChar(static_cast<char16_t>(code)));
}

int CellCodeOf(QChar character, CharSet charSet)
{
    if (charSet == CharSet::Ucs2)
        return character.unicode() >= FirstCharCode ? character.unicode() : -1;
    for (int code = FirstCharCode; code <= LastDefaultCode; ++code) {
        if (CellText(code, charSet).at(0) == character)
            return code;
    }
    return -1;
}

CharTableModel::CharTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void CharTableModel::setCharSet(CharSet charSet)
{
    const int rows = CharTableRows(charSet);
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    m_charSet = charSet;
    Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, CharTableColumns - 1),
                       {Qt::DisplayRole, Qt::ToolTipRole});
}

QModelIndex CharTableModel::indexOfCode(int code) const
{
    if (code < FirstCharCode)
        return {};
    return index((code - FirstCharCode) / CharTableColumns, (code - FirstCharCode) % CharTableColumns);
}

int CharTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int CharTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CharTableColumns;
}

QVariant CharTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int code = CellCode(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return CellText(code, m_charSet);
    case Qt::ToolTipRole:
        return CharToolTip(CellText(code, m_charSet).at(0).unicode());
    case CodeRole:
        return code;
    default:
        return {};
    }
}

Qt::ItemFlags CharTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
