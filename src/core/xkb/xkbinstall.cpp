// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xkbinstall.h"

#include "atomicfile.h"
#include "desktopsession.h"
#include "evdevrules.h"
#include "operationerror.h"
#include "xkbcompose.h"
#include "xkbfolderlock.h"
#include "xkbregistry.h"
#include "xkbsymbols.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <xkbcommon/xkbregistry.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// ---- Files and folders

// $XDG_CONFIG_HOME, else ~/.config.
QString ConfigHome()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    return config.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : config;
}

QString RulesPath() { return XkbUserDirectory() + QStringLiteral("/rules/evdev.xml"); }
QString SymbolsPath(const QString &name) { return XkbUserDirectory() + QStringLiteral("/symbols/") + name; }

QString SystemXkbRoot()
{
    return qEnvironmentVariableIsSet("XKB_CONFIG_ROOT") ? qEnvironmentVariable("XKB_CONFIG_ROOT")
                                                        : QStringLiteral(TAVO_XKB_CONFIG_ROOT);
}

// The user's compose files, as libxkbcommon and libX11 look for them: $XDG_CONFIG_HOME/XCompose,
// then ~/.XCompose.
QStringList UserComposePaths()
{
    return {ConfigHome() + QStringLiteral("/XCompose"), QDir::homePath() + QStringLiteral("/.XCompose")};
}

// The one the install writes: the first that exists, else ~/.XCompose.
QString UserComposePath()
{
    const QStringList paths = UserComposePaths();
    return QFileInfo::exists(paths.first()) ? paths.first() : paths.last();
}

// The largest user compose file Tavo changes; the locale's own tables are about 300 KiB.
constexpr qint64 MaxUserComposeSize = qint64(1) << 20;

QString AutostartFolder() { return ConfigHome() + QStringLiteral("/autostart"); }

// The bytes of a regular file (or a link to one) of at most maxSize bytes, or nothing when
// there is no file. Opened without waiting, so that a FIFO in its place cannot hang the
// program. Throws OperationError.
std::optional<QByteArray> ReadIfExists(const QString &path, qint64 maxSize = std::numeric_limits<qint64>::max())
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw OperationError(QStringLiteral("Cannot read %1: %2").arg(path, IoErrorMessage(errno)));
    struct stat status = {};
    QString problem;
    if (::fstat(fd, &status) != 0)
        problem = IoErrorMessage(errno);
    else if (S_ISDIR(status.st_mode))
        problem = IoErrorMessage(EISDIR);
    else if (!S_ISREG(status.st_mode))
        problem = QStringLiteral("it is not a regular file");
    else if (status.st_size > maxSize)
        problem = QStringLiteral("it is larger than %1 KiB, the most Tavo reads of such a file").arg(maxSize / 1024);
    QByteArray bytes;
    while (problem.isEmpty()) {
        char buffer[65536];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            problem = IoErrorMessage(errno);
        else if (got == 0)
            break;
        else if (bytes.size() + got > maxSize)
            problem = QStringLiteral("it is larger than %1 KiB, the most Tavo reads of such a file").arg(maxSize / 1024);
        else
            bytes.append(buffer, got);
    }
    ::close(fd);
    if (!problem.isEmpty())
        throw OperationError(QStringLiteral("Cannot read %1: %2").arg(path, problem));
    return bytes;
}

void Write(const QString &path, const QByteArray &bytes)
{
    try {
        WriteFileAtomically(path, bytes, WriteFailure::SystemError);
    } catch (const OperationError &error) {
        throw OperationError(QStringLiteral("Cannot write %1: %2").arg(path, error.message()));
    }
}

void Remove(const QString &path)
{
    errno = 0;
    if (!QFile::remove(path) && (QFileInfo::exists(path) || QFileInfo(path).isSymLink()))
        throw OperationError(QStringLiteral("Cannot remove %1: %2").arg(path, IoErrorMessage(errno ? errno : EIO)));
}

// Throws OperationError when the file could not be removed (or replaced) now: a folder in
// its place, or a folder this user cannot change.
void CheckChangeable(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        throw OperationError(QStringLiteral("Cannot remove %1: it is a folder").arg(path));
    if (::access(QFile::encodeName(info.path()).constData(), W_OK | X_OK) != 0 && (info.exists() || info.isSymLink()))
        throw OperationError(QStringLiteral("Cannot remove %1: %2").arg(path, IoErrorMessage(errno)));
}

