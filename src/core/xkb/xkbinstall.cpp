#include "xkbinstall.h"

#include "atomicfile.h"
#include "operationerror.h"
#include "xkbregistry.h"
#include "xkbsymbols.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <xkbcommon/xkbregistry.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace {

// The comment that marks an entry as ours; it names the folders under $XDG_CONFIG_HOME
// that the install created, which the uninstall removes again when they are empty. No
// layout name goes into it: a name may hold "--", which a comment may not.
const QByteArray EntryMarker = "<!-- Installed by Tavo";
const QByteArray EntryMarkerFolders = "; it created the folders:";
// The comment of an evdev.xml that the install created, and of a layout list it added.
const QByteArray FileMarker = "<!-- Created by Tavo for the layouts it installs for this user -->";
const QByteArray ListMarker = "<!-- Layout list added by Tavo -->";

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

// ---- The user's evdev.xml as text

// One markup item of an XML text, by byte offsets [begin, end).
struct XmlToken {
    enum Kind { StartTag, EndTag, EmptyTag, Comment, Other };
    Kind kind;
    QByteArray name;
    qsizetype begin;
    qsizetype end;
};

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The markup of a text that QXmlStreamReader found well-formed; text between is skipped.
QList<XmlToken> Tokenize(const QByteArray &text)
{
    QList<XmlToken> tokens;
    qsizetype pos = 0;
    const auto until = [&](const char *end, qsizetype from) {
        const qsizetype at = text.indexOf(end, from);
        return at < 0 ? text.size() : at + qsizetype(qstrlen(end));
    };
    while ((pos = text.indexOf('<', pos)) >= 0) {
        const qsizetype begin = pos;
        if (text.mid(pos, 4) == "<!--") {
            pos = until("-->", pos + 4);
            tokens.append({XmlToken::Comment, {}, begin, pos});
        } else if (text.mid(pos, 9) == "<![CDATA[") {
            pos = until("]]>", pos + 9);
        } else if (text.mid(pos, 2) == "<?") {
            pos = until("?>", pos + 2);
        } else if (text.mid(pos, 2) == "<!") {
            // A declaration, with its internal subset in brackets and quoted literals.
            int brackets = 0;
            char quote = 0;
            for (pos += 2; pos < text.size(); ++pos) {
                const char c = text.at(pos);
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '[') {
                    ++brackets;
                } else if (c == ']') {
                    --brackets;
                } else if (c == '>' && brackets <= 0) {
                    ++pos;
                    break;
                }
            }
        } else {
            const bool closing = text.at(pos + 1) == '/';
            qsizetype nameEnd = pos + (closing ? 2 : 1);
            while (nameEnd < text.size() && !IsXmlBlank(text.at(nameEnd)) && text.at(nameEnd) != '>'
                   && text.at(nameEnd) != '/')
                ++nameEnd;
            const QByteArray name = text.mid(pos + (closing ? 2 : 1), nameEnd - pos - (closing ? 2 : 1));
            char quote = 0;
            for (pos = nameEnd; pos < text.size(); ++pos) {
                const char c = text.at(pos);
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            const bool empty = !closing && pos > 0 && text.at(pos - 1) == '/';
            ++pos;
            tokens.append({closing ? XmlToken::EndTag : (empty ? XmlToken::EmptyTag : XmlToken::StartTag), name,
                           begin, pos});
        }
    }
    return tokens;
}

// Character data as XML holds it: UTF-8 with the predefined and numeric references.
QString DecodeXmlText(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype semicolon = text.at(i) == u'&' ? text.indexOf(u';', i) : -1;
        if (semicolon < 0) {
            out += text.at(i);
            continue;
        }
        const QString ref = text.mid(i + 1, semicolon - i - 1);
        static const QList<std::pair<QString, QString>> named = {
            {QStringLiteral("lt"), QStringLiteral("<")},   {QStringLiteral("gt"), QStringLiteral(">")},
            {QStringLiteral("amp"), QStringLiteral("&")},  {QStringLiteral("quot"), QStringLiteral("\"")},
            {QStringLiteral("apos"), QStringLiteral("'")}};
        bool ok = false;
        if (ref.startsWith(u"#x")) {
            const char32_t cp = ref.mid(2).toUInt(&ok, 16);
            if (ok)
                out += QString::fromUcs4(&cp, 1);
        } else if (ref.startsWith(u'#')) {
            const char32_t cp = ref.mid(1).toUInt(&ok, 10);
            if (ok)
                out += QString::fromUcs4(&cp, 1);
        } else {
            for (const auto &[entity, value] : named) {
                if (ref == entity) {
                    out += value;
                    ok = true;
                }
            }
        }
        if (!ok)
            out += text.mid(i, semicolon - i + 1);
        i = semicolon;
    }
    return out;
}

