// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "abouttavo.h"

#include "operationerror.h"
#include "tavoversion.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <unicode/uversion.h>

QString AboutTavoText()
{
    UVersionInfo icu;
    u_getVersion(icu);
    char icuVersion[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(icu, icuVersion);
    // libxkbcommon has no call that gives its version: this is the one Tavo was built with.
    return QStringLiteral(
               "Tavo %1\n"
               "An editor of keyboard layouts.\n\n"
               "Copyright the Tavo developers.\n"
               "Tavo is free software under the GNU General Public License, version 3 or "
               "(at your option) any later version; it comes with no warranty.\n\n"
               "Qt %2, libxkbcommon %3, ICU %4\n\n"
               "%5")
        .arg(QStringLiteral(TAVO_VERSION_STRING), QString::fromLatin1(qVersion()),
             QStringLiteral(TAVO_XKBCOMMON_VERSION), QString::fromLatin1(icuVersion),
             QStringLiteral(TAVO_HOMEPAGE));
}

void OpenHandbook()
{
    if (QFileInfo::exists(QStringLiteral(TAVO_MANUAL_PAGE))
        && QDesktopServices::openUrl(QUrl(QStringLiteral("man:tavo(1)"))))
        return;
    for (const QString &readme : {QStringLiteral(TAVO_INSTALLED_README), QStringLiteral(TAVO_SOURCE_README)}) {
        if (QFileInfo::exists(readme) && QDesktopServices::openUrl(QUrl::fromLocalFile(readme)))
            return;
    }
    throw OperationError(QStringLiteral("The handbook cannot be opened: neither the manual page tavo(1) "
                                        "nor the README is installed, or the desktop has no viewer for them"));
}
