// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "importreport.h"

#include <algorithm>

void ImportReport::add(const QString &kind, const QString &kinds, const QString &detail)
{
    auto it = std::find_if(m_kinds.begin(), m_kinds.end(), [&kind](const Kind &k) { return k.one == kind; });
    if (it == m_kinds.end())
        it = m_kinds.insert(m_kinds.end(), Kind{kind, kinds, 0, {}});
    if (it->details.size() < MaxDetailsPerKind)
        it->details.append(detail);
    ++it->count;
}

qsizetype ImportReport::count() const
{
    qsizetype total = 0;
    for (const Kind &kind : m_kinds)
        total += kind.count;
    return total;
}

QStringList ImportReport::summary() const
{
    QStringList lines;
    for (const Kind &kind : m_kinds)
        lines << QStringLiteral("%1 %2").arg(kind.count).arg(kind.count == 1 ? kind.one : kind.many);
    return lines;
}

QStringList ImportReport::details() const
{
    QStringList lines;
    for (const Kind &kind : m_kinds) {
        lines += kind.details;
        if (kind.count > kind.details.size())
            lines << QStringLiteral("and %1 more %2").arg(kind.count - kind.details.size()).arg(kind.many);
    }
    return lines;
}

QStringList ImportReport::lines() const
{
    return summary() + details();
}