// An ASCII-only text for element content, so that it reads the same in any file encoding.
QByteArray EncodeXmlText(const QString &text)
{
    QByteArray out;
    for (const char32_t cp : text.toUcs4()) {
        if (cp == U'<')
            out += "&lt;";
        else if (cp == U'>')
            out += "&gt;";
        else if (cp == U'&')
            out += "&amp;";
        else if (cp >= 0x20 && cp < 0x7F)
            out += char(cp);
        else
            out += "&#x" + QByteArray::number(uint(cp), 16).toUpper() + ';';
    }
    return out;
}

struct RulesEntry {
    QString name;
    QString description;
    bool ours = false;
    QStringList createdFolders;  // "xkb/rules", from our comment
    qsizetype begin = -1;  // of "<layout>"
    qsizetype end = -1;    // after "</layout>"
};

// What the merge needs to know of a rules file.
struct RulesFile {
    QList<RulesEntry> layouts;          // the layouts of its layout lists
    qsizetype listStartTag = -1;        // "<layoutList>" of the first list with a start tag
    qsizetype listContent = -1;         // just after it
    qsizetype listEnd = -1;             // after its "</layoutList>"
    bool listHasChildren = false;       // elements or comments in it
    qsizetype listMarker = -1;          // our list comment just before its start tag
    bool emptyList = false;             // a "<layoutList/>"
    qsizetype rootStartTag = -1;
    qsizetype rootContent = -1;
    qsizetype afterModelList = -1;
    bool createdByUs = false;
    bool listsAnything = false;         // models, layouts or option groups
};

OperationError NotUsable(const QString &path, const QString &why)
{
    return OperationError(QStringLiteral("Cannot use %1: %2").arg(path, why));
}

RulesFile AnalyseRules(const QByteArray &text, const QString &path)
{
    QXmlStreamReader reader(text);
    bool rootSeen = false;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && !rootSeen) {
            rootSeen = true;
            if (reader.name() != u"xkbConfigRegistry")
                throw NotUsable(path, QStringLiteral("it is not an XKB rules file (its root is <%1>)").arg(reader.name()));
        }
    }
    if (reader.hasError()) {
        throw NotUsable(path, QStringLiteral("it is not well-formed XML (line %1: %2)")
                                  .arg(reader.lineNumber())
                                  .arg(reader.errorString()));
    }

    RulesFile rules;
    QList<QByteArray> stack;
    RulesEntry entry;
    qsizetype textStart = -1;   // content start of a <name> or <description> being read
    qsizetype previousEnd = 0;  // end of the token before, for "just before" and blank checks
    const QList<XmlToken> tokens = Tokenize(text);
    const auto path3 = [&](const char *a, const char *b) {
        return stack.size() >= 2 && stack.at(stack.size() - 2) == a && stack.last() == b;
    };
    const auto blankBetween = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            if (!IsXmlBlank(text.at(i)))
                return false;
        }
        return true;
    };
    qsizetype lastComment = -1;  // begin of a comment that ended at previousEnd
    for (const XmlToken &token : tokens) {
        const bool inFirstList = rules.listStartTag >= 0 && rules.listEnd < 0 && stack.size() >= 2
            && stack.at(1) == "layoutList";
        switch (token.kind) {
        case XmlToken::Comment:
            if (stack.isEmpty() && text.mid(token.begin, token.end - token.begin) == FileMarker)
                rules.createdByUs = true;
            if (!stack.isEmpty() && stack.last() == "layout" && text.mid(token.begin, EntryMarker.size()) == EntryMarker) {
                entry.ours = true;
                const QByteArray comment = text.mid(token.begin, token.end - token.begin);
                const qsizetype folders = comment.indexOf(EntryMarkerFolders);
                if (folders >= 0) {
                    const QByteArray list = comment.mid(folders + EntryMarkerFolders.size()).chopped(3);
                    entry.createdFolders = QString::fromUtf8(list).split(u' ', Qt::SkipEmptyParts);
                }
            }
            if (inFirstList && stack.size() == 2)
                rules.listHasChildren = true;
            lastComment = token.begin;
            break;
        case XmlToken::StartTag:
        case XmlToken::EmptyTag: {
            const bool empty = token.kind == XmlToken::EmptyTag;
            if (inFirstList && stack.size() == 2)
                rules.listHasChildren = true;
            if (stack.isEmpty()) {
                rules.rootStartTag = token.begin;
                rules.rootContent = token.end;
            } else if (stack.size() == 1 && token.name == "layoutList") {
                if (empty) {
                    rules.emptyList = true;
                } else if (rules.listStartTag < 0) {
                    rules.listStartTag = token.begin;
                    rules.listContent = token.end;
                    if (lastComment >= 0 && blankBetween(previousEnd, token.begin)
                        && text.mid(lastComment, previousEnd - lastComment) == ListMarker)
                        rules.listMarker = lastComment;
                }
            } else if (stack.size() == 1 && token.name == "modelList" && empty) {
                rules.afterModelList = token.end;
            } else if (token.name == "model" || token.name == "group" || token.name == "layout") {
                rules.listsAnything = true;
            }
            if (token.name == "layout" && path3("xkbConfigRegistry", "layoutList")) {
                entry = RulesEntry();
                entry.begin = token.begin;
            }
            if ((token.name == "name" || token.name == "description") && path3("layout", "configItem") && !empty)
                textStart = token.end;
            if (!empty)
                stack.append(token.name);
            break;
        }
        case XmlToken::EndTag:
            if (textStart >= 0) {
                const QString value = DecodeXmlText(text.mid(textStart, token.begin - textStart)).trimmed();
                (token.name == "name" ? entry.name : entry.description) = value;
                textStart = -1;
            }
            if (!stack.isEmpty())
                stack.removeLast();
            if (token.name == "layout" && path3("xkbConfigRegistry", "layoutList")) {
                entry.end = token.end;
                rules.layouts.append(entry);
            } else if (stack.size() == 1 && token.name == "layoutList" && rules.listStartTag >= 0 && rules.listEnd < 0) {
                rules.listEnd = token.end;
            } else if (stack.size() == 1 && token.name == "modelList") {
                rules.afterModelList = token.end;
            }
            break;
        case XmlToken::Other:
            break;
        }
        if (token.kind != XmlToken::Comment)
            lastComment = -1;
        previousEnd = token.end;
    }
    if (rules.rootContent < 0)
        throw NotUsable(path, QStringLiteral("Tavo cannot read its encoding"));
    return rules;
}

