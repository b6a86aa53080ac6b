// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "evdevrules.h"

#include "codetext.h"
#include "operationerror.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace {

// The comment that marks an entry as Tavo's; it names the folders under $XDG_CONFIG_HOME
// that the install created, which the uninstall removes again when they are empty. No
// layout name goes into it: a name may hold "--", which a comment may not.
const QByteArray EntryMarker = "<!-- Installed by Tavo";
const QByteArray EntryMarkerFolders = "; it created the folders:";
// The comment of an evdev.xml that the install created, and of a layout list it added.
const QByteArray FileMarker = "<!-- Created by Tavo for the layouts it installs for this user -->";
const QByteArray ListMarker = "<!-- Layout list added by Tavo -->";

// One markup item of an XML text, by byte offsets [begin, end).
struct XmlToken {
    enum Kind { StartTag, EndTag, EmptyTag, Comment };
    Kind kind;
    QByteArray name;
    qsizetype begin;
    qsizetype end;
};

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The position of the ">" that ends the markup going on at pos: the first outside quoted
// literals and outside a declaration's internal subset in brackets; the end of the text
// when there is none.
qsizetype MarkupEnd(const QByteArray &text, qsizetype pos)
{
    int brackets = 0;
    char quote = 0;
    for (; pos < text.size(); ++pos) {
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
            break;
        }
    }
    return pos;
}

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
            pos = MarkupEnd(text, pos + 2) + 1;
        } else {
            const bool closing = text.at(pos + 1) == '/';
            qsizetype nameEnd = pos + (closing ? 2 : 1);
            while (nameEnd < text.size() && !IsXmlBlank(text.at(nameEnd)) && text.at(nameEnd) != '>'
                   && text.at(nameEnd) != '/')
                ++nameEnd;
            const QByteArray name = text.mid(pos + (closing ? 2 : 1), nameEnd - pos - (closing ? 2 : 1));
            pos = MarkupEnd(text, nameEnd);
            const bool empty = !closing && pos > 0 && text.at(pos - 1) == '/';
            ++pos;
            tokens.append({closing ? XmlToken::EndTag : (empty ? XmlToken::EmptyTag : XmlToken::StartTag), name,
                           begin, pos});
        }
    }
    return tokens;
}

// The code of a numeric character reference, "#x" and hexadecimal or "#" and decimal digits,
// leading zeros allowed; nothing for any other text and for a code beyond Unicode.
std::optional<char32_t> ReferencedCode(QStringView ref)
{
    const bool hex = ref.startsWith(u"#x");
    QStringView digits = ref.sliced(hex ? 2 : 1);
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.sliced(1);
    std::optional<char32_t> code;
    if (hex) {
        code = HexValue(digits, 6);
    } else if (!digits.isEmpty() && digits.size() <= 7
               && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        code = digits.toUInt();
    }
    if (code && *code > 0x10FFFF)
        return std::nullopt;
    return code;
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
        if (ref.startsWith(u'#')) {
            const std::optional<char32_t> cp = ReferencedCode(ref);
            ok = cp.has_value();
            if (ok)
                out += QString::fromUcs4(&*cp, 1);
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

// The elements of configItem in the order xkb.dtd gives them.
QByteArray EntryText(const EvdevLayoutEntry &layout, const QStringList &createdFolders, const QByteArray &indent,
                     const QByteArray &nl)
{
    const QByteArray &i = indent;
    QByteArray marker = EntryMarker;
    if (!createdFolders.isEmpty())
        marker += EntryMarkerFolders + ' ' + createdFolders.join(u' ').toUtf8();
    marker += " -->";
    QByteArray item = nl + i + "    <name>" + EncodeXmlText(layout.name) + "</name>";
    if (!layout.shortDescription.isEmpty())
        item += nl + i + "    <shortDescription>" + EncodeXmlText(layout.shortDescription) + "</shortDescription>";
    item += nl + i + "    <description>" + EncodeXmlText(layout.description) + "</description>";
    if (!layout.languages.isEmpty()) {
        item += nl + i + "    <languageList>";
        for (const QString &language : layout.languages)
            item += nl + i + "      <iso639Id>" + EncodeXmlText(language) + "</iso639Id>";
        item += nl + i + "    </languageList>";
    }
    return "<layout>" + nl + i + "  " + marker + nl + i + "  <configItem>" + item + nl + i + "  </configItem>" + nl
        + i + "</layout>";
}

} // namespace

QByteArray EvdevRules::newFileText()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE xkbConfigRegistry SYSTEM \"xkb.dtd\">\n"
           + FileMarker + "\n"
           "<xkbConfigRegistry version=\"1.1\">\n"
           "  <layoutList>\n"
           "  </layoutList>\n"
           "</xkbConfigRegistry>\n";
}

