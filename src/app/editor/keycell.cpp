// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keycell.h"

#include "keyviews.h"

#include <QWidget>

KeyCell::KeyCell(QWidget *panel, const QRect &geometry, const QColor &colour,
                 const QFont &font, QFrame::Shadow bevel)
    : QObject(panel), m_panel(panel), m_geometry(geometry), m_colour(colour), m_font(font),
      m_bevel(bevel)
{
}

void KeyCell::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    const CaptionLines lines = SplitCaption(caption);
    m_upper = lines.upper;
    m_lower = lines.lower;
    m_panel->update(m_geometry);
}

void KeyCell::setHighlighted(bool highlighted)
{
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    m_panel->update(m_geometry);
}

void KeyCell::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    m_panel->update(m_geometry);
}

void KeyCell::setGeometry(const QRect &geometry)
{
    if (geometry == m_geometry)
        return;
    m_panel->update(m_geometry);
    m_geometry = geometry;
    m_panel->update(m_geometry);
}

void KeyCell::setDeadLines(CaptionDeadLines lines)
{
    if (lines == m_deadLines)
        return;
    m_deadLines = lines;
    m_panel->update(m_geometry);
}

void KeyCell::setHint(const QString &hint)
{
    m_hint = hint;
}

QString KeyCell::toolTip() const
{
    if (m_hint.isEmpty())
        return QString();
    // Rich text only so that blanks and line ends are kept; the hint itself is escaped,
    // so "<" or "&" in a key character stays a character.
    QStringList lines = m_hint.split(CaptionBreak);
    for (QString &line : lines)
        line = line.toHtmlEscaped();
    return QStringLiteral("<p style='white-space:pre'>") + lines.join(QStringLiteral("<br>"))
        + QStringLiteral("</p>");
}