// The line break of the text: CR LF when its first line ends so.
QByteArray LineBreakOf(const QByteArray &text)
{
    const qsizetype lf = text.indexOf('\n');
    return lf > 0 && text.at(lf - 1) == '\r' ? QByteArray("\r\n") : QByteArray("\n");
}

// The blanks before the position on its line; empty when other text comes first.
QByteArray IndentOf(const QByteArray &text, qsizetype pos)
{
    qsizetype start = pos;
    while (start > 0 && (text.at(start - 1) == ' ' || text.at(start - 1) == '\t'))
        --start;
    if (start > 0 && text.at(start - 1) != '\n')
        return {};
    return text.mid(start, pos - start);
}

QByteArray EntryText(const QString &name, const QString &description, const QStringList &createdFolders,
                     const QByteArray &indent, const QByteArray &nl)
{
    const QByteArray &i = indent;
    QByteArray marker = EntryMarker;
    if (!createdFolders.isEmpty())
        marker += EntryMarkerFolders + ' ' + createdFolders.join(u' ').toUtf8();
    marker += " -->";
    return "<layout>" + nl + i + "  " + marker + nl + i + "  <configItem>" + nl + i + "    <name>"
        + EncodeXmlText(name) + "</name>" + nl + i + "    <description>" + EncodeXmlText(description)
        + "</description>" + nl + i + "  </configItem>" + nl + i + "</layout>";
}

// The evdev.xml an install creates, before its entry goes in.
QByteArray NewRulesFile()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE xkbConfigRegistry SYSTEM \"xkb.dtd\">\n"
           + FileMarker + "\n"
           "<xkbConfigRegistry version=\"1.1\">\n"
           "  <layoutList>\n"
           "  </layoutList>\n"
           "</xkbConfigRegistry>\n";
}

