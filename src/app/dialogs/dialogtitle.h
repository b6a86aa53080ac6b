// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Names the action that the dialogs asked while it lives belong to ("Uninstall"): their
// title bars say "Uninstall - Tavo" rather than only "Tavo". Scopes nest; the innermost
// one names the dialogs.
class DialogTitle
{
public:
    explicit DialogTitle(const QString &action);
    ~DialogTitle();
    DialogTitle(const DialogTitle &) = delete;
    DialogTitle &operator=(const DialogTitle &) = delete;

    // The title of a dialog asked now: the action's name and the application's, or the
    // application's alone outside every scope.
    static QString current();

private:
    QString m_previous;
};
