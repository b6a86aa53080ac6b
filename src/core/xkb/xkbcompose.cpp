// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xkbcompose.h"

#include "codetext.h"
#include "keytexts.h"
#include "operationerror.h"
#include "xkbkeymap.h"
#include "xkbsymbols.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QSet>

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <optional>

void XkbComposeTableDeleter::operator()(xkb_compose_table *table) const { xkb_compose_table_unref(table); }
void XkbComposeStateDeleter::operator()(xkb_compose_state *state) const { xkb_compose_state_unref(state); }

namespace {

const QByteArray IncludeLocaleLine = "include \"%L\"\n";

xkb_compose_table *TableFromBuffer(xkb_context *context, const QByteArray &text, const QByteArray &locale)
{
    return xkb_compose_table_new_from_buffer(context, text.constData(), size_t(text.size()), locale.constData(),
                                             XKB_COMPOSE_FORMAT_TEXT_V1, XKB_COMPOSE_COMPILE_NO_FLAGS);
}

// A dead keysym and what the system composes of it with the space bar and with itself.
struct DeadKeysymInfo {
    xkb_keysym_t sym;
    QString withSpace;
    QString withItself;
};

// Every dead keysym libxkbcommon names (they lie in 0xFE00..0xFEFF), once.
const QList<DeadKeysymInfo> &DeadKeysymInfos()
{
    static const QList<DeadKeysymInfo> infos = [] {
        QList<DeadKeysymInfo> list;
        xkb_compose_table *system = SystemComposeTable();
        for (xkb_keysym_t sym = 0xFE00; sym <= 0xFEFF; ++sym) {
            if (!IsDeadKeysym(sym))
                continue;
            list.append({sym, ComposeResult(system, {sym, XKB_KEY_space}), ComposeResult(system, {sym, sym})});
        }
        return list;
    }();
    return infos;
}

// The keysym that types the character in the symbols file; NoSymbol for none.
xkb_keysym_t KeysymOfCharacter(const QString &text)
{
    const std::optional<char32_t> cp = SingleCodePoint(text);
    return cp ? xkb_utf32_to_keysym(*cp) : XKB_KEY_NoSymbol;
}

// The dead state's own character as the table holds it; empty for none.
QString OwnCharacter(const s_key &key, ShiftState state)
{
    const std::optional<char32_t> cp = KeyCodeValue(CodeOf(key, state));
    return cp ? QString::fromUcs4(&*cp, 1) : QString();
}

int PairsGiven(xkb_compose_table *system, xkb_keysym_t sym, const DeadKey &dead)
{
    int given = 0;
    for (const DeadPair &pair : dead.pairs) {
        const xkb_keysym_t base = KeysymOfCharacter(pair.base);
        if (base != XKB_KEY_NoSymbol && ComposeResult(system, {sym, base}) == pair.result)
            ++given;
    }
    return given;
}

// The dead keysym for the state (see the header); NoSymbol when its character has none.
xkb_keysym_t DeadKeysymOf(const DeadKey &dead, const QString &own)
{
    const xkb_keysym_t stored = xkb_keysym_from_name(dead.keysym.toUtf8().constData(), XKB_KEYSYM_NO_FLAGS);
    if (!dead.keysym.isEmpty() && IsDeadKeysym(stored))
        return stored;
    if (own.isEmpty())
        return XKB_KEY_NoSymbol;
    xkb_keysym_t best = XKB_KEY_NoSymbol;
    int bestGiven = -1;
    for (const DeadKeysymInfo &info : DeadKeysymInfos()) {
        if (info.withItself != own && info.withSpace != own)
            continue;
        const int given = PairsGiven(SystemComposeTable(), info.sym, dead);
        if (given > bestGiven) {
            best = info.sym;
            bestGiven = given;
        }
    }
    return best;
}

QByteArray QuotedComposeString(const QString &text)
{
    QByteArray quoted = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

QByteArray SequenceLine(xkb_keysym_t dead, xkb_keysym_t next, const QString &result)
{
    return '<' + XkbKeysymNameOf(dead).toLatin1() + "> <" + XkbKeysymNameOf(next).toLatin1() + "> : "
           + QuotedComposeString(result) + '\n';
}

QByteArray LineOf(const QByteArray &text, qsizetype start)
{
    const qsizetype end = text.indexOf('\n', start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

} // namespace

QByteArray XkbComposeLocale()
{
    for (const char *variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (value.isEmpty())
            continue;
        const QByteArray lower = value.toLower();
        return lower.contains("utf-8") || lower.contains("utf8") ? value : QByteArray("C.UTF-8");
    }
    return "C.UTF-8";
}

xkb_compose_table *SystemComposeTable()
{
    static xkb_compose_table *const table = [] {
        xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
        if (!context)
            return static_cast<xkb_compose_table *>(nullptr);
        xkb_context_set_log_level(context, XKB_LOG_LEVEL_CRITICAL);
        xkb_compose_table *found = nullptr;
        for (const QByteArray &locale : {XkbComposeLocale(), QByteArray("C.UTF-8"), QByteArray("en_US.UTF-8")}) {
            found = TableFromBuffer(context, IncludeLocaleLine, locale);
            if (found)
                break;
        }
        xkb_context_unref(context);
        return found;
    }();
    return table;
}

QString ComposeResult(xkb_compose_table *table, std::initializer_list<quint32> keysyms)
{
    if (!table)
        return {};
    const XkbComposeStatePtr state(xkb_compose_state_new(table, XKB_COMPOSE_STATE_NO_FLAGS));
    if (!state)
        return {};
    qsizetype fed = 0;
    for (const quint32 sym : keysyms) {
        xkb_compose_state_feed(state.get(), sym);
        const xkb_compose_status status = xkb_compose_state_get_status(state.get());
        if (++fed < qsizetype(keysyms.size()) ? status != XKB_COMPOSE_COMPOSING : status != XKB_COMPOSE_COMPOSED)
            return {};
    }
    char buffer[256];
    const int size = xkb_compose_state_get_utf8(state.get(), buffer, sizeof buffer);
    if (size <= 0 || size >= int(sizeof buffer))
        return {};
    return QString::fromUtf8(buffer, size);
}

bool IsDeadKeysym(quint32 keysym)
{
    char name[64];
    return xkb_keysym_get_name(keysym, name, sizeof name) > 0 && QByteArrayView(name).startsWith("dead_");
}

XkbDeadKeysymTable XkbDeadKeysyms(const KeyTableArray &table, const QString &layoutName)
{
    XkbDeadKeysymTable syms{};
    const xkb_keysym_t privateBase = 0x010F0000 + (qChecksum(layoutName.toUtf8()) % 256) * 256;
    xkb_keysym_t privateCount = 0;
    for (int number = 1; number <= TableKeyCount; ++number) {
        const s_key &key = KeyByNumber(table, number);
        for (int level = 0; level < 4; ++level) {
            const std::optional<DeadKey> &dead = DeadOf(key, XkbLevelStates[level]);
            if (!dead)
                continue;
            xkb_keysym_t sym = DeadKeysymOf(*dead, OwnCharacter(key, XkbLevelStates[level]));
            if (sym == XKB_KEY_NoSymbol)
                sym = privateBase + privateCount++;
            syms[number - 1][level] = sym;
        }
    }
    return syms;
}

QByteArray XkbComposeBlockBegin(const QString &layoutName)
{
    return "# Tavo: begin of the XKB layout " + layoutName.toUtf8() + " (removed when it is uninstalled)";
}

QByteArray XkbComposeBlockEnd(const QString &layoutName)
{
    return "# Tavo: end of the XKB layout " + layoutName.toUtf8();
}

QByteArray XkbComposeBlock(const KeyTableArray &table, const QString &layoutName)
{
    const XkbDeadKeysymTable syms = XkbDeadKeysyms(table, layoutName);
    xkb_compose_table *system = SystemComposeTable();
    QByteArray lines;
    const auto add = [&](xkb_keysym_t dead, xkb_keysym_t next, const QString &result) {
        if (ComposeResult(system, {dead, next}) != result)
            lines += SequenceLine(dead, next, result);
    };
    QSet<QPair<xkb_keysym_t, xkb_keysym_t>> written;
    for (int number = 1; number <= TableKeyCount; ++number) {
        const s_key &key = KeyByNumber(table, number);
        for (int level = 0; level < 4; ++level) {
            const xkb_keysym_t dead = syms[number - 1][level];
            if (dead == 0 || written.contains({dead, XKB_KEY_space}))
                continue;
            written.insert({dead, XKB_KEY_space});
            const QString own = OwnCharacter(key, XkbLevelStates[level]);
            if (!own.isEmpty())
                add(dead, XKB_KEY_space, own);
            for (const DeadPair &pair : DeadOf(key, XkbLevelStates[level])->pairs) {
                const xkb_keysym_t base = KeysymOfCharacter(pair.base);
                if (base == XKB_KEY_NoSymbol || pair.result.isEmpty() || written.contains({dead, base}))
                    continue;
                written.insert({dead, base});
                add(dead, base, pair.result);
            }
        }
    }
    if (lines.isEmpty())
        return {};
    return XkbComposeBlockBegin(layoutName) + '\n' + lines + XkbComposeBlockEnd(layoutName) + '\n';
}

QByteArray XkbComposeText(const KeyTableArray &table, const QString &layoutName)
{
    if (!HasDeadKeys(table))
        return {};
    return IncludeLocaleLine + XkbComposeBlock(table, layoutName);
}

std::optional<QByteArray> WithXkbComposeBlock(const std::optional<QByteArray> &composeFile, const QString &layoutName,
                                              const QByteArray &block)
{
    QByteArray text = composeFile ? *composeFile : QByteArray();
    const QByteArray begin = XkbComposeBlockBegin(layoutName);
    const QByteArray end = XkbComposeBlockEnd(layoutName);
    // The block's lines, where a line equals its begin line.
    qsizetype from = -1;
    for (qsizetype pos = 0; pos < text.size() && from < 0;) {
        if (LineOf(text, pos) == begin)
            from = pos;
        const qsizetype next = text.indexOf('\n', pos);
        pos = next < 0 ? text.size() : next + 1;
    }
    if (from >= 0) {
        qsizetype to = from;
        while (to < text.size() && LineOf(text, to) != end) {
            const qsizetype next = text.indexOf('\n', to);
            to = next < 0 ? text.size() : next + 1;
        }
        const qsizetype next = to < text.size() ? text.indexOf('\n', to) : -1;
        to = next < 0 ? text.size() : next + 1;
        text.replace(from, to - from, block);
    } else if (!block.isEmpty()) {
        if (!composeFile)
            text = IncludeLocaleLine;
        else if (!text.isEmpty() && !text.endsWith('\n'))
            text += '\n';
        text += block;
    }
    if (!composeFile && text.isEmpty())
        return std::nullopt;
    return text;
}

XkbComposeTablePtr CompileXkbCompose(const QByteArray &text)
{
    QStringList messages;
    const XkbContextPtr context = NewCollectingXkbContext(messages);
    XkbComposeTablePtr table(context ? TableFromBuffer(context.get(), text, XkbComposeLocale()) : nullptr);
    if (!table) {
        throw OperationError(QStringLiteral("The compose text does not compile: %1")
                                 .arg(messages.isEmpty() ? QStringLiteral("libxkbcommon gave no table")
                                                         : messages.join(QStringLiteral("; "))));
    }
    return table;
}

QString XkbComposePathOf(const QString &symbolsPath)
{
    const QFileInfo info(symbolsPath);
    return info.dir().filePath(XkbLayoutNameOfPath(symbolsPath) + QStringLiteral(".XCompose"));
}
