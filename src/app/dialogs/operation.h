// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

// Runs one user operation. An OperationError it throws ends the operation (what it changed
// before stays changed) and is shown in the error box: error icon, one OK button, the
// message with its full stop. Every way of starting an operation (a menu item, a
// shortcut, a drop, the command line) goes through here, so none lets an exception
// reach Qt's event code. Returns false when the operation failed.
bool RunOperation(QWidget *parent, const std::function<void()> &operation);
