#include "tavoapplication.h"

#include "dialogseam.h"
#include "tavoversion.h"

#include <QIcon>

TavoApplication::TavoApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(ApplicationTitle);
    setApplicationVersion(QStringLiteral(TAVO_VERSION_STRING));
    // Ties the windows to the installed desktop entry (the app id on Wayland) and its icon.
    setDesktopFileName(QStringLiteral(TAVO_APPLICATION_ID));
    setWindowIcon(QIcon::fromTheme(QStringLiteral(TAVO_APPLICATION_ID)));
}
