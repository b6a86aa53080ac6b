#include "chargridview.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

CharGridView::CharGridView(QWidget *parent)
    : QTableView(parent)
{
    setEditTriggers(NoEditTriggers);
    setSelectionMode(ContiguousSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
}

void CharGridView::keyboardSearch(const QString &)
{
}

void CharGridView::mousePressEvent(QMouseEvent *event)
{
    // Only the left button moves the current cell.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
    if (event->modifiers() & Qt::ShiftModifier)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index == currentIndex())
        Q_EMIT cellSelected(index);
}

void CharGridView::keyPressEvent(QKeyEvent *event)
{
    const QPersistentModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before && !(event->modifiers() & Qt::ShiftModifier))
        Q_EMIT cellSelected(after);
}
