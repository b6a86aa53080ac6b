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
// in any case.
class XkbLayoutFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    // The role of column 0 that holds the text the filter searches.
    static constexpr int SearchTextRole = Qt::UserRole + 1;

    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setFilterWords(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QStringList m_words;
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
