// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xkbkeymap.h"

#include "operationerror.h"
#include "xkbregistry.h"

#include <QStringList>

#include <xkbcommon/xkbcommon.h>

#include <cstdarg>
#include <cstdio>

void XkbContextDeleter::operator()(xkb_context *context) const { xkb_context_unref(context); }
void XkbKeymapDeleter::operator()(xkb_keymap *keymap) const { xkb_keymap_unref(keymap); }
void XkbStateDeleter::operator()(xkb_state *state) const { xkb_state_unref(state); }

namespace {

// Collects libxkbcommon's error messages for the OperationError instead of printing them.
void CollectLog(xkb_context *context, xkb_log_level, const char *format, va_list args)
{
    auto *messages = static_cast<QStringList *>(xkb_context_get_user_data(context));
    char line[1024];
    std::vsnprintf(line, sizeof line, format, args);
    const QString text = QString::fromUtf8(line).trimmed();
    if (messages && !text.isEmpty())
        messages->append(text);
}

bool IsWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Walks a symbols file at brace depth 0, skipping comments and strings.
class SymbolsScanner
{
public:
    explicit SymbolsScanner(const QByteArray &text) : m_text(text) {}

    QByteArray defaultBody()
    {
        QByteArray first;
        QList<QByteArray> words;  // the words since the last ";" or "}" at depth 0
        while (skipBlanksAndComments()) {
            const char c = m_text.at(m_pos);
            if (IsWordChar(c)) {
                const qsizetype start = m_pos;
                while (m_pos < m_text.size() && IsWordChar(m_text.at(m_pos)))
                    ++m_pos;
                words << m_text.mid(start, m_pos - start);
            } else if (c == '"') {
                if (!skipString())
                    return {};
            } else if (c == '{') {
                const bool symbols = words.contains("xkb_symbols");
                const bool isDefault = words.contains("default");
                const qsizetype bodyStart = ++m_pos;
                if (!skipToClosingBrace())
                    return {};
                const QByteArray body = m_text.mid(bodyStart, m_pos - 1 - bodyStart);
                if (symbols && isDefault)
                    return body.isNull() ? QByteArray("") : body;
                if (symbols && first.isNull())
                    first = body.isNull() ? QByteArray("") : body;
                words.clear();
            } else {
                if (c == ';')
                    words.clear();
                ++m_pos;
            }
        }
        return first;
    }

private:
    // Moves past blanks and comments; false at the end of the text.
    bool skipBlanksAndComments()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text.at(m_pos);
            if (c == '#' || (c == '/' && m_text.mid(m_pos, 2) == "//")) {
                const qsizetype end = m_text.indexOf('\n', m_pos);
                m_pos = end < 0 ? m_text.size() : end + 1;
            } else if (c == '/' && m_text.mid(m_pos, 2) == "/*") {
                const qsizetype end = m_text.indexOf("*/", m_pos + 2);
                m_pos = end < 0 ? m_text.size() : end + 2;
            } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++m_pos;
            } else {
                return true;
            }
        }
        return false;
    }

    // At an opening quote: moves past the closing one; false when there is none.
    bool skipString()
    {
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            const char c = m_text.at(m_pos);
            if (c == '\\')
                ++m_pos;
            else if (c == '"') {
                ++m_pos;
                return true;
            }
        }
        return false;
    }

    // Just past an opening brace: moves past its closing brace; false when there is none.
    bool skipToClosingBrace()
    {
        int depth = 1;
        while (skipBlanksAndComments()) {
            const char c = m_text.at(m_pos);
            if (c == '"') {
                if (!skipString())
                    return false;
                continue;
            }
            ++m_pos;
            if (c == '{')
                ++depth;
            else if (c == '}' && --depth == 0)
                return true;
        }
        return false;
    }

    const QByteArray &m_text;
    qsizetype m_pos = 0;
};

} // namespace

QByteArray XkbDefaultSymbolsBody(const QByteArray &symbolsText)
{
    return SymbolsScanner(symbolsText).defaultBody();
}

QByteArray XkbKeymapTextOfSymbols(const QByteArray &symbolsText, const QString &layoutName)
{
    const QByteArray body = XkbDefaultSymbolsBody(symbolsText);
    if (body.isNull()) {
        throw OperationError(QStringLiteral("The XKB layout \"%1\" does not compile: no xkb_symbols section")
                                 .arg(layoutName));
    }
    return "xkb_keymap {\n"
           "    xkb_keycodes { include \"evdev+aliases(qwerty)\" };\n"
           "    xkb_types { include \"complete\" };\n"
           "    xkb_compat { include \"complete\" };\n"
           "    xkb_symbols {\n"
           "        include \"pc\"\n"
           + body +
           "\n        include \"inet(evdev)\"\n"
           "    };\n"
           "};\n";
}

XkbContextPtr NewCollectingXkbContext(QStringList &messages)
{
    XkbContextPtr context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (context) {
        xkb_context_set_user_data(context.get(), &messages);
        xkb_context_set_log_fn(context.get(), CollectLog);
        xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_ERROR);
    }
    return context;
}

namespace {

// Runs compile with a context of the default include path whose error messages it
// collects in messages instead of printing them.
template <typename Compile>
XkbKeymapPtr CompileCollecting(const QString &layoutName, QStringList &messages, Compile compile)
{
    XkbContextPtr context = NewCollectingXkbContext(messages);
    if (!context)
        throw OperationError(QStringLiteral("Cannot compile the XKB layout \"%1\": libxkbcommon has no context").arg(layoutName));
    XkbKeymapPtr keymap(compile(context.get()));
    xkb_context_set_user_data(context.get(), nullptr);
    if (!keymap && messages.isEmpty())
        messages << QStringLiteral("libxkbcommon gave no keymap");
    return keymap;
}

} // namespace

XkbKeymapPtr CompileXkbKeymap(const QByteArray &keymapText, const QString &layoutName)
{
    QStringList messages;
    XkbKeymapPtr keymap = CompileCollecting(layoutName, messages, [&](xkb_context *context) {
        return xkb_keymap_new_from_buffer(context, keymapText.constData(), size_t(keymapText.size()),
                                          XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    });
    if (!keymap || !messages.isEmpty()) {
        throw OperationError(QStringLiteral("The XKB layout \"%1\" does not compile: %2")
                                 .arg(layoutName, messages.join(QStringLiteral("; "))));
    }
    return keymap;
}

XkbKeymapPtr CompileXkbLayout(const QString &layout, const QString &variant)
{
    const QString fullName = XkbLayoutInfo{layout, variant, {}, {}}.fullName();
    const QByteArray layoutName = layout.toUtf8();
    const QByteArray variantName = variant.toUtf8();
    const xkb_rule_names names = {"evdev", "pc105", layoutName.constData(), variantName.constData(), ""};
    QStringList messages;
    XkbKeymapPtr keymap = CompileCollecting(fullName, messages, [&](xkb_context *context) {
        return xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    });
    // Errors the compiler recovered from (a symbol it could not resolve, say) leave a
    // usable keymap: only a missing keymap fails.
    if (!keymap) {
        throw OperationError(QStringLiteral("The XKB layout \"%1\" is not known or does not compile: %2")
                                 .arg(fullName, messages.join(QStringLiteral("; "))));
    }
    return keymap;
}
