#pragma once

#include "keycell.h"

#include <QTest>
#include <QToolTip>

// Presses and releases a mouse button on key cell (or label) `number` of an editor window,
// the way a user does: on the panel that draws the cells.
inline void ClickKeyCell(QWidget *window, int number, Qt::MouseButton button = Qt::LeftButton)
{
    auto *panel = window->findChild<QWidget *>(QStringLiteral("Panel1"));
    auto *cell = window->findChild<KeyCell *>(QStringLiteral("TntStaticText%1").arg(number));
    QVERIFY(panel && cell);
    QTest::mouseClick(panel, button, {}, cell->geometry().center());
}
