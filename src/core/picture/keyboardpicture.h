// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

#include <optional>

class QPainter;

// A picture of the layout to print or show: the typing block as the editor draws it, each
// key cap with up to four characters (Shift top left, Norm bottom left, AltGr-Shift top
// right, AltGr bottom right; a dead key's in a dotted frame), a title line and a one-line
// legend. The ISO key is drawn when the layout uses it. One painting function draws it for
// every format.

// What one corner of a key cap shows for a key character.
struct CapText {
    QString text;
    bool isCode = false;  // the codes of blank or control characters, drawn in small type
    bool dead = false;    // a dead key's own character, drawn in a dotted frame
    bool operator==(const CapText &) const = default;
};

// The corners of one key cap. A letter key whose Shift character is the upper case of its
// Norm character, and on which Caps Lock acts, shows its capital only, unless Norm is dead.
struct KeyCap {
    CapText shift;
    CapText norm;
    CapText altgrShift;
    CapText altgr;
    bool capitalOnly = false;
    bool operator==(const KeyCap &) const = default;
};

// A key character as the picture shows it: a stored "&&" as one ampersand, a leading
// combining mark on a dotted circle (U+25CC), and a text of blanks and controls only as
// the four-digit codes of its characters ("0020").
CapText CapTextOf(const QString &character);
KeyCap KeyCapOf(const s_key &key);

// The title line: the file name of the layout's path, "Untitled" for none.
QString PictureTitle(const QString &layoutPath);

// The size of the picture in its own units; the PNG has two pixels per unit.
QSizeF KeyboardPictureSize();
constexpr int PngPixelsPerUnit = 2;

// Draws the picture with the painter's origin at its top left, one painter unit per
// picture unit.
void PaintKeyboardPicture(QPainter &painter, const KeyTableArray &table, const QString &title);

enum class PictureFormat { Svg, Png, Pdf };

// The format of a lower-case name ("svg", "png", "pdf").
std::optional<PictureFormat> PictureFormatNamed(const QString &name);
// "svg", "png" or "pdf".
QString PictureSuffix(PictureFormat format);

// The whole file. The same table and title always give the same bytes: the PDF carries no
// creation date. SVG keeps the characters as text; the PDF is one A4 landscape page.
// Throws OperationError when the picture cannot be drawn.
QByteArray KeyboardPictureBytes(const KeyTableArray &table, const QString &title,
                                PictureFormat format);
// Writes the file atomically; throws OperationError with the system's reason.
void SaveKeyboardPicture(const KeyTableArray &table, const QString &title, PictureFormat format,
                         const QString &path);
