// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tavoapplication.h"

#include "dialogseam.h"
#include "tavoversion.h"

#include <QIcon>
#include <QWindow>

TavoApplication::TavoApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(ApplicationTitle);
    setApplicationVersion(QStringLiteral(TAVO_VERSION_STRING));
    // Ties the windows to the installed desktop entry (the app id on Wayland) and its icon.
    setDesktopFileName(QStringLiteral(TAVO_APPLICATION_ID));
    // The icon is looked up in the icon theme, which means reading the theme's index and
    // folders; it is set once the first window is on screen, so that the window does not
    // wait for it. See eventFilter.
    installEventFilter(this);
}

bool TavoApplication::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && watched->isWindowType()
        && static_cast<QWindow *>(watched)->isExposed()) {
        removeEventFilter(this);
        // Queued: the window that is being exposed paints first.
        QMetaObject::invokeMethod(
            this, [] { setWindowIcon(QIcon::fromTheme(QStringLiteral(TAVO_APPLICATION_ID))); },
            Qt::QueuedConnection);
    }
    return QApplication::eventFilter(watched, event);
}
