// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "operation.h"

#include "dialogseam.h"
#include "operationerror.h"

bool RunOperation(QWidget *parent, const std::function<void()> &operation)
{
    try {
        operation();
        return true;
    } catch (const OperationError &error) {
        Dialogs().showError(parent, WithFullStop(error.message()));
        return false;
    }
}
