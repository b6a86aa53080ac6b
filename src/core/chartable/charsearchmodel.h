// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "charsearch.h"

#include <QAbstractTableModel>

// The rows of a character search: the character, its four-digit code and its name. When
// nothing is found, one row that cannot be chosen says why.
class CharSearchModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { CharacterColumn, CodeColumn, NameColumn, ColumnCount };
    // The row's code point as an int; nothing on the notice row.
    static constexpr int CodeRole = Qt::UserRole;

    explicit CharSearchModel(QObject *parent = nullptr);

    void setResult(const CharSearchResult &result);
    const CharSearchResult &result() const { return m_result; }
    // Whether the one row is the notice.
    bool isNotice() const { return m_result.matches.isEmpty() && !m_result.notice.isEmpty(); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    CharSearchResult m_result;
};