// Changes of files made one after another; undo() takes back the ones made, last first.
// Each file is written atomically, so a kill leaves every file old or new.
class FileTransaction
{
public:
    void write(const QString &path, const QByteArray &bytes)
    {
        const std::optional<QByteArray> old = ReadIfExists(path);
        Write(path, bytes);
        m_done.append({path, old});
    }
    void remove(const QString &path)
    {
        const std::optional<QByteArray> old = ReadIfExists(path);
        if (!old)
            return;
        Remove(path);
        m_done.append({path, old});
    }
    // Replaces the layout's block of compose sequences in the file (xkbcompose.h); an empty
    // block takes it out. A file that is not there is created only for a block.
    void writeComposeBlock(const QString &path, const QString &name, const QByteArray &block)
    {
        const std::optional<QByteArray> old = ReadIfExists(path, MaxUserComposeSize);
        const std::optional<QByteArray> changed = WithXkbComposeBlock(old, name, block);
        if (changed && changed != old) {
            Write(path, *changed);
            m_done.append({path, old});
        }
    }
    void undo() noexcept
    {
        for (qsizetype i = m_done.size() - 1; i >= 0; --i) {
            try {
                if (m_done[i].old)
                    Write(m_done[i].path, *m_done[i].old);
                else
                    Remove(m_done[i].path);
            } catch (const OperationError &) {
                // The first failure is the one to report.
            }
        }
        m_done.clear();
    }

private:
    struct Change {
        QString path;
        std::optional<QByteArray> old;
    };
    QList<Change> m_done;
};

// "xkb/rules" for the folder of that name under $XDG_CONFIG_HOME.
QStringList RelativeToConfigHome(const QStringList &paths)
{
    const QDir config(ConfigHome());
    QStringList names;
    for (const QString &path : paths)
        names.append(config.relativeFilePath(path));
    return names;
}

// Creates missing folders under $XDG_CONFIG_HOME; the ones it made, by their names there.
QStringList MakeConfigFolders(const QString &folder)
{
    return RelativeToConfigHome(XkbFolderLock::makeFolders(ConfigHome() + u'/' + folder));
}

// ---- The user's evdev.xml

OperationError NotUsable(const QString &path, const QString &why)
{
    return OperationError(QStringLiteral("Cannot use %1: %2").arg(path, why));
}

// Runs a step on the text of the rules file at the path; why the text cannot be used goes
// after the path.
template <typename Step>
auto OnRulesText(const QString &path, Step step)
{
    try {
        return step();
    } catch (const OperationError &error) {
        throw NotUsable(path, error.message());
    }
}

// The user's rules, or nothing when there is no file. Throws OperationError.
std::optional<EvdevRules> ReadRules(const QString &path)
{
    std::optional<QByteArray> text;
    try {
        text = ReadIfExists(path, MaxUserRulesSize);
    } catch (const OperationError &error) {
        QString message = error.message();
        throw OperationError(message.replace(QStringLiteral("Cannot read "), QStringLiteral("Cannot use ")));
    }
    if (!text)
        return std::nullopt;
    return OnRulesText(path, [&] { return EvdevRules(*text); });
}

// Whether libxkbregistry lists the layout with its description from these rules alone.
void CheckRegistryLists(const QByteArray &rulesText, const QString &name, const QString &description,
                        const QString &path)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir().mkpath(dir.filePath(QStringLiteral("rules"))))
        throw OperationError(QStringLiteral("Cannot check %1: no temporary folder").arg(path));
    Write(dir.filePath(QStringLiteral("rules/evdev.xml")), rulesText);
    struct Unref { void operator()(rxkb_context *c) const { rxkb_context_unref(c); } };
    std::unique_ptr<rxkb_context, Unref> context(rxkb_context_new(RXKB_CONTEXT_NO_DEFAULT_INCLUDES));
    bool listed = false;
    if (context) {
        rxkb_context_set_log_level(context.get(), RXKB_LOG_LEVEL_CRITICAL);
        if (rxkb_context_include_path_append(context.get(), QFile::encodeName(dir.path()).constData())
            && rxkb_context_parse(context.get(), "evdev")) {
            for (rxkb_layout *l = rxkb_layout_first(context.get()); l && !listed; l = rxkb_layout_next(l)) {
                listed = QString::fromUtf8(rxkb_layout_get_name(l)) == name && !rxkb_layout_get_variant(l)
                    && QString::fromUtf8(rxkb_layout_get_description(l)) == description;
            }
        }
    }
    if (!listed) {
        throw NotUsable(path, QStringLiteral("with the layout \"%1\" added, libxkbregistry would not list it; "
                                             "the file is left as it was").arg(name));
    }
}

