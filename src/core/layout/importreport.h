// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What an import could not carry, grouped by kind: a summary line per kind ("14 dead
// keys") and the details below it. Each kind keeps at most MaxDetailsPerKind details and
// counts the rest, so a file of a million bad lines gives a short report in little memory.
class ImportReport
{
public:
    static constexpr int MaxDetailsPerKind = 20;

    // kind and kinds name one thing and several ("dead key", "dead keys").
    void add(const QString &kind, const QString &kinds, const QString &detail);

    bool isEmpty() const { return m_kinds.isEmpty(); }
    // How many things were not carried, of every kind.
    qsizetype count() const;
    // One line per kind, in the order the kinds first came: "1 key without a cell".
    QStringList summary() const;
    // The details of each kind in turn, then "and N more <kinds>" where some were dropped.
    QStringList details() const;
    // The summary, then the details.
    QStringList lines() const;

private:
    struct Kind {
        QString one;
        QString many;
        qsizetype count = 0;
        QStringList details;
    };
    QList<Kind> m_kinds;
};
