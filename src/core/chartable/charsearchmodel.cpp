// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "charsearchmodel.h"

#include "charnames.h"
#include "codetext.h"

CharSearchModel::CharSearchModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void CharSearchModel::setResult(const CharSearchResult &result)
{
    beginResetModel();
    m_result = result;
    endResetModel();
}

int CharSearchModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return isNotice() ? 1 : int(m_result.matches.size());
}

int CharSearchModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CharSearchModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (isNotice()) {
        if ((role == Qt::DisplayRole || role == Qt::ToolTipRole) && index.column() == CharacterColumn)
            return m_result.notice;
        return {};
    }
    const CharMatch &match = m_result.matches.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case CharacterColumn:
            return ShownCharacter(CodePointText(match.code));
        case CodeColumn:
            return CodeText(match.code);
        default:
            return match.name;
        }
    case Qt::ToolTipRole:
        return UnicodeLabel(match.code) + u' ' + match.name;
    case CodeRole:
        return int(match.code);
    default:
        return {};
    }
}

Qt::ItemFlags CharSearchModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || isNotice())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
