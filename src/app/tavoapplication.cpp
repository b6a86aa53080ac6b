#include "tavoapplication.h"

#include "dialogseam.h"

TavoApplication::TavoApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(ApplicationTitle);
    setApplicationVersion(QStringLiteral("1.2"));
}
