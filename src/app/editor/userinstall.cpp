// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "userinstall.h"

#include "desktopsession.h"
#include "dialogseam.h"
#include "dialogtitle.h"
#include "xkbinstall.h"

#include <QLocale>

namespace {

// "ru - Russian (mine)" as the uninstall list shows a layout.
QString ItemOf(const XkbInstalledLayout &layout)
{
    return layout.name + QStringLiteral(" - ") + layout.description;
}

} // namespace

void InstallForThisUser(QWidget *parent, const KeyTableArray &table, const QStringList &languages)
{
    const DialogTitle title(QStringLiteral("Install for This User"));
    const QString nameLabel = QStringLiteral(
        "Name of the layout (lower-case letters a-z, digits, \"_\" and \"-\"):");
    QString name;
    for (;;) {
        const std::optional<QString> answer = Dialogs().askText(parent, nameLabel, name);
        if (!answer)
            return;
        name = answer->trimmed();
        const QString problem = XkbInstallNameProblem(name);
        if (problem.isEmpty())
            break;
        Dialogs().showMessage(parent, problem + u'.');
    }
    // A layout installed before keeps its texts unless the user changes them; a new one
    // is offered the languages it was imported with, else the language of this system.
    XkbInstalledLayout earlier{name, name, {}, languages};
    const QString systemLanguage = QLocale::languageToCode(QLocale::system().language(), QLocale::ISO639Part3);
    if (earlier.languages.isEmpty() && IsIso639Code(systemLanguage))
        earlier.languages = QStringList{systemLanguage};
    for (const XkbInstalledLayout &layout : InstalledXkbLayouts()) {
        if (layout.name == name)
            earlier = layout;
    }
    XkbInstallOptions options;
    const std::optional<QString> answer = Dialogs().askText(
        parent, QStringLiteral("Description, as the desktop lists the layout:"), earlier.description);
    if (!answer)
        return;
    options.description = *answer;
    const std::optional<QString> languageCodes = Dialogs().askText(
        parent, QStringLiteral("Languages of the layout (ISO 639 codes such as \"rus\", separated by commas):"),
        earlier.languages.join(QStringLiteral(",")));
    if (!languageCodes)
        return;
    options.languages = languageCodes->split(u',', Qt::SkipEmptyParts);
    const std::optional<QString> shortDescription = Dialogs().askText(
        parent, QStringLiteral("Short name on the layout indicator (up to %1 characters; empty for one from the "
                               "first language):").arg(MaxXkbShortDescriptionLength),
        earlier.shortDescription);
    if (!shortDescription)
        return;
    options.shortDescription = *shortDescription;
    const DesktopSession session = CurrentDesktopSession();
    if (!session.wayland) {
        options.loadAtX11Login = Dialogs().askYesNo(
            parent, QStringLiteral("Load the layout at every X11 login, beside the layouts you have?"));
    }
    const QString description = InstallXkbLayout(table, name, options);

    if (CanAddGnomeInputSource(session)) {
        if (Dialogs().askYesNo(parent, XkbSwitchSteps(session, name, description, true)))
            AddGnomeInputSource(name);
        return;
    }
    Dialogs().showMessage(parent, XkbSwitchSteps(session, name, description, false, options.loadAtX11Login));
}

void UninstallForThisUser(QWidget *parent)
{
    const DialogTitle title(QStringLiteral("Uninstall"));
    const QList<XkbInstalledLayout> layouts = InstalledXkbLayouts();
    if (layouts.isEmpty()) {
        Dialogs().showMessage(parent, QStringLiteral("No layout is installed for this user through Tavo."));
        return;
    }
    QStringList items;
    for (const XkbInstalledLayout &layout : layouts)
        items << ItemOf(layout);
    const std::optional<QString> chosen = Dialogs().chooseItem(parent, QStringLiteral("Layout to uninstall:"), items);
    if (!chosen)
        return;
    const qsizetype index = items.indexOf(*chosen);
    if (index < 0)
        return;
    const XkbInstalledLayout &layout = layouts.at(index);
    if (!Dialogs().askYesNo(parent, QStringLiteral("Remove the layout \"%1\" from this user's layouts?")
                                        .arg(ItemOf(layout))))
        return;
    UninstallXkbLayout(layout.name);
    Dialogs().showMessage(parent, QStringLiteral("The layout \"%1\" is uninstalled for this user. If your desktop "
                                                 "still lists it among its input sources, remove it there.")
                                      .arg(layout.name));
}
