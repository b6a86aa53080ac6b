// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboardpanel.h"

#include "keycell.h"
#include "textcolour.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cstdlib>

KeyboardPanel::KeyboardPanel(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

KeyCell *KeyboardPanel::addCell(const QString &name, const QRect &geometry, const QColor &colour,
                                const QFont &font, QFrame::Shadow bevel)
{
    auto *cell = new KeyCell(this, geometry, colour, font, bevel);
    cell->setObjectName(name);
    m_cells.append(cell);
    return cell;
}

KeyCell *KeyboardPanel::cellAt(const QPoint &pos) const
{
    for (KeyCell *cell : m_cells) {
        if (cell->isVisible() && cell->geometry().contains(pos))
            return cell;
    }
    return nullptr;
}

void KeyboardPanel::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    painter.setPen(palette().color(QPalette::WindowText));
    for (const KeyCell *cell : std::as_const(m_cells)) {
        const QRect r = cell->geometry();
        if (!cell->isVisible() || !event->rect().intersects(r))
            continue;
        // A one-pixel bevel, raised or sunken, drawn as solid rectangles: the fast path.
        const bool sunken = cell->bevel() == QFrame::Sunken;
        const QColor &topLeft = sunken ? dark : light;
        const QColor &bottomRight = sunken ? light : dark;
        painter.fillRect(r.left(), r.top(), r.width(), 1, topLeft);
        painter.fillRect(r.left(), r.top(), 1, r.height(), topLeft);
        painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
        painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
        const bool highlighted = cell->isHighlighted();
        const QColor fill = highlighted ? palette().color(QPalette::Highlight) : cell->colour();
        painter.fillRect(r.adjusted(1, 1, -1, -1), fill);
        const QColor text = ReadableTextColour(
            fill, palette(), highlighted ? QPalette::HighlightedText : QPalette::WindowText);
        if (cell == m_current && hasFocus()) {
            painter.save();
            painter.setPen(QPen(text, 1, Qt::DotLine));
            painter.drawRect(r.adjusted(2, 2, -3, -3));
            painter.restore();
        }
        if (cell->upperLine().isEmpty() && cell->lowerLine().isEmpty())
            continue;
        painter.setPen(text);
        painter.setFont(cell->font());
        const QFontMetrics metrics(cell->font());
        painter.save();
        painter.setClipRect(r.adjusted(1, 1, -1, -1));
        const QPoint baseline(r.left() + 3, r.top() + 2 + metrics.ascent());
        painter.drawText(baseline, cell->upperLine());
        painter.drawText(baseline + QPoint(0, metrics.height()), cell->lowerLine());
        // A dead key's character stands in a dotted frame, as in the picture.
        const auto frameDead = [&](const QString &line, int top) {
            painter.setPen(QPen(text, 1, Qt::DotLine));
            painter.drawRect(r.left() + 1, top, metrics.horizontalAdvance(line) + 3, metrics.height() - 1);
        };
        if (cell->deadLines().upper)
            frameDead(cell->upperLine(), r.top() + 2);
        if (cell->deadLines().lower)
            frameDead(cell->lowerLine(), r.top() + 2 + metrics.height());
        painter.restore();
    }
}

void KeyboardPanel::mousePressEvent(QMouseEvent *event)
{
    if (KeyCell *cell = cellAt(event->position().toPoint())) {
        QToolTip::hideText();
        if (cell->takesPresses())
            setCurrentCell(cell);
        m_lastPressButton = event->button();
        m_lastPressGlobalPos = event->globalPosition().toPoint();
        Q_EMIT cell->mousePressed(event->button());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void KeyboardPanel::setCurrentCell(KeyCell *cell)
{
    if (cell == m_current)
        return;
    if (m_current)
        update(m_current->geometry());
    m_current = cell;
    if (m_current)
        update(m_current->geometry());
}

void KeyboardPanel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (KeyCell *next = neighbour(m_current, event->key()))
            setCurrentCell(next);
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_current && !event->isAutoRepeat()) {
            m_lastPressButton = Qt::NoButton;
            Q_EMIT m_current->mousePressed(Qt::LeftButton);
        }
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

KeyCell *KeyboardPanel::neighbour(const KeyCell *from, int key) const
{
    KeyCell *best = nullptr;
    if (!from) {
        // No frame yet: the first cell that takes presses.
        for (KeyCell *cell : m_cells) {
            if (cell->takesPresses() && cell->isVisible())
                return cell;
        }
        return nullptr;
    }
    const QPoint origin = from->geometry().center();
    const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
    const int sign = key == Qt::Key_Left || key == Qt::Key_Up ? -1 : 1;
    qint64 bestScore = 0;
    for (KeyCell *cell : m_cells) {
        if (cell == from || !cell->takesPresses() || !cell->isVisible())
            continue;
        const QPoint d = cell->geometry().center() - origin;
        const int along = sign * (horizontal ? d.x() : d.y());
        const int across = std::abs(horizontal ? d.y() : d.x());
        // Left and right stay in the row; up and down take the nearest cell of the next row.
        if (along <= 0 || (horizontal && across >= from->geometry().height() / 2))
            continue;
        const qint64 score = horizontal ? along : qint64(along) * 4 + across;
        if (!best || score < bestScore) {
            best = cell;
            bestScore = score;
        }
    }
    return best;
}

void KeyboardPanel::focusInEvent(QFocusEvent *event)
{
    if (!m_current)
        setCurrentCell(neighbour(nullptr, 0));
    else
        update(m_current->geometry());
    QWidget::focusInEvent(event);
}

void KeyboardPanel::focusOutEvent(QFocusEvent *event)
{
    if (m_current)
        update(m_current->geometry());
    QWidget::focusOutEvent(event);
}

void KeyboardPanel::mouseMoveEvent(QMouseEvent *event)
{
    // Hints appear as soon as the pointer enters a cell, not after the usual delay.
    KeyCell *cell = cellAt(event->position().toPoint());
    if (cell != m_hinted)
        showHint(cell, event->globalPosition().toPoint());
    QWidget::mouseMoveEvent(event);
}

bool KeyboardPanel::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        showHint(cellAt(help->pos()), help->globalPos());
        return true;
    }
    if (event->type() == QEvent::Leave)
        m_hinted = nullptr;
    if (event->type() == QEvent::ContextMenu) {
        // The window system sends a right press's context-menu event after the press has
        // been handled, that is after the key's modal edit has ended; the press was the
        // key's, so the panel's popup menu stays closed.
        const auto *menu = static_cast<QContextMenuEvent *>(event);
        const KeyCell *cell = cellAt(menu->pos());
        if (menu->reason() == QContextMenuEvent::Mouse && cell && cell->takesPresses()) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void KeyboardPanel::showHint(KeyCell *cell, const QPoint &globalPos)
{
    m_hinted = cell;
    const QString tip = cell ? cell->toolTip() : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, tip, this, cell->geometry(), HintDisplayTime);
}
