// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers the widget tests share for finding, showing and clicking controls.

#include "chartablemodel.h"

#include <QAbstractButton>
#include <QTableView>
#include <QTest>

// The child of `parent` with this object name. A missing control ends the run at once:
// every later step would use it.
template <typename T>
T *Child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

// Shows a window and waits until it is on screen, so that clicks and keys reach it.
[[nodiscard]] inline bool ShowOnScreen(QWidget *window)
{
    window->show();
    return QTest::qWaitForWindowExposed(window);
}

// Clicks a button near its left edge, where a check box or radio button has its indicator.
inline void ClickButton(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// The cell of the character table's grid that shows this code.
inline QModelIndex IndexOfCode(const QAbstractItemModel *model, int code)
{
    return model->index((code - FirstCharCode) / CharTableColumns, (code - FirstCharCode) % CharTableColumns);
}

// Clicks a cell of a grid, scrolled into sight first.
inline void ClickCell(QTableView *grid, const QModelIndex &index, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = {})
{
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), button, modifiers, grid->visualRect(index).center());
}
