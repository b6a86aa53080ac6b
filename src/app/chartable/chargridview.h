// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

// The character grid's view. A pick happens when a cell becomes the current cell by a
// left click (the current cell included) or by moving with the keyboard; a shift-click,
// a shift-move or a drag only extends the highlighted range.
class CharGridView : public QTableView
{
    Q_OBJECT
public:
    explicit CharGridView(QWidget *parent = nullptr);

    // Typing a character does not jump to a matching cell: that would pick it.
    void keyboardSearch(const QString &search) override;

Q_SIGNALS:
    void cellSelected(const QModelIndex &index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
