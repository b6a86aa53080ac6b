// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"
#include "klcfile.h"

#include <QString>
#include <QUndoCommand>

#include <array>
#include <functional>
#include <optional>

// Everything the editor holds of a layout, by value: what an undo step puts back.
struct LayoutSnapshot {
    KeyTableArray table{};
    std::array<QString, TableKeyCount> hints;
    // Whether the editor shows the ISO key's cell; it always does while the key is used.
    bool isoKeyShown = false;
    // The picture's title and the header texts the KLC export starts from.
    QString layoutName;
    std::optional<KlcProperties> importedKlcProperties;
    QStringList importedLanguages;
};

// One change of the layout on the editor's undo stack: the layout before and after it.
// The change itself is made before the step is pushed; undo and redo restore a snapshot.
class LayoutChange : public QUndoCommand
{
public:
    using Restore = std::function<void(const LayoutSnapshot &)>;
    LayoutChange(const QString &text, LayoutSnapshot before, LayoutSnapshot after, Restore restore);

    void undo() override;
    void redo() override;

private:
    LayoutSnapshot m_before;
    LayoutSnapshot m_after;
    Restore m_restore;
    // QUndoStack::push runs redo(); the change is already made then.
    bool m_done = true;
};
