// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "atomicfile.h"
#include "operationerror.h"
#include "startup.h"
#include "tavoapplication.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    InitFileWriting();
    // Help and version are printed without opening the window system, so that they work
    // over a plain terminal too.
    if (AsksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        return PrintCommandLineText(ParseEditorCommandLine(QCoreApplication::arguments()));
    }
    TavoApplication app(argc, argv);
    const EditorCommandLine commandLine = ParseEditorCommandLine(QCoreApplication::arguments());
    if (commandLine.action != EditorCommandLine::Action::Edit)
        return PrintCommandLineText(commandLine);
    const std::unique_ptr<TForm1> editor = StartEditor(commandLine.file);
    return app.exec();
}
