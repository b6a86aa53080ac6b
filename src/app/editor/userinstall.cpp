#include "userinstall.h"

#include "desktopsession.h"
#include "dialogseam.h"
#include "dialogtitle.h"
#include "xkbinstall.h"

namespace {

// "ru - Russian (mine)" as the uninstall list shows a layout.
QString ItemOf(const XkbInstalledLayout &layout)
{
    return layout.name + QStringLiteral(" - ") + layout.description;
}

} // namespace

void InstallForThisUser(QWidget *parent, const KeyTableArray &table)
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
    // A layout installed before keeps its description unless the user changes it.
    QString description = name;
    for (const XkbInstalledLayout &layout : InstalledXkbLayouts()) {
        if (layout.name == name)
            description = layout.description;
    }
    const std::optional<QString> answer = Dialogs().askText(
        parent, QStringLiteral("Description, as the desktop lists the layout:"), description);
    if (!answer)
        return;
    description = InstallXkbLayout(table, name, *answer);

    const DesktopSession session = CurrentDesktopSession();
    if (CanAddGnomeInputSource(session)) {
        if (Dialogs().askYesNo(parent, XkbSwitchSteps(session, name, description, true)))
            AddGnomeInputSource(name);
        return;
    }
    Dialogs().showMessage(parent, XkbSwitchSteps(session, name, description, false));
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
