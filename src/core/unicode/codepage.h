// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit code page of the program: windows-1251 on every system.
inline constexpr char AnsiCodePageName[] = "windows-1251";

// 8-bit text to UTF-16.
QString FromAnsi(QByteArrayView bytes);
// The one character a single byte denotes.
QChar AnsiByteToChar(uchar byte);
// UTF-16 to 8-bit text; every code point the code page cannot hold (a lone surrogate,
// and U+0098, which FromAnsi gives for the one byte the code page leaves undefined)
// becomes one "?", with no look-alike substitution.
QByteArray ToAnsi(QStringView text);
