// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"
#include "klcfile.h"
#include "layoutimport.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <span>

// The one table of the file formats Tavo writes and reads. The editor's save and export
// items and the converter's --to go through it, so a format is added with one row.

// What a writer needs besides the key table.
struct ExportOptions {
    KlcProperties klc;  // the KLC export's header texts
    QString title;      // the picture's title line (PictureTitle)
};

struct FileFormat {
    QStringView name;    // as the converter's --to names it: "ukb", "layout-new", "svg"
    QStringView suffix;  // of the file name, without the dot
    bool picture;        // drawn with QtGui: it needs a GUI application object
    // The whole file. The table is not const: the new .layout dialect sets the key types.
    QByteArray (*bytes)(KeyTableArray &table, const ExportOptions &options);
    // Writes the file atomically, or nothing; what the format takes from the path (the XKB
    // layout's name) comes from it. Throws OperationError.
    void (*save)(KeyTableArray &table, const ExportOptions &options, const QString &path);
    // The layout a file of the format holds, on top of the default layout; nullptr where
    // Tavo cannot read the format. source names the file in messages.
    LayoutImport (*import)(const QByteArray &bytes, const QString &source);
    // What the format cannot hold of the layout, one line each; nullptr where it holds all.
    QStringList (*losses)(const KeyTableArray &table) = nullptr;
};

// Every format, in the order the converter's help lists them.
std::span<const FileFormat> FileFormats();
// The format of that name; nullptr for none.
const FileFormat *FileFormatNamed(QStringView name);

// The most bytes of an input that any reader takes: a whole KLC file, or the text the .ukb
// reader reads before it stops (MaxUkbTextLength units, at most three bytes each).
qsizetype MaxLayoutInputSize();

// The layout in a .ukb or KLC file, told by its content. Throws OperationError.
LayoutImport ImportLayoutBytes(const QByteArray &bytes, const QString &source);