// The description as the entry holds it: one line, the name when empty.
QString CleanDescription(const QString &description, const QString &name)
{
    QString text;
    for (const char32_t cp : description.toUcs4()) {
        const bool xmlChar = cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF)
            || (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
        if (!xmlChar || cp < 0x20)
            text += u' ';
        else
            text += QString::fromUcs4(&cp, 1);
    }
    text = text.simplified();
    return text.isEmpty() ? name : text;
}

// ---- The pair of entry and files

// The files of an installed layout besides its entry, the symbols file first: with it
// the layout is complete.
QStringList LayoutFiles(const QString &name)
{
    return {SymbolsPath(name), XkbAutostartPath(name)};
}

// Whether the file is a symbols file as XkbSymbolsText writes it for the name.
bool IsTavoSymbolsFile(const QString &name)
{
    std::optional<QByteArray> text;
    try {
        text = ReadIfExists(SymbolsPath(name), 1 << 16);
    } catch (const OperationError &) {
        return false;
    }
    return text && IsXkbSymbolsTextOf(*text, name);
}

bool Exists(const QString &path) { return QFileInfo::exists(path) || QFileInfo(path).isSymLink(); }

// Why this user's folder keeps the name from being installed; empty when it does not.
QString UserFolderProblem(const std::optional<EvdevRules> &rules, const QString &name)
{
    const EvdevLayoutEntry *entry = rules ? rules->layout(name) : nullptr;
    if ((entry && !entry->installedByTavo) || (!entry && Exists(SymbolsPath(name)) && !IsTavoSymbolsFile(name))) {
        return QStringLiteral("This user already has an XKB layout \"%1\" that Tavo did not install; "
                              "Tavo leaves it alone. Choose another name").arg(name);
    }
    return {};
}

// Removes the layout's files, then its entry, once all of it proved removable; the
// folders the install created go when they are empty. Returns the rules as they are now.
// Throws OperationError, and then nothing is changed.
std::optional<EvdevRules> RemoveLayout(XkbFolderLock &lock, const EvdevRules &rules, const QString &name)
{
    const QString rulesPath = RulesPath();
    const EvdevLayoutEntry *entry = rules.layout(name);
    QStringList createdFolders = entry ? entry->createdFolders : QStringList();
    const std::optional<QByteArray> remaining = OnRulesText(rulesPath, [&] { return rules.withoutLayout(name); });
    const QStringList changed = LayoutFiles(name) << rulesPath;
    for (const QString &path : changed)
        CheckChangeable(path);
    FileTransaction transaction;
    try {
        for (const QString &path : LayoutFiles(name))
            transaction.remove(path);
        for (const QString &path : UserComposePaths())
            transaction.writeComposeBlock(path, name, {});
        if (remaining)
            transaction.write(rulesPath, *remaining);
        else
            transaction.remove(rulesPath);
    } catch (const OperationError &) {
        transaction.undo();
        throw;
    }
    // Deepest first, and only when empty: another layout may still need them.
    std::sort(createdFolders.begin(), createdFolders.end(), std::greater<>());
    for (const QString &folder : std::as_const(createdFolders)) {
        if (folder == u"xkb/rules" && !remaining)
            lock.removeFile();
        if (folder == u"xkb" || folder == u"xkb/symbols" || folder == u"xkb/rules" || folder == u"autostart")
            QDir().rmdir(ConfigHome() + u'/' + folder);
    }
    if (!remaining)
        return std::nullopt;
    return OnRulesText(rulesPath, [&] { return EvdevRules(*remaining); });
}

// Completes what a killed install or uninstall left half done: an entry of Tavo's whose
// symbols file is missing goes with the layout's other files. Returns the rules as they are
// now. Throws OperationError.
std::optional<EvdevRules> CompleteHalfDone(XkbFolderLock &lock, std::optional<EvdevRules> rules)
{
    for (bool again = true; again && rules;) {
        again = false;
        for (const EvdevLayoutEntry &entry : rules->layouts()) {
            if (entry.installedByTavo && IsValidXkbLayoutName(entry.name) && !Exists(SymbolsPath(entry.name))) {
                rules = RemoveLayout(lock, *rules, entry.name);
                again = true;
                break;
            }
        }
    }
    return rules;
}

