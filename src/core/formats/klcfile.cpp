// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "klcfile.h"

#include "atomicfile.h"
#include "charnames.h"
#include "codetext.h"
#include "keytexts.h"
#include "linebuffer.h"
#include "operationerror.h"

#include <algorithm>
#include <optional>

const std::array<QStringView, 51> KlcKeyNames = {
    u"01\tEsc",           u"0e\tBackspace",       u"0f\tTab",
    u"1c\tEnter",         u"1d\tCtrl",            u"2a\tShift",
    u"36\t\"Right Shift\"", u"37\t\"Num *\"",     u"38\tAlt",
    u"39\tSpace",         u"3a\t\"Caps Lock\"",   u"3b\tF1",
    u"3c\tF2",            u"3d\tF3",              u"3e\tF4",
    u"3f\tF5",            u"40\tF6",              u"41\tF7",
    u"42\tF8",            u"43\tF9",              u"44\tF10",
    u"45\tPause",         u"46\t\"Scroll Lock\"", u"47\t\"Num 7\"",
    u"48\t\"Num 8\"",     u"49\t\"Num 9\"",       u"4a\t\"Num -\"",
    u"4b\t\"Num 4\"",     u"4c\t\"Num 5\"",       u"4d\t\"Num 6\"",
    u"4e\t\"Num +\"",     u"4f\t\"Num 1\"",       u"50\t\"Num 2\"",
    u"51\t\"Num 3\"",     u"52\t\"Num 0\"",       u"53\t\"Num Del\"",
    u"54\t\"Sys Req\"",   u"57\tF11",             u"58\tF12",
    u"7c\tF13",           u"7d\tF14",             u"7e\tF15",
    u"7f\tF16",           u"80\tF17",             u"81\tF18",
    u"82\tF19",           u"83\tF20",             u"84\tF21",
    u"85\tF22",           u"86\tF23",             u"87\tF24",
};

const std::array<QStringView, 22> KlcKeyNamesExt = {
    u"1c\t\"Num Enter\"",   u"1d\t\"Right Ctrl\"",    u"35\t\"Num /\"",
    u"37\t\"Prnt Scrn\"",   u"38\t\"Right Alt\"",     u"45\t\"Num Lock\"",
    u"46\tBreak",           u"47\tHome",              u"48\tUp",
    u"49\t\"Page Up\"",     u"4b\tLeft",              u"4d\tRight",
    u"4f\tEnd",             u"50\tDown",              u"51\t\"Page Down\"",
    u"52\tInsert",          u"53\tDelete",            u"54\t<00>",
    u"56\tHelp",            u"5b\t\"Left Windows\"",  u"5c\t\"Right Windows\"",
    u"5d\tApplication",
};

const std::array<QStringView, 2> KlcExtraKeyLines = {
    u"56\tOEM_102\t\t\t1\t005c\t002f\t-1\t-1\t-1\t-1\t\t//",
    u"53\tDECIMAL\t\t\t0\t002c\t002c\t-1\t-1\t-1\t-1\t\t//",
};

QString KlcColumn(const QString &text)
{
    const QString trimmed = TrimKeyText(text);
    return trimmed.isEmpty() ? QStringLiteral("-1") : trimmed;
}

QString KlcCapColumn(const QString &text)
{
    const QString trimmed = TrimKeyText(text);
    return trimmed.isEmpty() || trimmed == u"0" ? QStringLiteral("0") : QStringLiteral("1");
}

namespace {

bool IsKlcHeaderControl(QChar c)
{
    return c.unicode() < 0x20;
}

} // namespace

const QString KlcNameNotAFileNameMessage = QStringLiteral(
    "The name must not contain \"/\", \"\\\" or control characters, nor be only dots.");

KlcNameCheck CheckKlcName(const QString &name)
{
    const bool pathLike = std::any_of(name.begin(), name.end(), [](QChar c) {
        return c == u'/' || c == u'\\' || c.category() == QChar::Other_Control;
    });
    const QString trimmed = TrimKeyText(name);
    const bool onlyDots = !trimmed.isEmpty()
        && std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c == u'.'; });
    if (pathLike || onlyDots)
        return KlcNameCheck::NotAFileName;
    return trimmed.size() == 8 ? KlcNameCheck::Valid : KlcNameCheck::WrongLength;
}

