// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tavoversion.h"
#include "xkbregistry.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// What an open or save dialog is told and what it keeps between uses: like a file
// dialog component, it offers the file name chosen the last time it was used.
struct FileDialogSettings {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString defaultSuffix;  // without the dot: "ukb"
    QString filter;         // in Qt's form: "keyboard (*.ukb)"
    QString title;
    QString fileName;       // the last chosen path; empty at first
};

enum class SaveChangesAnswer { Save, Discard, Cancel };

// Every modal dialog the windows ask goes through here, so tests can answer them.
class DialogSeam
{
public:
    virtual ~DialogSeam();

    // On acceptance stores the chosen path in settings.fileName and returns true.
    virtual bool runFileDialog(QWidget *parent, FileDialogSettings &settings) = 0;
    // The chosen font, or nothing when the dialog was cancelled.
    virtual std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) = 0;
    // A confirmation or validation message: one OK button, no icon, centred.
    virtual void showMessage(QWidget *parent, const QString &text) = 0;
    // An error: error icon, one OK button.
    virtual void showError(QWidget *parent, const QString &text) = 0;
    virtual SaveChangesAnswer askSaveChanges(QWidget *parent, const QString &text) = 0;
    // One line of text, offered with the initial text; nothing when cancelled.
    virtual std::optional<QString> askText(QWidget *parent, const QString &label, const QString &initial) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget *parent, const QString &text) = 0;
    // One of the items; nothing when cancelled.
    virtual std::optional<QString> chooseItem(QWidget *parent, const QString &label, const QStringList &items) = 0;
    // The layout picked from the list (preselected when given and listed), or nothing
    // when the dialog was cancelled.
    virtual std::optional<XkbLayoutInfo> chooseXkbLayout(QWidget *parent, const QList<XkbLayoutInfo> &layouts,
                                                         const std::optional<XkbLayoutInfo> &preselected) = 0;
    // A message with a list of details the user can open: information icon, one OK button.
    virtual void showReport(QWidget *parent, const QString &text, const QStringList &details) = 0;
    // The About box: the application's icon, selectable text, one OK button.
    virtual void showAbout(QWidget *parent, const QString &title, const QString &text) = 0;
};

// The title every message box carries, after the action's name inside a DialogTitle scope.
inline const QString ApplicationTitle = QStringLiteral(TAVO_APPLICATION_NAME);
// The name with the version, "Tavo 1.2", as the editor's caption and the character table show it.
inline const QString ApplicationTitleAndVersion = QStringLiteral(TAVO_APPLICATION_NAME " " TAVO_VERSION_STRING);

// The seam in use; the real Qt dialogs unless a test installed its own.
DialogSeam &Dialogs();
// Installs a seam (nullptr restores the real dialogs); the caller keeps ownership.
void SetDialogs(DialogSeam *seam);