const RulesEntry *FindEntry(const RulesFile &rules, const QString &name)
{
    for (const RulesEntry &entry : rules.layouts) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

QByteArray MergeEntry(const QByteArray &text, const QString &name, const QString &description,
                      QStringList createdFolders, const QString &path)
{
    const RulesFile rules = AnalyseRules(text, path);
    const QByteArray nl = LineBreakOf(text);
    QByteArray out = text;
    if (const RulesEntry *old = FindEntry(rules, name)) {
        if (!old->ours)
            throw NotUsable(path, QStringLiteral("it lists a layout \"%1\" that Tavo did not install").arg(name));
        for (const QString &folder : old->createdFolders) {
            if (!createdFolders.contains(folder))
                createdFolders.append(folder);
        }
        return out.replace(old->begin, old->end - old->begin,
                           EntryText(name, description, createdFolders, IndentOf(text, old->begin), nl));
    }
    if (rules.listContent >= 0) {
        const QByteArray indent = IndentOf(text, rules.listStartTag) + "  ";
        return out.insert(rules.listContent, nl + indent + EntryText(name, description, createdFolders, indent, nl));
    }
    if (rules.emptyList) {
        throw NotUsable(path, QStringLiteral("its layout list is the empty element <layoutList/>; "
                                             "write it as <layoutList></layoutList> to add layouts"));
    }
    // No layout list yet: one goes after the model list, where the format wants it.
    const QByteArray indent = IndentOf(text, rules.rootStartTag) + "  ";
    const QByteArray inner = indent + "  ";
    const qsizetype at = rules.afterModelList >= 0 ? rules.afterModelList : rules.rootContent;
    return out.insert(at, nl + indent + ListMarker + nl + indent + "<layoutList>" + nl + inner
                              + EntryText(name, description, createdFolders, inner, nl) + nl + indent + "</layoutList>");
}

// The text without our entry; nothing when the file should go. Gives the folders the
// entry says its install created.
std::optional<QByteArray> RemoveEntry(const QByteArray &text, const QString &name, const QString &path,
                                      QStringList &createdFolders)
{
    const RulesFile rules = AnalyseRules(text, path);
    const RulesEntry *entry = FindEntry(rules, name);
    if (!entry || !entry->ours)
        throw OperationError(QStringLiteral("No layout \"%1\" is installed for this user through Tavo").arg(name));
    // The entry goes with the line break and indent that came with it.
    const auto startOfLine = [&text](qsizetype begin) {
        while (begin > 0 && (text.at(begin - 1) == ' ' || text.at(begin - 1) == '\t'))
            --begin;
        if (begin > 0 && text.at(begin - 1) == '\n') {
            --begin;
            if (begin > 0 && text.at(begin - 1) == '\r')
                --begin;
        }
        return begin;
    };
    createdFolders = entry->createdFolders;
    const qsizetype begin = startOfLine(entry->begin);
    QByteArray out = text;
    out.remove(begin, entry->end - begin);

    const RulesFile after = AnalyseRules(out, path);
    if (after.listMarker >= 0 && !after.listHasChildren && after.listEnd >= 0) {
        const qsizetype listBegin = startOfLine(after.listMarker);
        out.remove(listBegin, after.listEnd - listBegin);
    }
    if (after.createdByUs && !after.listsAnything)
        return std::nullopt;
    return out;
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
        const std::optional<QByteArray> rules = ReadIfExists(RulesPath());
        const RulesFile analysed = rules ? AnalyseRules(*rules, RulesPath()) : RulesFile();
        const RulesEntry *entry = FindEntry(analysed, name);
        if ((entry && !entry->ours) || (!entry && QFileInfo::exists(SymbolsPath(name)))) {
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
    const std::optional<QByteArray> oldRules = ReadIfExists(rulesPath);
    QStringList willCreate;
    for (const QString &folder : {QStringLiteral("xkb"), QStringLiteral("xkb/symbols"), QStringLiteral("xkb/rules")}) {
        if (!QFileInfo::exists(ConfigHome() + u'/' + folder))
            willCreate.append(folder);
    }
    const QByteArray newRules = MergeEntry(oldRules ? *oldRules : NewRulesFile(), name, text, willCreate, rulesPath);
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
    const std::optional<QByteArray> rules = ReadIfExists(rulesPath);
    if (!rules)
        throw OperationError(QStringLiteral("No layout \"%1\" is installed for this user through Tavo").arg(name));
    QStringList createdFolders;
    const std::optional<QByteArray> remaining = RemoveEntry(*rules, name, rulesPath, createdFolders);
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
    const std::optional<QByteArray> rules = ReadIfExists(RulesPath());
    if (!rules)
        return {};
    QList<XkbInstalledLayout> layouts;
    for (const RulesEntry &entry : AnalyseRules(*rules, RulesPath()).layouts) {
        if (entry.ours)
            layouts.append({entry.name, entry.description});
    }
    return layouts;
}
