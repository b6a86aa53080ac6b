// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "layoutchange.h"

LayoutChange::LayoutChange(const QString &text, LayoutSnapshot before, LayoutSnapshot after, Restore restore)
    : QUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)), m_restore(std::move(restore))
{
}

void LayoutChange::undo()
{
    m_restore(m_before);
    m_done = false;
}

void LayoutChange::redo()
{
    if (!m_done)
        m_restore(m_after);
    m_done = true;
}