EvdevRules::EvdevRules(const QByteArray &text) : m_text(text)
{
    QXmlStreamReader reader(text);
    bool rootSeen = false;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && !rootSeen) {
            rootSeen = true;
            if (reader.name() != u"xkbConfigRegistry")
                throw OperationError(QStringLiteral("it is not an XKB rules file (its root is <%1>)").arg(reader.name()));
        }
    }
    if (reader.hasError()) {
        throw OperationError(QStringLiteral("it is not well-formed XML (line %1: %2)")
                                 .arg(reader.lineNumber())
                                 .arg(reader.errorString()));
    }
    analyse();
    if (m_rootContent < 0)
        throw OperationError(QStringLiteral("Tavo cannot read its encoding"));
}

// Reads the markup of a text that QXmlStreamReader found well-formed.
void EvdevRules::analyse()
{
    const QByteArray &text = m_text;
    QList<QByteArray> stack;
    EvdevLayoutEntry entry;
    qsizetype textStart = -1;   // content start of a <name> or <description> being read
    qsizetype previousEnd = 0;  // end of the token before, for "just before" and blank checks
    const auto path3 = [&](const char *a, const char *b) {
        return stack.size() >= 2 && stack.at(stack.size() - 2) == a && stack.last() == b;
    };
    const auto inLanguageList = [&] {
        return stack.size() >= 3 && stack.at(stack.size() - 3) == "layout" && stack.at(stack.size() - 2) == "configItem"
            && stack.last() == "languageList";
    };
    QByteArray textElement;  // the element of textStart
    const auto blankBetween = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            if (!IsXmlBlank(text.at(i)))
                return false;
        }
        return true;
    };
    qsizetype lastComment = -1;  // begin of a comment that ended at previousEnd
    for (const XmlToken &token : Tokenize(text)) {
        const bool inFirstList = m_listStartTag >= 0 && m_listEnd < 0 && stack.size() >= 2
            && stack.at(1) == "layoutList";
        switch (token.kind) {
        case XmlToken::Comment:
            if (stack.isEmpty() && text.mid(token.begin, token.end - token.begin) == FileMarker)
                m_createdByTavo = true;
            if (!stack.isEmpty() && stack.last() == "layout" && text.mid(token.begin, EntryMarker.size()) == EntryMarker) {
                entry.installedByTavo = true;
                const QByteArray comment = text.mid(token.begin, token.end - token.begin);
                const qsizetype folders = comment.indexOf(EntryMarkerFolders);
                if (folders >= 0) {
                    const QByteArray list = comment.mid(folders + EntryMarkerFolders.size()).chopped(3);
                    entry.createdFolders = QString::fromUtf8(list).split(u' ', Qt::SkipEmptyParts);
                }
            }
            if (inFirstList && stack.size() == 2)
                m_listHasChildren = true;
            lastComment = token.begin;
            break;
        case XmlToken::StartTag:
        case XmlToken::EmptyTag: {
            const bool empty = token.kind == XmlToken::EmptyTag;
            if (inFirstList && stack.size() == 2)
                m_listHasChildren = true;
            if (stack.isEmpty()) {
                m_rootStartTag = token.begin;
                m_rootContent = token.end;
            } else if (stack.size() == 1 && token.name == "layoutList") {
                if (empty) {
                    m_emptyList = true;
                } else if (m_listStartTag < 0) {
                    m_listStartTag = token.begin;
                    m_listContent = token.end;
                    if (lastComment >= 0 && blankBetween(previousEnd, token.begin)
                        && text.mid(lastComment, previousEnd - lastComment) == ListMarker)
                        m_listMarker = lastComment;
                }
            } else if (stack.size() == 1 && token.name == "modelList" && empty) {
                m_afterModelList = token.end;
            } else if (token.name == "model" || token.name == "group" || token.name == "layout") {
                m_listsAnything = true;
            }
            if (token.name == "layout" && path3("xkbConfigRegistry", "layoutList")) {
                entry = EvdevLayoutEntry();
                entry.begin = token.begin;
            }
            if (!empty
                && (((token.name == "name" || token.name == "description" || token.name == "shortDescription")
                     && path3("layout", "configItem"))
                    || (token.name == "iso639Id" && inLanguageList()))) {
                textStart = token.end;
                textElement = token.name;
            }
            if (!empty)
                stack.append(token.name);
            break;
        }
        case XmlToken::EndTag:
            if (textStart >= 0) {
                const QString value = DecodeXmlText(text.mid(textStart, token.begin - textStart)).trimmed();
                if (textElement == "iso639Id")
                    entry.languages.append(value);
                else
                    (textElement == "name" ? entry.name
                     : textElement == "description" ? entry.description : entry.shortDescription) = value;
                textStart = -1;
            }
            if (!stack.isEmpty())
                stack.removeLast();
            if (token.name == "layout" && path3("xkbConfigRegistry", "layoutList")) {
                entry.end = token.end;
                m_layouts.append(entry);
            } else if (stack.size() == 1 && token.name == "layoutList" && m_listStartTag >= 0 && m_listEnd < 0) {
                m_listEnd = token.end;
            } else if (stack.size() == 1 && token.name == "modelList") {
                m_afterModelList = token.end;
            }
            break;
        }
        if (token.kind != XmlToken::Comment)
            lastComment = -1;
        previousEnd = token.end;
    }
}

