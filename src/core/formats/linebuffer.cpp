// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linebuffer.h"

namespace {

void AppendUnit(QByteArray &bytes, char16_t unit)
{
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
}

} // namespace

QByteArray Utf16LeFileBytes(const QStringList &lines)
{
    qsizetype units = 1;
    for (const QString &line : lines)
        units += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(units * 2);
    AppendUnit(bytes, 0xFEFF);
    for (const QString &line : lines) {
        for (QChar c : line)
            AppendUnit(bytes, c.unicode());
        AppendUnit(bytes, u'\r');
        AppendUnit(bytes, u'\n');
    }
    return bytes;
}
