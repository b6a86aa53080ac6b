// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QWidget>

class KeyCell;

// The panel that fills the editor window and draws the keyboard picture: it paints its
// KeyCells, passes mouse presses on them to the cells and shows their hints. Its context
// menu opens anywhere but on a cell that takes presses. From the keyboard, the arrow keys
// move a focus frame between the cells that take presses and Enter or Space presses one.
class KeyboardPanel : public QWidget
{
    Q_OBJECT
public:
    explicit KeyboardPanel(QWidget *parent = nullptr);

    KeyCell *addCell(const QString &name, const QRect &geometry, const QColor &colour,
                     const QFont &font, QFrame::Shadow bevel);
    // The cell at a point of the panel, or nullptr.
    KeyCell *cellAt(const QPoint &pos) const;
    // The cell with the focus frame: the one the keyboard presses.
    KeyCell *currentCell() const { return m_current; }
    void setCurrentCell(KeyCell *cell);
    // Where and with which button the last press on a cell was made; no button when the
    // keyboard pressed it.
    Qt::MouseButton lastPressButton() const { return m_lastPressButton; }
    QPoint lastPressGlobalPos() const { return m_lastPressGlobalPos; }

    // How long a hint stays, in milliseconds; hints appear at once.
    static constexpr int HintDisplayTime = 5000;

protected:
    bool event(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showHint(KeyCell *cell, const QPoint &globalPos);
    // The nearest cell that takes presses in the direction of an arrow key, or nullptr.
    KeyCell *neighbour(const KeyCell *from, int key) const;

    QList<KeyCell *> m_cells;
    KeyCell *m_hinted = nullptr;
    KeyCell *m_current = nullptr;
    Qt::MouseButton m_lastPressButton = Qt::NoButton;
    QPoint m_lastPressGlobalPos;
};
