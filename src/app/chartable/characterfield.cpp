// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterfield.h"

#include "keytexts.h"

#include <QMouseEvent>
#include <QPainter>

CharacterField::CharacterField(QWidget *parent)
    : QFrame(parent)
{
    setAutoFillBackground(true);
}

void CharacterField::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_shown = ShownKeyText(text);
    update();
}

void CharacterField::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mousePressed(event->button());
    event->accept();
}

void CharacterField::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextSingleLine, m_shown);
}
