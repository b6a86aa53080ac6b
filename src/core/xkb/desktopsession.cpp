// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopsession.h"

#include "operationerror.h"
#include "xkbinstall.h"

#include <QProcess>
#include <QRegularExpression>
#include <QFile>
#include <QStandardPaths>

namespace {

const QString GnomeSchema = QStringLiteral("org.gnome.desktop.input-sources");
const QString GnomeKey = QStringLiteral("sources");

QString ShellQuoted(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./@%+=:,-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

} // namespace

QString XkbX11LoadScript(const QString &name)
{
    // Added to the layouts setxkbmap -query reports, unless there already; xkbcomp's
    // warnings about the system's keymap parts do not concern the user.
    const QString dir = ShellQuoted(XkbUserDirectory());
    return QStringLiteral("[ \"$XDG_SESSION_TYPE\" = wayland ] && exit 0; "
                          "q=$(setxkbmap -query); l=$(echo \"$q\" | sed -n 's/^layout: *//p'); "
                          "v=$(echo \"$q\" | sed -n 's/^variant: *//p'); "
                          "case \",$l,\" in *,%2,*) exit 0;; esac; "
                          "setxkbmap -I%1 -layout \"${l:+$l,}%2\" -variant \"${l:+$v,}\" -print "
                          "| xkbcomp -w 0 -I%1 - \"$DISPLAY\"").arg(dir, name);
}

QString DesktopEntryExec(const QStringList &arguments)
{
    QStringList quoted;
    for (const QString &argument : arguments) {
        // The quoting rule of Exec, then the escapes of a string value, then the field codes.
        QString text;
        for (const QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                text += u'\\';
            text += c;
        }
        text = u'"' + text + u'"';
        text.replace(u'\\', QStringLiteral("\\\\"));
        text.replace(u'%', QStringLiteral("%%"));
        quoted << text;
    }
    return quoted.join(u' ');
}

namespace {

// The command that loads the layout into a running X server for this session.
QString X11Commands(const QString &name)
{
    return QStringLiteral("    sh -c ") + ShellQuoted(XkbX11LoadScript(name));
}

// Runs gsettings; its standard output. Throws OperationError.
QString RunGsettings(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("gsettings"), arguments);
    const bool finished = process.waitForStarted(5000) && process.waitForFinished(10000);
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(1000);
        }
        QString why = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (why.isEmpty())
            why = process.error() == QProcess::FailedToStart ? QStringLiteral("it cannot be started")
                                                              : QStringLiteral("it failed");
        throw OperationError(QStringLiteral("Cannot add the layout to GNOME's input sources: gsettings %1: %2")
                                 .arg(arguments.value(0), why));
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The value of key in section of a simple configuration text: "[section]" headers and
// "key=value" lines, the value unquoted. Null when it is not there.
QString ConfigValue(const QString &text, const QString &section, const QString &key)
{
    QString current;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        if (current != section || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || line.left(equals).trimmed() != key)
            continue;
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value.isNull() ? QStringLiteral("") : value;
    }
    return {};
}

QString ReadText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(1 << 16));
}

// The first layout and variant of comma-separated lists.
std::optional<XkbLayoutInfo> FirstOfLists(const QString &layouts, const QString &variants)
{
    XkbLayoutInfo info;
    info.layout = layouts.section(u',', 0, 0).trimmed();
    info.variant = variants.section(u',', 0, 0).trimmed();
    if (!IsValidXkbNamePart(info.layout) || (!info.variant.isEmpty() && !IsValidXkbNamePart(info.variant)))
        return std::nullopt;
    return info;
}

} // namespace

DesktopSession CurrentDesktopSession()
{
    DesktopSession session;
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    for (const QString &desktop : desktops) {
        if (desktop.compare(u"GNOME", Qt::CaseInsensitive) == 0)
            session.desktop = DesktopSession::Desktop::Gnome;
        else if (desktop.compare(u"KDE", Qt::CaseInsensitive) == 0)
            session.desktop = DesktopSession::Desktop::Kde;
    }
    const QString type = qEnvironmentVariable("XDG_SESSION_TYPE");
    session.wayland = type == u"wayland" || (type.isEmpty() && qEnvironmentVariableIsSet("WAYLAND_DISPLAY"));
    return session;
}

bool CanAddGnomeInputSource(const DesktopSession &session)
{
    return session.desktop == DesktopSession::Desktop::Gnome && session.wayland
        && !QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty();
}

