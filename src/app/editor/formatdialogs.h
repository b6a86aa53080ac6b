// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogseam.h"
#include "keytable.h"

#include <QString>

struct FileFormat;
class QWidget;

// What the editor shows around a file of a format of FileFormats(): the file dialog and the
// confirmation of a save. The KLC export asks with a dialog of its own instead.

// Sets the dialog up for a file of the format and shows it; false when it was cancelled.
// The file name is kept, so the dialog offers the name chosen last by any operation that
// shares it.
bool RunFormatFileDialog(QWidget *parent, FileDialogSettings &dialog, FileDialogSettings::Mode mode,
                         const FileFormat &format);

// The confirmation of a save of the layout in the format to the chosen path, with what the
// format could not hold of it.
QString SavedMessage(const FileFormat &format, const QString &path, const KeyTableArray &table);
