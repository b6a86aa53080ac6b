// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class XkbTryState;

// The "Try layout" window: a text field (TryEdit) in which the physical keyboard types with
// the layout being edited, through the keymap the XKB export would write, compiled in
// memory, and through its compose text when it has dead keys. Each key goes in by its native scan code, which X11 and Wayland give as the XKB
// keycode. Keys outside the 48 keep their usual editing meaning. The line under the field
// (TryStatus) names the last key, its state and its character.
class TryWindow : public QWidget
{
    Q_OBJECT
public:
    // Types with the table, which it reads again on rebuild().
    explicit TryWindow(const KeyTableArray &table, QWidget *parent = nullptr);
    ~TryWindow() override;

    // The status line when the window system gives no scan codes.
    static const QString NoScanCodeMessage;

public Q_SLOTS:
    // Compiles the table anew; a failure shows in the status line and stops the typing.
    void rebuild();

Q_SIGNALS:
    // The key (1 to 49) that typed last; 0 when none is to be shown any more.
    void keyTyped(int number);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    bool keyPressed(const QKeyEvent *event);

    const KeyTableArray &m_table;
    std::unique_ptr<XkbTryState> m_state;
    QString m_error;  // why there is no keymap
    QLineEdit *TryEdit = nullptr;
    QLabel *TryStatus = nullptr;
};