// The short description and the languages as the entry holds them. Throws OperationError.
EvdevLayoutEntry EntryOf(const QString &name, const XkbInstallOptions &options)
{
    EvdevLayoutEntry entry;
    entry.name = name;
    entry.description = CleanDescription(options.description, name);
    entry.shortDescription = CleanDescription(options.shortDescription, QString());
    if (entry.shortDescription.size() > MaxXkbShortDescriptionLength) {
        throw OperationError(QStringLiteral("The short description \"%1\" is too long: use at most %2 characters, "
                                            "\"ru\" say").arg(entry.shortDescription).arg(MaxXkbShortDescriptionLength));
    }
    for (const QString &language : options.languages) {
        const QString code = language.trimmed();
        if (code.isEmpty())
            continue;
        if (!IsIso639Code(code)) {
            throw OperationError(QStringLiteral("Invalid language code \"%1\": use ISO 639 codes of two or three "
                                                "lower-case letters, \"rus\" say").arg(code));
        }
        if (!entry.languages.contains(code))
            entry.languages.append(code);
    }
    // As the database's entries: the two-letter code of the first language, "ru".
    if (entry.shortDescription.isEmpty() && !entry.languages.isEmpty()) {
        const QLocale::Language language = QLocale::codeToLanguage(entry.languages.first());
        const QString twoLetters = language == QLocale::AnyLanguage
            ? QString() : QLocale::languageToCode(language, QLocale::ISO639Part1);
        entry.shortDescription = twoLetters.isEmpty() ? entry.languages.first() : twoLetters;
    }
    return entry;
}

// The autostart entry that loads the layout at X11 logins.
QByteArray AutostartText(const QString &name)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Keyboard layout " + name.toUtf8() + "\n"
           "Comment=Loads the keyboard layout " + name.toUtf8() + " that Tavo installed, in X11 sessions\n"
           "Exec=" + DesktopEntryExec({QStringLiteral("sh"), QStringLiteral("-c"), XkbX11LoadScript(name)}).toUtf8() + "\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n";
}

} // namespace

bool IsIso639Code(const QString &code)
{
    return (code.size() == 2 || code.size() == 3)
        && std::all_of(code.begin(), code.end(), [](QChar c) { return c >= u'a' && c <= u'z'; });
}

QString XkbAutostartPath(const QString &name)
{
    return AutostartFolder() + QStringLiteral("/tavo-xkb-") + name + QStringLiteral(".desktop");
}

QString XkbUserDirectory()
{
    return ConfigHome() + QStringLiteral("/xkb");
}

QString XkbUserSymbolsFolderForMessages()
{
    const QString folder = QDir::cleanPath(XkbUserDirectory() + QStringLiteral("/symbols")) + u'/';
    const QString home = QDir::cleanPath(QDir::homePath());
    return folder.startsWith(home + u'/') ? u'~' + folder.mid(home.size()) : folder;
}

QString XkbInstallNameProblem(const QString &name)
{
    if (!IsValidXkbLayoutName(name)) {
        return QStringLiteral("Invalid XKB layout name \"%1\": use only lower-case letters a-z, digits, "
                              "\"-\" and \"_\", at most %2").arg(name.left(MaxXkbNameLength + 1)).arg(MaxXkbNameLength);
    }
    for (const XkbLayoutInfo &info : XkbRegistryLayouts(XkbLayoutSource::System)) {
        if (info.layout == name) {
            return QStringLiteral("The system already has an XKB layout \"%1\" (%2); a layout of this user "
                                  "with that name would hide it. Choose another name")
                .arg(name, info.description);
        }
    }
    if (QFileInfo::exists(SystemXkbRoot() + QStringLiteral("/symbols/") + name)) {
        return QStringLiteral("The system's XKB data already have symbols named \"%1\"; a layout of this user "
                              "with that name would hide them. Choose another name").arg(name);
    }
    try {
        return UserFolderProblem(ReadRules(RulesPath()), name);
    } catch (const OperationError &error) {
        return error.message();
    }
}

QString InstallXkbLayout(const KeyTableArray &table, const QString &name, const QString &description)
{
    XkbInstallOptions options;
    options.description = description;
    return InstallXkbLayout(table, name, options);
}

