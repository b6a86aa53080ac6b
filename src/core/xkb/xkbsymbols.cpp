// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xkbsymbols.h"

#include "atomicfile.h"
#include "codetext.h"
#include "keytexts.h"
#include "operationerror.h"
#include "xkbcompose.h"
#include "xkbkeymap.h"
#include "xkbregistry.h"

#include <QFileInfo>
#include <QStringList>

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <optional>

QString XkbKeyName(int number)
{
    const auto numbered = [](const char *row, int index) {
        return QStringLiteral("%1%2").arg(QLatin1String(row)).arg(index, 2, 10, QLatin1Char('0'));
    };
    if (number == 1)
        return QStringLiteral("TLDE");
    if (number == IsoKey)
        return QStringLiteral("LSGT");
    if (number <= 13)
        return numbered("AE", number - 1);
    if (number <= 25)
        return numbered("AD", number - 13);
    if (number == 26)
        return QStringLiteral("BKSL");
    if (number <= 37)
        return numbered("AC", number - 26);
    if (number <= 47)
        return numbered("AB", number - 37);
    return QStringLiteral("SPCE");
}

namespace {

// Controls, surrogates and the two noncharacters at the end of the plane have no
// character keysym: xkb_utf32_to_keysym gives function keys (BackSpace for U+0008),
// lone-surrogate keysyms or nothing for them.
bool XkbCanCarry(char32_t cp)
{
    return !(cp <= 0x1F || (cp >= 0x7F && cp <= 0x9F) || (cp >= 0xD800 && cp <= 0xDFFF)
             || cp == 0xFFFE || cp == 0xFFFF);
}

// One level as the table means it: the keysym to write and the character it must give.
struct Level {
    xkb_keysym_t sym = XKB_KEY_VoidSymbol;
    char32_t cp = 0;  // 0: types nothing
};

Level LevelOf(const QString &code)
{
    const std::optional<char32_t> cp = KeyCodeValue(code);
    if (!cp || !XkbCanCarry(*cp))
        return {};
    const xkb_keysym_t sym = xkb_utf32_to_keysym(*cp);
    // NoSymbol (which libxkbcommon gives for the noncharacters U+FDD0..U+FDEF) would let
    // the base "pc" symbols of the key show through; VoidSymbol types nothing.
    if (sym == XKB_KEY_NoSymbol)
        return {};
    return {sym, *cp};
}

// A dead state gives its dead keysym (xkbcompose.h), which types no character by itself, or
// its private-use keysym.
std::array<Level, 4> LevelsOf(const s_key &key, const std::array<quint32, 4> &deadSyms)
{
    std::array<Level, 4> levels;
    for (int i = 0; i < 4; ++i) {
        levels[i] = deadSyms[i] != 0 ? Level{deadSyms[i], xkb_keysym_to_utf32(deadSyms[i])}
                                     : LevelOf(CodeOf(key, XkbLevelStates[i]));
    }
    return levels;
}

// What a level of the key gives with Caps Lock on, by the key's type (see the header).
Level WithCapsLock(const s_key &key, const std::array<Level, 4> &levels, int level)
{
    if (!CapsSet(key))
        return levels[level];
    if (level == 0)
        return levels[1];
    if (level == 1)
        return levels[0];
    // FOUR_LEVEL_SEMIALPHABETIC keeps Caps Lock unconsumed at the AltGr levels, so the
    // state applies its capitalisation to their keysyms.
    const xkb_keysym_t upper = xkb_keysym_to_upper(levels[level].sym);
    if (upper == levels[level].sym)
        return levels[level];
    return {upper, xkb_keysym_to_utf32(upper)};
}

QString Describe(xkb_keysym_t sym, char32_t cp)
{
    if (cp == 0)
        return XkbKeysymNameOf(sym);
    return QStringLiteral("%1 (U+%2)").arg(XkbKeysymNameOf(sym), CodeText(cp));
}

void RequireValidName(const QString &name, const QString &where)
{
    if (!IsValidXkbLayoutName(name)) {
        throw OperationError(QStringLiteral("Invalid XKB layout name \"%1\"%2: use only lower-case "
                                            "letters a-z, digits, \"-\" and \"_\"")
                                 .arg(name, where));
    }
}

// The key's comment when its Ctrl states hold codes, which the file cannot carry.
QString CtrlComment(const s_key &key)
{
    QStringList parts;
    for (const ShiftState state : {ShiftState::Ctrl, ShiftState::CtrlShift}) {
        const QString code = TrimKeyText(CodeOf(key, state));
        if (code.isEmpty())
            continue;
        QString part = ShiftStateName(state);
        if (const std::optional<char32_t> cp = KeyCodeValue(code))
            part += QStringLiteral(" ") + CodeText(*cp);
        parts << part;
    }
    if (parts.isEmpty())
        return {};
    return QStringLiteral("  // %1 not written: XKB has no Ctrl level").arg(parts.join(QStringLiteral(" and ")));
}

xkb_keycode_t KeycodeOf(xkb_keymap *keymap, const QString &keyName, const QString &layoutName)
{
    const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap, keyName.toLatin1().constData());
    if (keycode == XKB_KEYCODE_INVALID) {
        throw OperationError(QStringLiteral("XKB check of layout \"%1\" failed: the keymap has no key <%2>")
                                 .arg(layoutName, keyName));
    }
    return keycode;
}

