// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakedialogs.h"

#include "dialogtitle.h"

#include <QTest>

FakeDialogs::FakeDialogs() { SetDialogs(this); }
FakeDialogs::~FakeDialogs() { SetDialogs(nullptr); }

bool FakeDialogs::runFileDialog(QWidget *, FileDialogSettings &settings)
{
    fileDialogs.append(settings);
    if (filePaths.empty()) {
        qWarning("FakeDialogs: unexpected file dialog \"%s\"", qPrintable(settings.title));
        return false;
    }
    const QString path = filePaths.front();
    filePaths.pop_front();
    if (path.isEmpty())
        return false;
    settings.fileName = path;
    return true;
}

std::optional<QFont> FakeDialogs::chooseFont(QWidget *, const QFont &initial)
{
    fontDialogInitialFonts.append(initial);
    if (fonts.empty())
        return std::nullopt;
    const std::optional<QFont> font = fonts.front();
    fonts.pop_front();
    return font;
}

void FakeDialogs::showMessage(QWidget *, const QString &text)
{
    titles.append(DialogTitle::current());
    messages.append(text);
}

void FakeDialogs::showError(QWidget *, const QString &text) { errors.append(text); }

SaveChangesAnswer FakeDialogs::askSaveChanges(QWidget *, const QString &text)
{
    saveChangesQuestions.append(text);
    if (saveChangesAnswers.empty())
        return SaveChangesAnswer::Cancel;
    const SaveChangesAnswer answer = saveChangesAnswers.front();
    saveChangesAnswers.pop_front();
    return answer;
}

std::optional<QString> FakeDialogs::askText(QWidget *, const QString &label, const QString &initial)
{
    titles.append(DialogTitle::current());
    textQuestions.append(label);
    textInitials.append(initial);
    if (textAnswers.empty()) {
        qWarning("FakeDialogs: unexpected text question \"%s\"", qPrintable(label));
        return std::nullopt;
    }
    const std::optional<QString> answer = textAnswers.front();
    textAnswers.pop_front();
    return answer;
}

bool FakeDialogs::askYesNo(QWidget *, const QString &text)
{
    titles.append(DialogTitle::current());
    yesNoQuestions.append(text);
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::optional<QString> FakeDialogs::chooseItem(QWidget *, const QString &, const QStringList &items)
{
    titles.append(DialogTitle::current());
    itemChoices.append(items);
    if (itemAnswers.empty())
        return std::nullopt;
    const std::optional<QString> answer = itemAnswers.front();
    itemAnswers.pop_front();
    if (answer && !items.contains(*answer))
        qWarning("FakeDialogs: \"%s\" is not among the items offered", qPrintable(*answer));
    return answer;
}

std::optional<XkbLayoutInfo> FakeDialogs::chooseXkbLayout(QWidget *, const QList<XkbLayoutInfo> &layouts,
                                                          const std::optional<XkbLayoutInfo> &preselected)
{
    xkbLayoutLists.append(layouts);
    xkbLayoutPreselections.append(preselected);
    if (xkbLayoutChoices.empty()) {
        qWarning("FakeDialogs: unexpected layout dialog");
        return std::nullopt;
    }
    const std::optional<XkbLayoutInfo> choice = xkbLayoutChoices.front();
    xkbLayoutChoices.pop_front();
    return choice;
}

void FakeDialogs::showReport(QWidget *, const QString &text, const QStringList &details)
{
    reports.append({text, details});
}

void FakeDialogs::showAbout(QWidget *, const QString &title, const QString &text)
{
    abouts.append({title, text});
}
