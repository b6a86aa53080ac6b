// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

// One state's character field in the character table. Its text is shown as plain text
// with "&&" drawn as one ampersand, the way key texts store an ampersand; text() keeps
// exactly what was set.
class CharacterField : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit CharacterField(QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    // What the field draws.
    const QString &shownText() const { return m_shown; }

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QString m_shown;
};
