// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the About box says: the version, the licence, the versions of Qt, libxkbcommon and
// ICU that Tavo runs with, and the project's home.
QString AboutTavoText();

// Opens the handbook in the desktop's viewer: the installed manual page, or the README when
// the manual page is not installed. Throws OperationError when neither can be opened.
void OpenHandbook();
