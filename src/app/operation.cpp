#include "operation.h"

#include "dialogseam.h"
#include "fileerror.h"

bool RunOperation(QWidget *parent, const std::function<void()> &operation)
{
    try {
        operation();
        return true;
    } catch (const FileError &error) {
        Dialogs().showError(parent, WithFullStop(error.message()));
        return false;
    }
}
