#include "keyboardpanel.h"

#include "keycell.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

KeyboardPanel::KeyboardPanel(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
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
        if (cell->geometry().contains(pos))
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
        if (!event->rect().intersects(r))
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
        painter.fillRect(r.adjusted(1, 1, -1, -1),
                         highlighted ? palette().color(QPalette::Highlight) : cell->colour());
        if (cell->upperLine().isEmpty() && cell->lowerLine().isEmpty())
            continue;
        painter.setPen(palette().color(highlighted ? QPalette::HighlightedText : QPalette::WindowText));
        painter.setFont(cell->font());
        const QFontMetrics metrics(cell->font());
        painter.save();
        painter.setClipRect(r.adjusted(1, 1, -1, -1));
        const QPoint baseline(r.left() + 3, r.top() + 2 + metrics.ascent());
        painter.drawText(baseline, cell->upperLine());
        painter.drawText(baseline + QPoint(0, metrics.height()), cell->lowerLine());
        painter.restore();
    }
}

void KeyboardPanel::mousePressEvent(QMouseEvent *event)
{
    if (KeyCell *cell = cellAt(event->position().toPoint())) {
        QToolTip::hideText();
        Q_EMIT cell->mousePressed(event->button());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
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