QString InstallXkbLayout(const KeyTableArray &table, const QString &name, const XkbInstallOptions &options)
{
    const QString problem = XkbInstallNameProblem(name);
    if (!problem.isEmpty())
        throw OperationError(problem);
    const EvdevLayoutEntry entry = EntryOf(name, options);
    const QByteArray symbols = XkbSymbolsText(table, name);
    VerifyXkbSymbols(table, name, symbols);
    const QByteArray composeBlock = XkbComposeBlock(table, name);
    if (!composeBlock.isEmpty())
        CompileXkbCompose(XkbComposeText(table, name));

    const QString rulesPath = RulesPath();
    XkbFolderLock lock(QFileInfo(rulesPath).path(), true);
    QStringList created = RelativeToConfigHome(lock.createdFolders());
    FileTransaction transaction;
    try {
        std::optional<EvdevRules> oldRules = CompleteHalfDone(lock, ReadRules(rulesPath));
        const QString userProblem = UserFolderProblem(oldRules, name);
        if (!userProblem.isEmpty())
            throw OperationError(userProblem);
        created += MakeConfigFolders(QStringLiteral("xkb/symbols"));
        if (options.loadAtX11Login)
            created += MakeConfigFolders(QStringLiteral("autostart"));
        const EvdevRules rules = oldRules ? *oldRules : EvdevRules(EvdevRules::newFileText());
        const QByteArray newRules = OnRulesText(rulesPath, [&] { return rules.withLayout(entry, created); });
        CheckRegistryLists(newRules, name, entry.description, rulesPath);

        // The entry first and the symbols file last: see the header.
        transaction.write(rulesPath, newRules);
        if (options.loadAtX11Login)
            transaction.write(XkbAutostartPath(name), AutostartText(name));
        else
            transaction.remove(XkbAutostartPath(name));
        for (const QString &path : UserComposePaths())
            transaction.writeComposeBlock(path, name, path == UserComposePath() ? composeBlock : QByteArray());
        transaction.write(SymbolsPath(name), symbols);
    } catch (const OperationError &) {
        transaction.undo();
        // Back to how it was, the folders made for it included.
        std::sort(created.begin(), created.end(), std::greater<>());
        for (const QString &folder : std::as_const(created)) {
            if (folder == u"xkb/rules" && !Exists(rulesPath))
                lock.removeFile();
            QDir().rmdir(ConfigHome() + u'/' + folder);
        }
        throw;
    }
    return entry.description;
}

void UninstallXkbLayout(const QString &name)
{
    const OperationError notInstalled(
        QStringLiteral("No layout \"%1\" is installed for this user through Tavo").arg(name.left(MaxXkbNameLength + 1)));
    if (!IsValidXkbLayoutName(name))
        throw notInstalled;
    const QString rulesPath = RulesPath();
    XkbFolderLock lock(QFileInfo(rulesPath).path(), false);
    const std::optional<EvdevRules> rules = CompleteHalfDone(lock, ReadRules(rulesPath));
    const EvdevLayoutEntry *entry = rules ? rules->layout(name) : nullptr;
    if (entry && entry->installedByTavo) {
        RemoveLayout(lock, *rules, name);
        return;
    }
    // A symbols file an older Tavo left without its entry.
    if (entry || !IsTavoSymbolsFile(name))
        throw notInstalled;
    for (const QString &path : LayoutFiles(name))
        CheckChangeable(path);
    FileTransaction transaction;
    try {
        for (const QString &path : LayoutFiles(name))
            transaction.remove(path);
    } catch (const OperationError &) {
        transaction.undo();
        throw;
    }
}

QList<XkbInstalledLayout> InstalledXkbLayouts()
{
    const QString rulesPath = RulesPath();
    XkbFolderLock lock(QFileInfo(rulesPath).path(), false);
    std::optional<EvdevRules> rules = ReadRules(rulesPath);
    if (lock.held()) {
        try {
            rules = CompleteHalfDone(lock, rules);
        } catch (const OperationError &) {
            // Listing does not depend on it: a half-done layout is not listed.
        }
    }
    if (!rules)
        return {};
    QList<XkbInstalledLayout> layouts;
    for (const EvdevLayoutEntry &entry : rules->layouts()) {
        if (entry.installedByTavo && Exists(SymbolsPath(entry.name)))
            layouts.append({entry.name, entry.description, entry.shortDescription, entry.languages});
    }
    return layouts;
}
