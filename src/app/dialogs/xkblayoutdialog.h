// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "xkbregistry.h"

#include <QDialog>
#include <QSortFilterProxyModel>

#include <optional>

class QDialogButtonBox;
class QLineEdit;
class QStandardItemModel;
class QTreeView;

// Keeps the rows whose name, description or languages hold every word of the filter,
// in any case. A row whose name is the filter comes first, then the layout's variants,
// then the rest in the source's order: "de" puts de on top, not us(intl) for its "dead keys".
class XkbLayoutFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    // The role of column 0 that holds the text the filter searches.
    static constexpr int SearchTextRole = Qt::UserRole + 1;
    // The role of column 0 that holds the layout's full name, "de(neo)".
    static constexpr int NameRole = Qt::UserRole + 3;

    explicit XkbLayoutFilterModel(QObject *parent = nullptr);
    void setFilterWords(const QString &text);
    // Whether the row's name is the filter text, in any case.
    bool isExactName(const QModelIndex &proxyIndex) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    // 0 for the name itself, 1 for a variant of that layout, 2 for any other row.
    int rank(const QModelIndex &sourceIndex) const;

    QStringList m_words;
    QString m_text;
};

// The list of the XKB database's layouts and variants with a filter field: the user picks
// the layout to import. Enter or OK takes the selected row.
class XkbLayoutDialog : public QDialog
{
    Q_OBJECT
public:
    XkbLayoutDialog(const QList<XkbLayoutInfo> &layouts, const std::optional<XkbLayoutInfo> &preselected,
                    QWidget *parent = nullptr);

    // The selected layout; nothing when no row is selected.
    std::optional<XkbLayoutInfo> selectedLayout() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void select(const QModelIndex &proxyIndex);
    void filterChanged(const QString &text);
    void updateOk();

    QList<XkbLayoutInfo> m_layouts;
    QLineEdit *m_filter = nullptr;
    QTreeView *m_view = nullptr;
    QStandardItemModel *m_model = nullptr;
    XkbLayoutFilterModel *m_proxy = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};
