// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keyviews.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QObject>
#include <QRect>

class QWidget;

// A static text cell of the keyboard picture: a key cell or a fixed-key label. Cells are
// light objects that their KeyboardPanel draws and hit-tests, so the window starts as fast
// as a bare one. The caption is plain text in two lines: the part before the first "\n\r"
// on the upper line, the rest on the lower one; "&&" is drawn as one ampersand. The hint
// is the cell's tooltip, each "\n\r"-separated line on a line of its own.
class KeyCell : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QString hint READ hint WRITE setHint)
    Q_PROPERTY(QRect geometry READ geometry)
    Q_PROPERTY(bool highlighted READ isHighlighted WRITE setHighlighted)
public:
    KeyCell(QWidget *panel, const QRect &geometry, const QColor &colour, const QFont &font,
            QFrame::Shadow bevel);

    const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption);
    const QString &hint() const { return m_hint; }
    void setHint(const QString &hint);
    // The hint as the tooltip shows it; empty when there is no hint.
    QString toolTip() const;
    // Whether each caption line shows a dead key, which the panel frames with dots.
    CaptionDeadLines deadLines() const { return m_deadLines; }
    void setDeadLines(CaptionDeadLines lines);
    // Drawn in the highlight colours: the key that typed last in the try window.
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);

    // Whether a press on the cell is the cell's own (it opens the key for editing). The panel
    // then opens no popup menu for the press.
    bool takesPresses() const { return m_takesPresses; }
    void setTakesPresses(bool takes) { m_takesPresses = takes; }

    // A hidden cell is neither drawn nor pressed nor hinted.
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    QRect geometry() const { return m_geometry; }
    void setGeometry(const QRect &geometry);
    QColor colour() const { return m_colour; }
    QFont font() const { return m_font; }
    QFrame::Shadow bevel() const { return m_bevel; }
    const QString &upperLine() const { return m_upper; }
    const QString &lowerLine() const { return m_lower; }

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);

private:
    QWidget *m_panel;  // the panel that draws the cell
    QRect m_geometry;
    QColor m_colour;
    QFont m_font;
    QFrame::Shadow m_bevel;
    QString m_caption;
    QString m_hint;
    QString m_upper;
    QString m_lower;
    bool m_takesPresses = false;
    bool m_highlighted = false;
    CaptionDeadLines m_deadLines;
    bool m_visible = true;
};
