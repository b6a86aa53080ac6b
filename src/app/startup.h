// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class TForm1;

// What tavo's command line asks for: `tavo [FILE]`, `tavo --help` or `tavo --version`.
// Layouts are converted by tavo-convert; the editor takes no other options.
struct EditorCommandLine {
    enum class Action { Edit, ShowHelp, ShowVersion, UsageError };
    Action action = Action::Edit;
    QString file;  // Edit: the layout to open; empty for none
    QString text;  // the help, the version line or the reason of a usage error
};

// Parses the arguments left once the application object took its own (-platform and such).
EditorCommandLine ParseEditorCommandLine(const QStringList &arguments);

// Whether the raw arguments ask for help or the version, which need no window system.
bool AsksForTextOnly(int argc, char **argv);

// Prints the help or version to standard output, or a usage error to standard error, and
// returns the exit status: 0, or 2 for a usage error.
int PrintCommandLineText(const EditorCommandLine &commandLine);

// Creates the editor window and shows it. A non-empty file is then loaded as "load   *.ukb"
// loads the file chosen in its dialog: the same errors, shown over the window, which stays
// up; the open dialog offers that file next.
std::unique_ptr<TForm1> StartEditor(const QString &file);
