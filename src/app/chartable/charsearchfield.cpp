// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "charsearchfield.h"

#include "charsearchmodel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QShortcut>
#include <QTreeView>

#include <algorithm>

namespace {

constexpr int MaxTextLength = 128;
constexpr int ListWidth = 440;
constexpr int ListRowsShown = 12;
constexpr int CharacterColumnWidth = 30;
constexpr int CodeColumnWidth = 44;

} // namespace

CharSearchField::CharSearchField(QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(QStringLiteral("SearchEdit"));
    setPlaceholderText(QStringLiteral("Find: name, U+20AC or the character"));
    setToolTip(QStringLiteral("Find a character by words of its name, by its code or by the "
                              "character itself (Ctrl+F)"));
    setClearButtonEnabled(true);
    // Unicode's longest name has 88 characters; a longer text finds nothing and would only
    // cost time on every keystroke.
    setMaxLength(MaxTextLength);

    m_model = new CharSearchModel(this);
    connect(this, &QLineEdit::textChanged, this, &CharSearchField::search);

    auto *find = new QShortcut(QKeySequence::Find, window());
    connect(find, &QShortcut::activated, this, [this] {
        setFocus(Qt::ShortcutFocusReason);
        selectAll();
    });
}

bool CharSearchField::isListShown() const
{
    return m_list && m_list->isVisible();
}

void CharSearchField::hideList()
{
    if (m_list)
        m_list->hide();
}

QTreeView *CharSearchField::list()
{
    if (m_list)
        return m_list;
    // Made at the first search, so that opening the window does not pay for it. A child
    // of the window, not a window of its own: it takes neither the focus nor the keyboard
    // from the field and cannot outlive it.
    m_list = new QTreeView(window());
    m_list->setObjectName(QStringLiteral("SearchList"));
    m_list->setModel(m_model);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setItemsExpandable(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setMinimumSectionSize(1);
    m_list->header()->resizeSection(CharSearchModel::CharacterColumn, CharacterColumnWidth);
    m_list->header()->resizeSection(CharSearchModel::CodeColumn, CodeColumnWidth);
    m_list->header()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->header()->setSectionResizeMode(CharSearchModel::NameColumn, QHeaderView::Stretch);
    m_list->setMouseTracking(true);
    m_list->viewport()->setMouseTracking(true);
    m_list->hide();
    connect(m_list, &QAbstractItemView::clicked, this, &CharSearchField::choose);
    // The row under the mouse becomes the current one, as in a drop-down list.
    connect(m_list, &QAbstractItemView::entered, m_list, [this](const QModelIndex &index) {
        if (index.flags() & Qt::ItemIsSelectable)
            m_list->setCurrentIndex(index);
    });
    return m_list;
}

void CharSearchField::search(const QString &text)
{
    const CharQuery query = ParseCharQuery(text);
    if (query == CharQuery{}) {
        m_model->setResult({});
        hideList();
        return;
    }
    m_model->setResult(m_finder.find(query));
    if (m_model->isNotice())
        list()->setFirstColumnSpanned(0, {}, true);
    else
        list()->setCurrentIndex(m_model->index(0, 0));
    if (hasFocus())
        showList();
}

void CharSearchField::showList()
{
    if (m_model->rowCount() == 0)
        return;
    // Under the field, its right edges flush, wide enough for long names and inside the
    // window.
    QTreeView *view = list();
    QWidget *window = view->parentWidget();
    const QRect field(mapTo(window, QPoint(0, 0)), size());
    const int width = std::min(std::max(ListWidth, field.width()), window->width() - 8);
    const int left = std::clamp(field.right() + 1 - width, 4, window->width() - 4 - width);
    const int rowHeight = std::max(view->sizeHintForRow(0), 1);
    const int frame = 2 * view->frameWidth();
    const int room = window->height() - 4 - field.bottom() - 1;
    const int height = std::min(std::min(m_model->rowCount(), ListRowsShown) * rowHeight + frame, room);
    view->setGeometry(left, field.bottom() + 1, width, height);
    view->show();
    view->raise();
}

void CharSearchField::moveCurrent(int rows)
{
    if (m_model->isNotice())
        return;
    const int last = m_model->rowCount() - 1;
    const int row = std::clamp(m_list->currentIndex().row() + rows, 0, last);
    const QModelIndex index = m_model->index(row, 0);
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
}

void CharSearchField::choose(const QModelIndex &index)
{
    if (!index.isValid() || !(index.flags() & Qt::ItemIsSelectable))
        return;
    const auto code = char32_t(index.data(CharSearchModel::CodeRole).toInt());
    hideList();
    Q_EMIT characterChosen(code);
}

void CharSearchField::keyPressEvent(QKeyEvent *event)
{
    const int page = std::max(ListRowsShown - 1, 1);
    if (isListShown()) {
        switch (event->key()) {
        case Qt::Key_Down:
            moveCurrent(1);
            return;
        case Qt::Key_Up:
            moveCurrent(-1);
            return;
        case Qt::Key_PageDown:
            moveCurrent(page);
            return;
        case Qt::Key_PageUp:
            moveCurrent(-page);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            choose(m_list->currentIndex());
            return;
        case Qt::Key_Escape:
            hideList();
            return;
        default:
            break;
        }
    } else if (m_model->rowCount() > 0) {
        switch (event->key()) {
        case Qt::Key_Down:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            showList();
            return;
        default:
            break;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CharSearchField::hideEvent(QHideEvent *event)
{
    // A window closed with the list open opens again without it.
    hideList();
    QLineEdit::hideEvent(event);
}

void CharSearchField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // Typing is likely to follow: the names are read now, once the field has painted its
    // focus, rather than at the first keystroke. A key typed sooner reads them itself.
    if (!m_finder.isIndexed())
        QMetaObject::invokeMethod(this, [this] { m_finder.readNames(); }, Qt::QueuedConnection);
}

void CharSearchField::focusOutEvent(QFocusEvent *event)
{
    // The field's own context menu takes the focus for a moment; anything else closes
    // the list.
    if (event->reason() != Qt::PopupFocusReason)
        hideList();
    QLineEdit::focusOutEvent(event);
}
