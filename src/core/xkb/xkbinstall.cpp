#include "xkbinstall.h"

#include "atomicfile.h"
#include "evdevrules.h"
#include "operationerror.h"
#include "xkbregistry.h"
#include "xkbsymbols.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xkbcommon/xkbregistry.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <sys/stat.h>

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

// The file's bytes, or nothing when there is no file. Throws OperationError when it cannot be read.
std::optional<QByteArray> ReadIfExists(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    QFile file(path);
    errno = 0;
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        throw OperationError(QStringLiteral("Cannot read %1: %2")
                                 .arg(path, IoErrorMessage(info.isDir() ? EISDIR : (errno ? errno : EIO))));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw OperationError(QStringLiteral("Cannot read %1: %2").arg(path, IoErrorMessage(errno ? errno : EIO)));
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
    if (!QFile::remove(path) && QFileInfo::exists(path))
        throw OperationError(QStringLiteral("Cannot remove %1: %2").arg(path, IoErrorMessage(errno ? errno : EIO)));
}

// Creates missing folders and, on request, removes again the ones it created.
class FolderMaker
{
public:
    void make(const QString &path)
    {
        QStringList missing;
        for (QString p = QDir::cleanPath(path); !QFileInfo::exists(p); p = QFileInfo(p).path()) {
            missing.prepend(p);
            if (p == QFileInfo(p).path())
                break;
        }
        for (const QString &p : std::as_const(missing)) {
            if (::mkdir(QFile::encodeName(p).constData(), 0777) != 0) {
                throw OperationError(QStringLiteral("Cannot create folder %1: %2").arg(p, IoErrorMessage(errno)));
            }
            m_created.prepend(p);
        }
    }
    void removeCreated()
    {
        for (const QString &p : std::as_const(m_created))
            QDir().rmdir(p);
        m_created.clear();
    }

private:
    QStringList m_created;  // deepest first
};

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
    const std::optional<QByteArray> text = ReadIfExists(path);
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

} // namespace

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
                              "\"-\" and \"_\"").arg(name);
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
        const std::optional<EvdevRules> rules = ReadRules(RulesPath());
        const EvdevLayoutEntry *entry = rules ? rules->layout(name) : nullptr;
        if ((entry && !entry->installedByTavo) || (!entry && QFileInfo::exists(SymbolsPath(name)))) {
            return QStringLiteral("This user already has an XKB layout \"%1\" that Tavo did not install; "
                                  "Tavo leaves it alone. Choose another name").arg(name);
        }
    } catch (const OperationError &error) {
        return error.message();
    }
    return {};
}

QString InstallXkbLayout(const KeyTableArray &table, const QString &name, const QString &description)
{
    const QString problem = XkbInstallNameProblem(name);
    if (!problem.isEmpty())
        throw OperationError(problem);
    const QString text = CleanDescription(description, name);
    const QByteArray symbols = XkbSymbolsText(table, name);
    VerifyXkbSymbols(table, name, symbols);

    const QString rulesPath = RulesPath();
    const std::optional<EvdevRules> oldRules = ReadRules(rulesPath);
    QStringList willCreate;
    for (const QString &folder : {QStringLiteral("xkb"), QStringLiteral("xkb/symbols"), QStringLiteral("xkb/rules")}) {
        if (!QFileInfo::exists(ConfigHome() + u'/' + folder))
            willCreate.append(folder);
    }
    const EvdevRules rules = oldRules ? *oldRules : EvdevRules(EvdevRules::newFileText());
    const QByteArray newRules = OnRulesText(rulesPath, [&] { return rules.withLayout(name, text, willCreate); });
    CheckRegistryLists(newRules, name, text, rulesPath);

    const QString symbolsPath = SymbolsPath(name);
    const std::optional<QByteArray> oldSymbols = ReadIfExists(symbolsPath);
    FolderMaker folders;
    bool symbolsWritten = false;
    try {
        folders.make(QFileInfo(symbolsPath).path());
        Write(symbolsPath, symbols);
        symbolsWritten = true;
        folders.make(QFileInfo(rulesPath).path());
        Write(rulesPath, newRules);
    } catch (const OperationError &) {
        // Back to how it was: the symbols file of an earlier install, or none.
        if (symbolsWritten) {
            try {
                if (oldSymbols)
                    Write(symbolsPath, *oldSymbols);
                else
                    Remove(symbolsPath);
            } catch (const OperationError &) {
                // The first failure is the one to report.
            }
        }
        folders.removeCreated();
        throw;
    }
    return text;
}

void UninstallXkbLayout(const QString &name)
{
    const QString rulesPath = RulesPath();
    const std::optional<EvdevRules> rules = ReadRules(rulesPath);
    const EvdevLayoutEntry *entry = rules ? rules->layout(name) : nullptr;
    if (!entry || !entry->installedByTavo)
        throw OperationError(QStringLiteral("No layout \"%1\" is installed for this user through Tavo").arg(name));
    QStringList createdFolders = entry->createdFolders;
    const std::optional<QByteArray> remaining = OnRulesText(rulesPath, [&] { return rules->withoutLayout(name); });
    // The entry goes first: a listed layout without its symbols would fail to load.
    if (remaining)
        Write(rulesPath, *remaining);
    else
        Remove(rulesPath);
    const QString symbolsPath = SymbolsPath(name);
    if (QFileInfo::exists(symbolsPath))
        Remove(symbolsPath);
    // Deepest first, and only when empty: another layout may still need them.
    std::sort(createdFolders.begin(), createdFolders.end(), std::greater<>());
    for (const QString &folder : std::as_const(createdFolders)) {
        if (folder == u"xkb" || folder == u"xkb/symbols" || folder == u"xkb/rules")
            QDir().rmdir(ConfigHome() + u'/' + folder);
    }
}

QList<XkbInstalledLayout> InstalledXkbLayouts()
{
    const std::optional<EvdevRules> rules = ReadRules(RulesPath());
    if (!rules)
        return {};
    QList<XkbInstalledLayout> layouts;
    for (const EvdevLayoutEntry &entry : rules->layouts()) {
        if (entry.installedByTavo)
            layouts.append({entry.name, entry.description});
    }
    return layouts;
}
