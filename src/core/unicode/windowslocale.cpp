// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowslocale.h"

#include <unicode/uloc.h>

QString LanguageOfWindowsLocale(quint32 localeId)
{
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_getLocaleForLCID(localeId, locale, sizeof locale, &status);
    if (U_FAILURE(status) || locale[0] == 0)
        return {};
    return QString::fromLatin1(uloc_getISO3Language(locale));
}
