// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keycell.h"
#include "windowtest.h"

#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <QToolTip>

// What separates the Shift text above from the Norm text below in a key cell's caption.
inline const QString CellBreak = QStringLiteral("\n\r");

// Key cell (or label) `number` of an editor window.
inline KeyCell *KeyCellOf(const QWidget *window, int number)
{
    return Child<KeyCell>(window, QStringLiteral("TntStaticText%1").arg(number));
}

// Presses and releases a mouse button on key cell (or label) `number` of an editor window,
// the way a user does: on the panel that draws the cells.
inline void ClickKeyCell(QWidget *window, int number, Qt::MouseButton button = Qt::LeftButton)
{
    auto *panel = window->findChild<QWidget *>(QStringLiteral("Panel1"));
    auto *cell = window->findChild<KeyCell *>(QStringLiteral("TntStaticText%1").arg(number));
    QVERIFY(panel && cell);
    QTest::mouseClick(panel, button, {}, cell->geometry().center());
}

// Runs an item of the editor window's popup menu. Its handler is queued, so the events are
// processed before this returns (an OperationError then reaches the application's handler).
inline void TriggerMenuItem(QWidget *window, const char *item)
{
    auto *action = window->findChild<QAction *>(QString::fromLatin1(item));
    QVERIFY(action);
    action->trigger();
    QCoreApplication::processEvents();
}