bool IsValidKlcName(const QString &name)
{
    return CheckKlcName(name) == KlcNameCheck::Valid;
}

bool IsValidKlcHeaderText(QStringView text)
{
    return std::none_of(text.begin(), text.end(), IsKlcHeaderControl);
}

QString BlankKlcHeaderText(QString text)
{
    std::replace_if(text.begin(), text.end(), IsKlcHeaderControl, QChar(u' '));
    return text;
}

QString KlcKeyLine(const s_key &key)
{
    QString line = KlcColumn(key.scan_code) + u'\t' + KlcColumn(key.vk_name) + QStringLiteral("\t\t\t")
                   + KlcCapColumn(key.caps);
    for (ShiftState state : KlcColumnStates) {
        const QString column = KlcColumn(CodeOf(key, state));
        line += u'\t' + column;
        if (DeadOf(key, state) && HexValue(column, 6))
            line += u'@';
    }
    return line + QStringLiteral("\t\t//");
}

QString KlcCode(char32_t code)
{
    return QString::number(code, 16).rightJustified(4, u'0');
}

namespace {

// The text of one code point, or nothing for a text that is not exactly one character.
std::optional<char32_t> SingleCharacter(const QString &text)
{
    const std::optional<char32_t> code = SingleCodePoint(text);
    return code && !QChar::isSurrogate(*code) ? code : std::nullopt;
}

// A character as the comment of a DEADKEY line shows it: itself, or nothing where it would
// break the line.
QString CommentCharacter(char32_t code)
{
    const QChar::Category category = QChar::category(code);
    if (category == QChar::Other_Control || category == QChar::Separator_Line
        || category == QChar::Separator_Paragraph)
        return QString();
    return QString::fromUcs4(&code, 1);
}

struct DeadTable {
    char32_t code;
    QList<DeadPair> pairs;
};

// The dead keys of the layout by their character, in the order of the LAYOUT rows and
// columns. Windows tells a dead key by its character, so dead keys with the same one share
// a table: the pairs of the first, then the bases it lacks from the others.
QList<DeadTable> DeadTables(const QList<const s_key *> &keys)
{
    QList<DeadTable> tables;
    for (const s_key *key : keys) {
        for (ShiftState state : KlcColumnStates) {
            const std::optional<DeadKey> &dead = DeadOf(*key, state);
            const std::optional<char32_t> code = HexValue(TrimKeyText(CodeOf(*key, state)), 6);
            if (!dead || !code)
                continue;
            auto table = std::find_if(tables.begin(), tables.end(), [&](const DeadTable &t) { return t.code == *code; });
            if (table == tables.end())
                table = tables.insert(tables.end(), DeadTable{*code, {}});
            for (const DeadPair &pair : dead->pairs) {
                const bool known = std::any_of(table->pairs.begin(), table->pairs.end(),
                                               [&](const DeadPair &p) { return p.base == pair.base; });
                if (!known)
                    table->pairs.append(pair);
            }
        }
    }
    return tables;
}

QString DeadPairLine(char32_t base, char32_t result)
{
    return KlcCode(base) + u'\t' + KlcCode(result) + QStringLiteral("\t// ") + CommentCharacter(base)
           + QStringLiteral(" -> ") + CommentCharacter(result);
}

// The DEADKEY sections, each followed by a blank line. The space bar gives the dead key's
// own character: the Windows tools write that as a pair too, so it is added where the
// table has no pair for the space.
QStringList DeadKeyLines(const QList<DeadTable> &tables)
{
    QStringList lines;
    for (const DeadTable &table : tables) {
        lines << QStringLiteral("DEADKEY\t") + KlcCode(table.code) << QString();
        bool spacePair = false;
        for (const DeadPair &pair : table.pairs) {
            const std::optional<char32_t> base = SingleCharacter(pair.base);
            const std::optional<char32_t> result = SingleCharacter(pair.result);
            if (!base || !result)
                continue;
            spacePair = spacePair || *base == U' ';
            lines << DeadPairLine(*base, *result);
        }
        if (!spacePair)
            lines << DeadPairLine(U' ', table.code);
        lines << QString();
    }
    return lines;
}

// The KEYNAME_DEAD lines: each dead key's character and its Unicode name.
QStringList DeadKeyNameLines(const QList<DeadTable> &tables)
{
    QStringList lines;
    for (const DeadTable &table : tables) {
        QString name = CharName(table.code);
        if (name.isEmpty())
            name = CharDescription(table.code);
        lines << KlcCode(table.code) + QStringLiteral("\t\"") + name + u'"';
    }
    return lines;
}

} // namespace

