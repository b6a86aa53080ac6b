#include "tavoapplication.h"

#include "dialogseam.h"
#include "fileerror.h"

TavoApplication::TavoApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(ApplicationTitle);
    setApplicationVersion(QStringLiteral("1.2"));
}

bool TavoApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const FileError &error) {
        Dialogs().showError(activeWindow(), WithFullStop(error.message()));
    }
    return true;
}
