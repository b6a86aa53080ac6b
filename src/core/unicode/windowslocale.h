// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The ISO 639 code (three letters where ICU has them) of the language of a Windows locale
// identifier, "rus" for 0x419; empty when ICU does not know it.
QString LanguageOfWindowsLocale(quint32 localeId);
