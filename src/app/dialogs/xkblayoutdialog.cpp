// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xkblayoutdialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int LayoutIndexRole = Qt::UserRole + 2;

} // namespace

XkbLayoutFilterModel::XkbLayoutFilterModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    sort(0);
}

void XkbLayoutFilterModel::setFilterWords(const QString &text)
{
    m_words = text.split(u' ', Qt::SkipEmptyParts);
    m_text = m_words.join(u' ');
    invalidate();
}

int XkbLayoutFilterModel::rank(const QModelIndex &sourceIndex) const
{
    if (m_text.isEmpty())
        return 2;
    const QString name = sourceIndex.siblingAtColumn(0).data(NameRole).toString();
    if (name.compare(m_text, Qt::CaseInsensitive) == 0)
        return 0;
    if (name.section(u'(', 0, 0).compare(m_text, Qt::CaseInsensitive) == 0)
        return 1;
    return 2;
}

bool XkbLayoutFilterModel::isExactName(const QModelIndex &proxyIndex) const
{
    return proxyIndex.isValid() && rank(mapToSource(proxyIndex)) == 0;
}

bool XkbLayoutFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int leftRank = rank(left);
    const int rightRank = rank(right);
    return leftRank != rightRank ? leftRank < rightRank : left.row() < right.row();
}

bool XkbLayoutFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QString text = sourceModel()->index(sourceRow, 0, sourceParent).data(SearchTextRole).toString();
    for (const QString &word : m_words) {
        if (!text.contains(word, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

XkbLayoutDialog::XkbLayoutDialog(const QList<XkbLayoutInfo> &layouts,
                                 const std::optional<XkbLayoutInfo> &preselected, QWidget *parent)
    : QDialog(parent)
    , m_layouts(layouts)
{
    setObjectName(QStringLiteral("XkbLayoutDialog"));
    setWindowTitle(QStringLiteral("Import system layout"));

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filterEdit"));
    m_filter->setPlaceholderText(QStringLiteral("Filter by name, description or language"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    auto *filterLabel = new QLabel(QStringLiteral("&Filter:"), this);
    filterLabel->setBuddy(m_filter);

    m_model = new QStandardItemModel(0, 3, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Layout"), QStringLiteral("Description"),
                                        QStringLiteral("Languages")});
    for (qsizetype i = 0; i < layouts.size(); ++i) {
        const XkbLayoutInfo &info = layouts[i];
        const QString languages = info.languages.join(QStringLiteral(", "));
        auto *name = new QStandardItem(info.fullName());
        name->setData(QStringList{info.fullName(), info.description, languages}.join(u' '),
                      XkbLayoutFilterModel::SearchTextRole);
        name->setData(info.fullName(), XkbLayoutFilterModel::NameRole);
        name->setData(int(i), LayoutIndexRole);
        QList<QStandardItem *> row = {name, new QStandardItem(info.description), new QStandardItem(languages)};
        for (QStandardItem *item : row)
            item->setEditable(false);
        m_model->appendRow(row);
    }
    // The session's layout and variant, else its layout without a variant.
    int preselectedRow = -1;
    if (preselected) {
        for (qsizetype i = 0; i < layouts.size() && preselectedRow < 0; ++i) {
            if (layouts[i].fullName() == preselected->fullName())
                preselectedRow = int(i);
        }
        for (qsizetype i = 0; i < layouts.size() && preselectedRow < 0; ++i) {
            if (layouts[i].layout == preselected->layout && layouts[i].variant.isEmpty())
                preselectedRow = int(i);
        }
    }

    m_proxy = new XkbLayoutFilterModel(this);
    m_proxy->setSourceModel(m_model);

    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("layoutView"));
    m_view->setModel(m_proxy);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAllColumnsShowFocus(true);
    m_view->header()->setStretchLastSection(true);
    m_view->setColumnWidth(0, 220);
    m_view->setColumnWidth(1, 300);
    connect(m_view, &QTreeView::activated, this, [this] {
        if (selectedLayout())
            accept();
    });

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName(QStringLiteral("buttonBox"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &XkbLayoutDialog::updateOk);
    connect(m_filter, &QLineEdit::textChanged, this, &XkbLayoutDialog::filterChanged);

    auto *layout = new QVBoxLayout(this);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter);
    layout->addLayout(filterRow);
    layout->addWidget(m_view);
    layout->addWidget(m_buttons);
    resize(720, 480);

    select(preselectedRow >= 0 ? m_proxy->mapFromSource(m_model->index(preselectedRow, 0)) : QModelIndex());
    m_filter->setFocus();
}

std::optional<XkbLayoutInfo> XkbLayoutDialog::selectedLayout() const
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid() || !m_view->selectionModel()->isRowSelected(current.row(), current.parent()))
        return std::nullopt;
    return m_layouts.value(current.siblingAtColumn(0).data(LayoutIndexRole).toInt());
}

void XkbLayoutDialog::select(const QModelIndex &proxyIndex)
{
    if (!proxyIndex.isValid()) {
        m_view->selectionModel()->clear();
        updateOk();
        return;
    }
    m_view->selectionModel()->setCurrentIndex(proxyIndex, QItemSelectionModel::ClearAndSelect
                                                              | QItemSelectionModel::Rows);
    m_view->scrollTo(proxyIndex, QAbstractItemView::PositionAtCenter);
    updateOk();
}

void XkbLayoutDialog::filterChanged(const QString &text)
{
    const std::optional<XkbLayoutInfo> before = selectedLayout();
    m_proxy->setFilterWords(text);
    // A layout of exactly that name is taken; else the selection stays where it is still
    // shown, else goes to the first row.
    const QModelIndex current = m_view->currentIndex();
    if (m_proxy->isExactName(m_proxy->index(0, 0)))
        select(m_proxy->index(0, 0));
    else if (before && current.isValid() && m_view->selectionModel()->isRowSelected(current.row(), current.parent()))
        m_view->scrollTo(current);
    else
        select(m_proxy->index(0, 0));
}

void XkbLayoutDialog::updateOk()
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(selectedLayout().has_value());
}

bool XkbLayoutDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The arrow and page keys in the filter field move through the list.
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_view, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