// What every symbols file begins and ends with.
QByteArray SymbolsHead(const QString &name)
{
    return "default partial alphanumeric_keys\nxkb_symbols \"basic\" {\n    name[Group1] = \"" + name.toUtf8() + "\";\n";
}

const QByteArray SymbolsTail = "    include \"level3(ralt_switch)\"\n};\n";

} // namespace

QString XkbKeysymNameOf(quint32 keysym)
{
    char name[64];
    if (xkb_keysym_get_name(keysym, name, sizeof name) < 0)
        return QStringLiteral("0x%1").arg(keysym, 8, 16, QLatin1Char('0'));
    return QString::fromLatin1(name);
}

bool IsValidXkbLayoutName(const QString &name)
{
    return IsValidXkbNamePart(name)
        && std::none_of(name.begin(), name.end(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
}

QString XkbLayoutNameOfPath(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

QString XkbKeysymName(const QString &code)
{
    return XkbKeysymNameOf(LevelOf(code).sym);
}

QByteArray XkbSymbolsText(const KeyTableArray &table, const QString &name)
{
    RequireValidName(name, QString());
    QString text = QString::fromUtf8(SymbolsHead(name));
    const XkbDeadKeysymTable deadSyms = XkbDeadKeysyms(table, name);
    for (int number = 1, keys = UsedKeyCount(table); number <= keys; ++number) {
        const s_key &key = KeyByNumber(table, number);
        const std::array<Level, 4> levels = LevelsOf(key, deadSyms[number - 1]);
        QStringList symbols;
        for (const Level &level : levels)
            symbols << XkbKeysymNameOf(level.sym);
        const bool caps = CapsSet(key);
        if (!caps)
            symbols << XkbKeysymNameOf(levels[0].sym);  // Caps Lock gives the Norm character
        text += QStringLiteral("    key <%1> { type[Group1] = \"%2\", symbols[Group1] = [ %3 ] };%4\n")
                    .arg(XkbKeyName(number),
                         QLatin1String(caps ? "FOUR_LEVEL_SEMIALPHABETIC" : "FOUR_LEVEL_PLUS_LOCK"),
                         symbols.join(QStringLiteral(", ")), CtrlComment(key));
    }
    return text.toUtf8() + SymbolsTail;
}

bool IsXkbSymbolsTextOf(QByteArrayView text, const QString &name)
{
    return text.startsWith(SymbolsHead(name)) && text.endsWith(SymbolsTail);
}

void VerifyXkbSymbols(const KeyTableArray &table, const QString &name, const QByteArray &text)
{
    RequireValidName(name, QString());
    const XkbKeymapPtr keymap = CompileXkbKeymap(XkbKeymapTextOfSymbols(text, name), name);
    const auto fail = [&name](const QString &what) {
        return OperationError(QStringLiteral("XKB check of layout \"%1\" failed: %2").arg(name, what));
    };

    if (xkb_keymap_num_layouts(keymap.get()) != 1
        || QString::fromUtf8(xkb_keymap_layout_get_name(keymap.get(), 0)) != name) {
        throw fail(QStringLiteral("the keymap's layout is not named \"%1\"").arg(name));
    }

    // One state for each of the eight combinations, the modifiers pressed as keys: Caps
    // Lock pressed and released (so it locks), left Shift and right Alt (AltGr) held.
    const xkb_keycode_t shiftKey = KeycodeOf(keymap.get(), QStringLiteral("LFSH"), name);
    const xkb_keycode_t altGrKey = KeycodeOf(keymap.get(), QStringLiteral("RALT"), name);
    const xkb_keycode_t capsKey = KeycodeOf(keymap.get(), QStringLiteral("CAPS"), name);
    std::array<std::array<XkbStatePtr, 4>, 2> states;
    for (int caps = 0; caps < 2; ++caps) {
        for (int level = 0; level < 4; ++level) {
            XkbStatePtr state(xkb_state_new(keymap.get()));
            if (!state)
                throw fail(QStringLiteral("libxkbcommon has no state"));
            if (caps) {
                xkb_state_update_key(state.get(), capsKey, XKB_KEY_DOWN);
                xkb_state_update_key(state.get(), capsKey, XKB_KEY_UP);
                if (xkb_state_mod_name_is_active(state.get(), XKB_MOD_NAME_CAPS, XKB_STATE_MODS_LOCKED) <= 0)
                    throw fail(QStringLiteral("Caps Lock does not lock"));
            }
            if (level & 1)
                xkb_state_update_key(state.get(), shiftKey, XKB_KEY_DOWN);
            if (level & 2)
                xkb_state_update_key(state.get(), altGrKey, XKB_KEY_DOWN);
            states[caps][level] = std::move(state);
        }
    }

    const XkbDeadKeysymTable deadSyms = XkbDeadKeysyms(table, name);
    for (int number = 1, keys = UsedKeyCount(table); number <= keys; ++number) {
        const s_key &key = KeyByNumber(table, number);
        const QString keyName = XkbKeyName(number);
        const xkb_keycode_t keycode = KeycodeOf(keymap.get(), keyName, name);
        const std::array<Level, 4> levels = LevelsOf(key, deadSyms[number - 1]);
        for (int caps = 0; caps < 2; ++caps) {
            for (int level = 0; level < 4; ++level) {
                const Level want = caps ? WithCapsLock(key, levels, level) : levels[level];
                xkb_state *state = states[caps][level].get();
                const xkb_keysym_t gotSym = xkb_state_key_get_one_sym(state, keycode);
                const char32_t gotCp = xkb_state_key_get_utf32(state, keycode);
                if (gotSym == want.sym && gotCp == want.cp)
                    continue;
                throw fail(QStringLiteral("key %1 <%2>, %3%4, gives %5 instead of %6")
                               .arg(number)
                               .arg(keyName, ShiftStateName(XkbLevelStates[level]),
                                    QLatin1String(caps ? " with Caps Lock" : ""),
                                    Describe(gotSym, gotCp), Describe(want.sym, want.cp)));
            }
        }
    }
}

QByteArray XkbFileBytes(const KeyTableArray &table, const QString &name)
{
    const QByteArray text = XkbSymbolsText(table, name);
    VerifyXkbSymbols(table, name, text);
    return text;
}

void SaveXkbFile(const KeyTableArray &table, const QString &path)
{
    const QString name = XkbLayoutNameOfPath(path);
    RequireValidName(name, QStringLiteral(" (the file name without its suffix)"));
    const QByteArray symbols = XkbFileBytes(table, name);
    const QByteArray compose = XkbComposeText(table, name);
    if (compose.isEmpty()) {
        WriteFileAtomically(path, symbols, WriteFailure::SystemError);
        return;
    }
    const QString composePath = XkbComposePathOf(path);
    if (QFileInfo(composePath).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
        throw OperationError(QStringLiteral("Cannot write %1: the compose text of its dead keys goes to a file of that name").arg(path));
    CompileXkbCompose(compose);
    WriteFileAtomically(composePath, compose, WriteFailure::SystemError);
    WriteFileAtomically(path, symbols, WriteFailure::SystemError);
}
