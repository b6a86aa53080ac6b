// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>

// The lines of a UTF-16 text file as the editor writes it: the mark FF FE, then every
// line in UTF-16LE followed by CR LF, the last one included. Code units are written as
// they are held, a lone surrogate included.
QByteArray Utf16LeFileBytes(const QStringList &lines);