QStringList KlcLines(const KeyTableArray &table, const KlcProperties &properties)
{
    const auto quoted = [](const QString &text) { return u'"' + text + u'"'; };
    QStringList lines;
    lines.reserve(KlcLineCount);
    lines << QStringLiteral("KBD\t") + properties.name + u'\t' + quoted(properties.description)
          << QString()
          << QStringLiteral("COPYRIGHT\t") + quoted(properties.copyright)
          << QString()
          << QStringLiteral("COMPANY\t") + quoted(properties.company)
          << QString()
          << QStringLiteral("LOCALEID\t") + quoted(properties.localeId)
          << QString()
          << QStringLiteral("VERSION\t1.0")
          << QString()
          << QStringLiteral("SHIFTSTATE")
          << QString()
          << QStringLiteral("0\t//Column 4")
          << QStringLiteral("1\t//Column 5 : Shft")
          << QStringLiteral("2\t//Column 6 :       Ctrl")
          << QStringLiteral("3\t//Column 7 : Shft  Ctrl")
          << QStringLiteral("6\t//Column 8 :       Ctrl Alt")
          << QStringLiteral("7\t//Column 9 : Shft  Ctrl Alt")
          << QString()
          << QStringLiteral("LAYOUT\t\t;an extra '@' at the end is a dead key")
          << QString()
          << QStringLiteral("//SC\tVK_\t\t\tCap\t0\t1\t2\t3\t6\t7")
          << QStringLiteral("//--\t----\t\t\t----\t----\t----\t----\t----\t----\t----")
          << QString();
    QList<const s_key *> keys;
    for (int number = 1, used = UsedKeyCount(table); number <= used; ++number)
        keys << &KeyByNumber(table, number);
    const bool isoKey = IsoKeyUsed(table);
    for (const s_key *key : std::as_const(keys))
        lines << KlcKeyLine(*key);
    for (QStringView line : KlcExtraKeyLines) {
        if (!isoKey || line != KlcExtraKeyLines[0])
            lines << line.toString();
    }
    lines << QString() << QString();
    const QList<DeadTable> deadTables = DeadTables(keys);
    if (!deadTables.isEmpty())
        lines << DeadKeyLines(deadTables) << QString();
    lines << QStringLiteral("KEYNAME")
          << QString();
    for (QStringView name : KlcKeyNames)
        lines << name.toString();
    lines << QString() << QStringLiteral("KEYNAME_EXT") << QString();
    for (QStringView name : KlcKeyNamesExt)
        lines << name.toString();
    if (!deadTables.isEmpty())
        lines << QString() << QStringLiteral("KEYNAME_DEAD") << QString() << DeadKeyNameLines(deadTables);
    lines << QString() << QStringLiteral("ENDKBD");
    Q_ASSERT(!deadTables.isEmpty() || lines.size() == KlcLineCount);
    return lines;
}

QByteArray KlcFileBytes(const KeyTableArray &table, const KlcProperties &properties)
{
    return Utf16LeFileBytes(KlcLines(table, properties));
}

QString KlcFileName(const QString &name)
{
    return name + QStringLiteral(".klc");
}

void SaveKlcFile(const KeyTableArray &table, const KlcProperties &properties,
                 const QString &path)
{
    WriteFileAtomically(path, KlcFileBytes(table, properties), WriteFailure::CannotCreate);
}