const EvdevLayoutEntry *EvdevRules::layout(const QString &name) const
{
    for (const EvdevLayoutEntry &entry : m_layouts) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

QByteArray EvdevRules::withLayout(const EvdevLayoutEntry &wanted, QStringList createdFolders) const
{
    const QString &name = wanted.name;
    const QByteArray &text = m_text;
    const QByteArray nl = LineBreakOf(text);
    QByteArray out = text;
    if (const EvdevLayoutEntry *old = layout(name)) {
        if (!old->installedByTavo)
            throw OperationError(QStringLiteral("it lists a layout \"%1\" that Tavo did not install").arg(name));
        for (const QString &folder : old->createdFolders) {
            if (!createdFolders.contains(folder))
                createdFolders.append(folder);
        }
        return out.replace(old->begin, old->end - old->begin,
                           EntryText(wanted, createdFolders, IndentOf(text, old->begin), nl));
    }
    if (m_listContent >= 0) {
        const QByteArray indent = IndentOf(text, m_listStartTag) + "  ";
        return out.insert(m_listContent, nl + indent + EntryText(wanted, createdFolders, indent, nl));
    }
    if (m_emptyList) {
        throw OperationError(QStringLiteral("its layout list is the empty element <layoutList/>; "
                                            "write it as <layoutList></layoutList> to add layouts"));
    }
    // No layout list yet: one goes after the model list, where the format wants it.
    const QByteArray indent = IndentOf(text, m_rootStartTag) + "  ";
    const QByteArray inner = indent + "  ";
    const qsizetype at = m_afterModelList >= 0 ? m_afterModelList : m_rootContent;
    return out.insert(at, nl + indent + ListMarker + nl + indent + "<layoutList>" + nl + inner
                              + EntryText(wanted, createdFolders, inner, nl) + nl + indent + "</layoutList>");
}

std::optional<QByteArray> EvdevRules::withoutLayout(const QString &name) const
{
    const EvdevLayoutEntry *entry = layout(name);
    if (!entry || !entry->installedByTavo)
        return m_text;
    // The entry goes with the line break and indent that came with it.
    const QByteArray &text = m_text;
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
    const qsizetype begin = startOfLine(entry->begin);
    QByteArray out = text;
    out.remove(begin, entry->end - begin);

    const EvdevRules after(out);
    if (after.m_listMarker >= 0 && !after.m_listHasChildren && after.m_listEnd >= 0) {
        const qsizetype listBegin = startOfLine(after.m_listMarker);
        out.remove(listBegin, after.m_listEnd - listBegin);
    }
    if (after.m_createdByTavo && !after.m_listsAnything)
        return std::nullopt;
    return out;
}
