// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogtitle.h"

#include "dialogseam.h"

namespace {

QString currentAction;

} // namespace

DialogTitle::DialogTitle(const QString &action)
    : m_previous(currentAction)
{
    currentAction = action;
}

DialogTitle::~DialogTitle()
{
    currentAction = m_previous;
}

QString DialogTitle::current()
{
    if (currentAction.isEmpty())
        return ApplicationTitle;
    return currentAction + QStringLiteral(" - ") + ApplicationTitle;
}
