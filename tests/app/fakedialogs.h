// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogseam.h"

#include <QList>
#include <QStringList>

#include <deque>

// Answers the windows' dialogs from queues and records what they asked, so widget
// tests run without a person. Installs itself for its lifetime.
class FakeDialogs final : public DialogSeam
{
public:
    FakeDialogs();
    ~FakeDialogs() override;

    // Queued answers: a path accepts a file dialog, an empty string cancels it.
    std::deque<QString> filePaths;
    // A font confirms the font dialog; nothing cancels it.
    std::deque<std::optional<QFont>> fonts;
    std::deque<SaveChangesAnswer> saveChangesAnswers;
    // A text answers a text question, nothing cancels it; the same for a choice of items.
    std::deque<std::optional<QString>> textAnswers;
    std::deque<bool> yesNoAnswers;  // none left: No
    std::deque<std::optional<QString>> itemAnswers;
    // A layout picks it from the list; nothing cancels the dialog.
    std::deque<std::optional<XkbLayoutInfo>> xkbLayoutChoices;

    // What was asked.
    QList<FileDialogSettings> fileDialogs;  // the settings each file dialog was opened with
    QList<QFont> fontDialogInitialFonts;
    QStringList messages;
    QStringList errors;
    QStringList saveChangesQuestions;
    QStringList textQuestions;  // the labels
    QStringList textInitials;   // the text each question offered
    QStringList yesNoQuestions;
    QList<QStringList> itemChoices;  // the items offered
    QList<QList<XkbLayoutInfo>> xkbLayoutLists;  // the layouts each layout dialog offered
    QList<std::optional<XkbLayoutInfo>> xkbLayoutPreselections;
    QList<std::pair<QString, QStringList>> reports;  // text and details of each report
    QList<std::pair<QString, QString>> abouts;  // title and text of each About box
    QStringList titles;  // the title of each dialog asked, in order

    bool runFileDialog(QWidget *parent, FileDialogSettings &settings) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override;
    void showMessage(QWidget *parent, const QString &text) override;
    void showError(QWidget *parent, const QString &text) override;
    SaveChangesAnswer askSaveChanges(QWidget *parent, const QString &text) override;
    std::optional<QString> askText(QWidget *parent, const QString &label, const QString &initial) override;
    bool askYesNo(QWidget *parent, const QString &text) override;
    std::optional<QString> chooseItem(QWidget *parent, const QString &label, const QStringList &items) override;
    std::optional<XkbLayoutInfo> chooseXkbLayout(QWidget *parent, const QList<XkbLayoutInfo> &layouts,
                                                 const std::optional<XkbLayoutInfo> &preselected) override;
    void showReport(QWidget *parent, const QString &text, const QStringList &details) override;
    void showAbout(QWidget *parent, const QString &title, const QString &text) override;
};