QString XkbSwitchSteps(const DesktopSession &session, const QString &name, const QString &description,
                       bool offerGnome, bool loadedAtLogin)
{
    QString text = QStringLiteral("The layout \"%1\" (%2) is installed for this user in %3.\n\n")
                       .arg(name, description, XkbUserDirectory());
    using Desktop = DesktopSession::Desktop;
    if (session.wayland) {
        switch (session.desktop) {
        case Desktop::Gnome:
            // GNOME Shell reads the layouts it can offer when it starts.
            text += QStringLiteral("GNOME Shell reads the list of layouts when it starts: the layout can be chosen "
                                   "after your next login. ");
            if (offerGnome) {
                return text + QStringLiteral("Add it to GNOME's input sources now? Then switch to it with "
                                             "Super+Space or the keyboard menu in the top bar.");
            }
            return text + QStringLiteral("Add \"%1\" in Settings > Keyboard > Input Sources (log out and in "
                                         "again if it is not listed yet), then switch to it with Super+Space.")
                              .arg(description);
        case Desktop::Kde:
            return text + QStringLiteral("In System Settings > Keyboard > Layouts, tick \"Configure layouts\", "
                                         "press Add and choose \"%1\" (log out and in again if it is not listed "
                                         "yet); then switch with Meta+Alt+K or the layout indicator.")
                              .arg(description);
        case Desktop::Other:
            return text + QStringLiteral("Choose \"%1\" in your desktop's keyboard settings: Wayland desktops "
                                         "built on libxkbcommon read that folder (sway: input * xkb_layout %2).")
                              .arg(description, name);
        }
    }
    switch (session.desktop) {
    case Desktop::Gnome:
        text += QStringLiteral("GNOME's X11 session does not read that folder, so its settings cannot offer the "
                               "layout. ");
        break;
    case Desktop::Kde:
        text += QStringLiteral("KDE's X11 session does not read that folder, so its settings cannot offer the "
                               "layout. ");
        break;
    case Desktop::Other:
        text += QStringLiteral("An X11 session does not read that folder. ");
        break;
    }
    if (loadedAtLogin) {
        text += QStringLiteral("It is loaded at every X11 login from %1, after the layouts you have. ")
                    .arg(XkbAutostartPath(name));
    }
    return text + QStringLiteral("Load it for this session with setxkbmap -I (it lasts until you log out or "
                                 "the desktop resets the keyboard):\n\n")
        + X11Commands(name);
}

QString GnomeInputSourcesWith(const QString &sources, const QString &name)
{
    QString list = sources.trimmed();
    if (list.startsWith(u'@'))  // a type annotation: "@a(ss) []"
        list = list.mid(list.indexOf(u' ') + 1).trimmed();
    if (!list.startsWith(u'[') || !list.endsWith(u']'))
        return {};
    static const QRegularExpression item(QStringLiteral("\\(\\s*'([^']*)'\\s*,\\s*'([^']*)'\\s*\\)"));
    for (auto it = item.globalMatch(list); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(1) == u"xkb" && match.captured(2) == name)
            return list;
    }
    const QString entry = QStringLiteral("('xkb', '%1')").arg(name);
    const QString inner = list.mid(1, list.size() - 2).trimmed();
    return u'[' + (inner.isEmpty() ? entry : inner + QStringLiteral(", ") + entry) + u']';
}

void AddGnomeInputSource(const QString &name)
{
    const QString current = RunGsettings({QStringLiteral("get"), GnomeSchema, GnomeKey});
    const QString sources = GnomeInputSourcesWith(current, name);
    if (sources.isEmpty()) {
        throw OperationError(QStringLiteral("Cannot add the layout to GNOME's input sources: gsettings gave \"%1\"")
                                 .arg(current));
    }
    if (sources != current)
        RunGsettings({QStringLiteral("set"), GnomeSchema, GnomeKey, sources});
}

std::optional<XkbLayoutInfo> SessionXkbLayout(const QString &systemKeyboardFile)
{
    if (qEnvironmentVariableIsSet("XKB_DEFAULT_LAYOUT"))
        return FirstOfLists(qEnvironmentVariable("XKB_DEFAULT_LAYOUT"), qEnvironmentVariable("XKB_DEFAULT_VARIANT"));
    const QString kde = ReadText(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                 + QStringLiteral("/kxkbrc"));
    const QString kdeLayouts = ConfigValue(kde, QStringLiteral("Layout"), QStringLiteral("LayoutList"));
    if (!kdeLayouts.isEmpty())
        return FirstOfLists(kdeLayouts, ConfigValue(kde, QStringLiteral("Layout"), QStringLiteral("VariantList")));
    const QString system = ReadText(systemKeyboardFile);
    const QString systemLayouts = ConfigValue(system, QString(), QStringLiteral("XKBLAYOUT"));
    if (!systemLayouts.isEmpty())
        return FirstOfLists(systemLayouts, ConfigValue(system, QString(), QStringLiteral("XKBVARIANT")));
    return std::nullopt;
}
