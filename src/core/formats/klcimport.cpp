// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "klcimport.h"

#include "codepage.h"
#include "codetext.h"
#include "operationerror.h"
#include "windowslocale.h"

#include <QFile>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

enum class Section { None, Header, Attributes, ShiftState, Layout, DeadKey, Ligature, Skipped, End };

struct Keyword {
    QStringView name;
    Section section;
};

// The keywords that open a line of their own; the ones without key data are skipped.
constexpr Keyword Keywords[] = {
    {u"KBD", Section::Header},          {u"COPYRIGHT", Section::Header},
    {u"COMPANY", Section::Header},      {u"LOCALENAME", Section::Header},
    {u"LOCALEID", Section::Header},     {u"VERSION", Section::Header},
    {u"ATTRIBUTES", Section::Attributes},  {u"SHIFTSTATE", Section::ShiftState},
    {u"LAYOUT", Section::Layout},       {u"DEADKEY", Section::DeadKey},
    {u"KEYNAME", Section::Skipped},     {u"KEYNAME_EXT", Section::Skipped},
    {u"KEYNAME_DEAD", Section::Skipped}, {u"LIGATURE", Section::Ligature},
    {u"DESCRIPTIONS", Section::Skipped}, {u"LANGUAGENAMES", Section::Skipped},
    {u"ENDKBD", Section::End},
};

std::optional<Section> KeywordSection(QStringView token)
{
    for (const Keyword &keyword : Keywords) {
        if (token == keyword.name)
            return keyword.section;
    }
    return std::nullopt;
}

// The tokens of a line: runs of non-blanks, or text in double quotes (without them).
// A token that starts with "//" or ";" begins a comment, as does "//" or ";" inside a
// token, which ends it there. In a LAYOUT row, a token that is just ";" is the
// character, as a column may hold one character.
QList<QStringView> Tokens(QStringView line, bool layoutRow)
{
    QList<QStringView> tokens;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        if (line[i].unicode() <= 0x20) {
            ++i;
            continue;
        }
        if (line[i] == u'"') {
            const qsizetype close = line.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            tokens << line.sliced(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        qsizetype end = i;
        while (end < n && line[end].unicode() > 0x20)
            ++end;
        QStringView token = line.sliced(i, end - i);
        if (layoutRow && token == u";") {
            tokens << token;
            i = end;
            continue;
        }
        qsizetype comment = token.indexOf(u"//");
        const qsizetype semicolon = token.indexOf(u';');
        if (semicolon >= 0 && (comment < 0 || semicolon < comment))
            comment = semicolon;
        if (comment >= 0) {
            if (comment > 0)
                tokens << token.first(comment);
            break;
        }
        tokens << token;
        i = end;
    }
    return tokens;
}

// Calls f for every line of the text (CR LF, CR or LF end a line).
template <typename F>
void ForEachLine(QStringView text, F f)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        f(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        f(text.sliced(start));
}

// A scan code and the Cap value are one byte each: at most two hex digits.
constexpr qsizetype ByteDigits = 2;

// The state a SHIFTSTATE value stands for; nothing for states the table has no slot for.
std::optional<ShiftState> StateOfShiftValue(int value)
{
    switch (value) {
    case 0: return ShiftState::Norm;
    case 1: return ShiftState::Shift;
    case 2: return ShiftState::Ctrl;
    case 3: return ShiftState::CtrlShift;
    case 6: return ShiftState::AltGr;
    case 7: return ShiftState::AltGrShift;
    default: return std::nullopt;
    }
}

// One value of a LAYOUT column, a DEADKEY line or a LIGATURE row.
struct KlcValue {
    enum Kind { Empty, Character, Ligature, Invalid } kind = Invalid;
    char32_t code = 0;
    bool dead = false;  // a trailing "@"
};

// "-1" is empty and "%%" a ligature. A character is four hex digits, five or six for one
// beyond U+FFFF (the Windows layout creator's way, as its compiler makes the surrogate pair),
// or the character itself (a surrogate pair for one beyond U+FFFF).
KlcValue ParseKlcValue(QStringView value)
{
    KlcValue result;
    if (value == u"-1") {
        result.kind = KlcValue::Empty;
        return result;
    }
    if (value == u"%%") {
        result.kind = KlcValue::Ligature;
        return result;
    }
    if (value.size() > 1 && value.endsWith(u'@')) {
        result.dead = true;
        value.chop(1);
    }
    std::optional<char32_t> code;
    if (value.size() == 4)
        code = HexValue(value, 4);
    else if (value.size() == 5 || value.size() == 6)
        code = HexValue(value, 6);
    else if (value.size() == 1)
        code = value.front().unicode();
    else if (value.size() == 2 && value.front().isHighSurrogate() && value.back().isLowSurrogate())
        code = QChar::surrogateToUcs4(value.front(), value.back());
    if (code && value.size() > 4 && (*code < 0x10000 || *code > 0x10FFFF))
        code.reset();
    if (code) {
        result.kind = KlcValue::Character;
        result.code = *code;
    }
    return result;
}

bool SameCharacter(const KlcValue &a, const KlcValue &b)
{
    return a.kind == KlcValue::Character && b.kind == KlcValue::Character && !a.dead && !b.dead && a.code == b.code;
}

struct LayoutRow {
    QList<QStringView> tokens;
    int lineNumber;
};

// A line of a DEADKEY section: base, result.
struct DeadLine {
    QStringView base;
    QStringView result;
    int lineNumber;
};

class KlcReader
{
public:
    KlcReader(const QString &text, const QString &source)
        : m_text(text), m_source(source)
    {
        m_result.table = EmptyImportTable();
        for (int number = 1; number <= TableKeyCount; ++number) {
            if (const std::optional<char32_t> code = HexValue(KeyByNumber(m_result.table, number).scan_code, ByteDigits))
                m_keyOfScanCode.insert(*code, number);
        }
        m_extraRows << Tokens(KlcExtraKeyLines[1], true);
    }

    KlcImport read()
    {
        int lineNumber = 0;
        ForEachLine(m_text, [this, &lineNumber](QStringView line) {
            ++lineNumber;
            if (m_section != Section::End)
                readLine(line, lineNumber);
        });
        if (!m_hasLayout)
            throw OperationError(QStringLiteral("%1 cannot be imported: it has no LAYOUT section").arg(m_source));
        if (m_states.isEmpty())
            throw OperationError(QStringLiteral("%1 cannot be imported: it has no SHIFTSTATE").arg(m_source));
        for (qsizetype i = 0; i < m_rows.size(); ++i)
            readLayoutRow(m_rows.at(i), i + 1 < m_rows.size() ? &m_rows.at(i + 1) : nullptr);
        finishKeys();
        bool ok = false;
        const uint localeId = m_result.properties.localeId.toUInt(&ok, 16);
        const QString language = ok ? LanguageOfWindowsLocale(localeId) : QString();
        if (!language.isEmpty())
            m_result.languages = {language};
        SetSpaceBarFixedValues(KeyByNumber(m_result.table, SpaceKey));
        return std::move(m_result);
    }

private:
    void report(int lineNumber, const QString &kind, const QString &kinds, const QString &what)
    {
        m_result.report.add(kind, kinds, QStringLiteral("line %1: %2").arg(lineNumber).arg(what));
    }

    void readLine(QStringView line, int lineNumber)
    {
        const QList<QStringView> tokens = Tokens(line, m_section == Section::Layout || m_section == Section::DeadKey);
        if (tokens.isEmpty())
            return;
        if (const std::optional<Section> section = KeywordSection(tokens.first())) {
            m_section = *section;
            readKeywordLine(tokens, lineNumber);
            return;
        }
        if (m_section == Section::ShiftState && tokens.size() > 2) {
            // A key row: the LAYOUT keyword was left in a comment, as some hand-made files do.
            m_section = Section::Layout;
            m_hasLayout = true;
            m_rows.append({Tokens(line, true), lineNumber});
            return;
        }
        switch (m_section) {
        case Section::ShiftState:
            readShiftState(tokens, lineNumber);
            break;
        case Section::Layout:
            m_rows.append({tokens, lineNumber});
            break;
        case Section::DeadKey:
            if (m_deadCode && tokens.size() >= 2)
                m_deadLines[*m_deadCode].append({tokens.at(0), tokens.at(1), lineNumber});
            break;
        case Section::Attributes:
            // ALTGR (the right Alt key gives Ctrl+Alt) is what the AltGr states are made of.
            if (tokens.first().compare(u"ALTGR", Qt::CaseInsensitive) != 0) {
                report(lineNumber, QStringLiteral("attribute"), QStringLiteral("attributes"),
                       QStringLiteral("the attribute %1 is not carried").arg(tokens.first()));
            }
            break;
        case Section::Ligature:
            if (tokens.size() >= 3)
                m_ligatures.insert({tokens.at(0).toString().toUpper(), tokens.at(1).toString()}, tokens.mid(2));
            break;
        default:
            break;
        }
    }

    void readKeywordLine(const QList<QStringView> &tokens, int lineNumber)
    {
        const QStringView keyword = tokens.first();
        const auto value = [&tokens](int index) { return tokens.value(index).toString(); };
        KlcProperties &p = m_result.properties;
        if (keyword == u"KBD") {
            if (tokens.size() > 1)
                p.name = value(1);
            if (tokens.size() > 2)
                p.description = value(2);
        } else if (keyword == u"COPYRIGHT" && tokens.size() > 1) {
            p.copyright = value(1);
        } else if (keyword == u"COMPANY" && tokens.size() > 1) {
            p.company = value(1);
        } else if (keyword == u"LOCALEID" && tokens.size() > 1) {
            p.localeId = value(1);
        } else if (keyword == u"SHIFTSTATE") {
            m_states.clear();
        } else if (keyword == u"LAYOUT") {
            m_hasLayout = true;
        } else if (keyword == u"DEADKEY") {
            const KlcValue dead = ParseKlcValue(tokens.value(1));
            m_deadCode = dead.kind == KlcValue::Character ? std::optional(dead.code) : std::nullopt;
            if (!m_deadCode)
                report(lineNumber, QStringLiteral("dead key table"), QStringLiteral("dead key tables"), QStringLiteral("DEADKEY \"%1\" names no character; the table is skipped").arg(tokens.value(1)));
        }
    }

    void readShiftState(const QList<QStringView> &tokens, int lineNumber)
    {
        bool ok = false;
        const int value = tokens.first().toInt(&ok);
        if (!ok) {
            // The line still stands for a column, so the states after it keep theirs.
            report(lineNumber, QStringLiteral("SHIFTSTATE line"), QStringLiteral("SHIFTSTATE lines"), QStringLiteral("\"%1\" is not a shift state; its column is skipped").arg(tokens.first()));
            m_states.append(std::nullopt);
            return;
        }
        const std::optional<ShiftState> state = StateOfShiftValue(value);
        if (!state)
            report(lineNumber, QStringLiteral("shift state"), QStringLiteral("shift states"), QStringLiteral("shift state %1 has no place in the table; its column is skipped").arg(value));
        m_states.append(state);
    }

    // Whether an SGCAP key's Caps Lock row gives Shift's character on Norm and Norm's on
    // Shift, which is what Cap 1 does.
    bool capsRowIsShiftOverNorm(const QList<QStringView> &tokens, const LayoutRow *capsRow) const
    {
        if (!capsRow || capsRow->tokens.first() != u"-1" || capsRow->tokens.size() < 5 || tokens.size() < 5
            || m_states.size() < 2 || m_states.at(0) != ShiftState::Norm || m_states.at(1) != ShiftState::Shift)
            return false;
        return SameCharacter(ParseKlcValue(capsRow->tokens.at(3)), ParseKlcValue(tokens.at(4)))
            && SameCharacter(ParseKlcValue(capsRow->tokens.at(4)), ParseKlcValue(tokens.at(3)));
    }

    void readLayoutRow(const LayoutRow &row, const LayoutRow *next)
    {
        const QList<QStringView> &tokens = row.tokens;
        const QStringView scanText = tokens.first();
        if (scanText == u"-1") {
            // The second row of an SGCAP key: its Caps Lock characters.
            if (!m_afterSgCap)
                report(row.lineNumber, QStringLiteral("skipped row"), QStringLiteral("skipped rows"), QStringLiteral("a row without a scan code is skipped"));
            m_afterSgCap = false;
            return;
        }
        m_afterSgCap = false;
        if (tokens.size() < 3) {
            report(row.lineNumber, QStringLiteral("skipped row"), QStringLiteral("skipped rows"), QStringLiteral("the row is too short and is skipped"));
            return;
        }
        const std::optional<char32_t> scanCode = HexValue(scanText, ByteDigits);
        const int number = scanCode ? m_keyOfScanCode.value(*scanCode, 0) : 0;
        const bool sgCap = tokens.at(2).compare(u"SGCap", Qt::CaseInsensitive) == 0;
        m_afterSgCap = sgCap;
        if (number == 0) {
            if (!m_extraRows.contains(tokens)) {
                report(row.lineNumber, QStringLiteral("key without a cell"), QStringLiteral("keys without a cell"), QStringLiteral("scan code %1 (%2) is not one of the 49 keys; the row is skipped")
                                           .arg(scanText, tokens.at(1)));
            }
            return;
        }
        if (m_seen.contains(number)) {
            report(row.lineNumber, QStringLiteral("skipped row"), QStringLiteral("skipped rows"), QStringLiteral("scan code %1 comes again; the row is skipped").arg(scanText));
            return;
        }
        m_seen.insert(number);
        s_key &key = KeyByNumber(m_result.table, number);
        const QString where = QStringLiteral("key %1 (scan code %2)").arg(number).arg(scanText);
        if (tokens.at(1).compare(key.vk_name, Qt::CaseInsensitive) != 0)
            report(row.lineNumber, QStringLiteral("virtual key"), QStringLiteral("virtual keys"), where + QStringLiteral(": VK_%1 is not carried; the key keeps VK_%2").arg(tokens.at(1), key.vk_name));

        if (sgCap) {
            const bool capOne = capsRowIsShiftOverNorm(tokens, next);
            key.caps = capOne ? QStringLiteral("1") : QStringLiteral("0");
            if (!capOne)
                report(row.lineNumber, QStringLiteral("SGCAP row"), QStringLiteral("SGCAP rows"), where + QStringLiteral(": SGCAP (Caps Lock characters of its own) is not carried"));
        } else {
            const std::optional<char32_t> cap = HexValue(tokens.at(2), ByteDigits);
            key.caps = cap && (*cap & 1) ? QStringLiteral("1") : QStringLiteral("0");
            if (!cap)
                report(row.lineNumber, QStringLiteral("Caps Lock flag"), QStringLiteral("Caps Lock flags"), where + QStringLiteral(": Cap \"%1\" is not understood; caps is 0").arg(tokens.at(2)));
            else if (*cap & ~1u)
                report(row.lineNumber, QStringLiteral("Caps Lock flag"), QStringLiteral("Caps Lock flags"), where + QStringLiteral(": Cap %1 is carried only as Caps Lock on Norm and Shift").arg(tokens.at(2)));
        }

        for (qsizetype column = 0; column < m_states.size(); ++column) {
            const std::optional<ShiftState> state = m_states.at(column);
            if (!state || 3 + column >= tokens.size())
                continue;
            const QString at = where + QStringLiteral(", ") + ShiftStateName(*state);
            KlcValue value = ParseKlcValue(tokens.at(3 + column));
            if (value.kind == KlcValue::Ligature)
                value = ligatureCharacter(tokens.at(1), column, row.lineNumber, at);
            readColumn(key, number, *state, tokens.at(3 + column), value, row.lineNumber, at);
        }
    }

    // The one character a LIGATURE row gives a "%%" column (a surrogate pair, say); else the
    // ligature is reported and the column is empty.
    KlcValue ligatureCharacter(QStringView vk, qsizetype column, int lineNumber, const QString &where)
    {
        KlcValue value;
        value.kind = KlcValue::Empty;
        QString units;
        bool valid = true;
        for (QStringView unit : m_ligatures.value({vk.toString().toUpper(), QString::number(column)})) {
            const KlcValue part = ParseKlcValue(unit);
            valid = valid && part.kind == KlcValue::Character && !part.dead && part.code <= 0xFFFF;
            units += QChar(char16_t(part.code));
        }
        const QList<uint> codes = units.toUcs4();
        if (valid && codes.size() == 1 && !QChar::isSurrogate(codes.front())
            && QString::fromUcs4(reinterpret_cast<const char32_t *>(&codes.front()), 1) == units) {
            value.kind = KlcValue::Character;
            value.code = codes.front();
        } else {
            report(lineNumber, QStringLiteral("ligature"), QStringLiteral("ligatures"), where + QStringLiteral(": a ligature (%%) is not carried"));
        }
        return value;
    }

    void readColumn(s_key &key, int number, ShiftState state, QStringView text, const KlcValue &value, int lineNumber, const QString &where)
    {
        if (value.kind == KlcValue::Empty)
            return;
        if (value.kind == KlcValue::Invalid) {
            report(lineNumber, QStringLiteral("character"), QStringLiteral("characters"), where + QStringLiteral(": \"%1\" is not a code or a character; the state is left empty").arg(text));
            return;
        }
        if (number == SpaceKey && (state == ShiftState::Norm || state == ShiftState::Shift || state == ShiftState::Ctrl)) {
            // The space bar's own states always type a space.
            if (value.code != U' ' || value.dead)
                report(lineNumber, QStringLiteral("space bar character"), QStringLiteral("space bar characters"), where + QStringLiteral(": \"%1\" is not carried; the space bar types U+0020 there").arg(text));
            return;
        }
        SetImportedCharacter(key, state, value.code);
        if (value.dead)
            DeadOf(key, state) = DeadKey{QString(), deadPairs(value.code)};
    }

    // The pairs of the DEADKEY table of a dead key's character; no table gives none. The
    // space bar's pair is left out when it gives the dead key's own character, as it then
    // says what the dead key does anyway; pairs the table cannot hold are reported once.
    QList<DeadPair> deadPairs(char32_t code)
    {
        if (const auto known = m_deadPairs.constFind(code); known != m_deadPairs.cend())
            return *known;
        QList<DeadPair> pairs;
        for (const DeadLine &line : m_deadLines.value(code)) {
            const KlcValue base = ParseKlcValue(line.base);
            const KlcValue result = ParseKlcValue(line.result);
            const auto holdable = [](const KlcValue &v) { return v.kind == KlcValue::Character && !QChar::isSurrogate(v.code); };
            const QString what = QStringLiteral("dead key %1: %2 -> %3").arg(KlcCode(code), line.base, line.result);
            if (!holdable(base) || !holdable(result) || base.dead) {
                report(line.lineNumber, QStringLiteral("dead key pair"), QStringLiteral("dead key pairs"), what + QStringLiteral(" is not a pair of characters; it is skipped"));
                continue;
            }
            if (result.dead) {
                report(line.lineNumber, QStringLiteral("dead key pair"), QStringLiteral("dead key pairs"), what + QStringLiteral(" leads to another dead key, which is not carried"));
                continue;
            }
            const QString baseText = QString::fromUcs4(&base.code, 1);
            if (std::any_of(pairs.cbegin(), pairs.cend(), [&](const DeadPair &p) { return p.base == baseText; })) {
                report(line.lineNumber, QStringLiteral("dead key pair"), QStringLiteral("dead key pairs"), what + QStringLiteral(": the base comes again; the pair is skipped"));
                continue;
            }
            if (base.code == U' ' && result.code == code)
                continue;
            pairs.append({baseText, QString::fromUcs4(&result.code, 1)});
        }
        m_deadPairs.insert(code, pairs);
        return pairs;
    }

    // Keys the file has no row for get Cap 0, which the export writes for them, so a file
    // reads the same after an export. The ISO key's OEM_102 row that stands for no ISO key
    // leaves it unused.
    void finishKeys()
    {
        for (int number = 1; number <= KeyCount; ++number) {
            if (!m_seen.contains(number))
                KeyByNumber(m_result.table, number).caps = QStringLiteral("0");
        }
        s_key &iso = KeyByNumber(m_result.table, IsoKey);
        s_key unused = iso;
        ClearKeyTexts(unused);
        unused.caps = QStringLiteral("1");
        SetImportedCharacter(unused, ShiftState::Norm, U'\\');
        SetImportedCharacter(unused, ShiftState::Shift, U'/');
        if (iso == unused)
            ClearKeyTexts(iso);
    }

    const QString &m_text;
    const QString &m_source;
    KlcImport m_result;
    QHash<char32_t, int> m_keyOfScanCode;
    QList<QList<QStringView>> m_extraRows;
    Section m_section = Section::None;
    bool m_hasLayout = false;
    QList<std::optional<ShiftState>> m_states;
    QList<LayoutRow> m_rows;
    QSet<int> m_seen;
    bool m_afterSgCap = false;
    std::optional<char32_t> m_deadCode;
    QHash<char32_t, QList<DeadLine>> m_deadLines;
    QHash<char32_t, QList<DeadPair>> m_deadPairs;
    QHash<std::pair<QString, QString>, QList<QStringView>> m_ligatures;  // by VK and column
};

} // namespace

std::optional<QStringDecoder::Encoding> Utf16WithoutMark(QByteArrayView bytes)
{
    // A KLC text is mostly ASCII, so in UTF-16 every other byte is NUL.
    const qsizetype size = qMin<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    qsizetype nulAtEven = 0;
    qsizetype nulAtOdd = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (bytes[i] == 0)
            ++(i % 2 ? nulAtOdd : nulAtEven);
    }
    const qsizetype pairs = size / 2;
    if (pairs < 2)
        return std::nullopt;
    if (nulAtOdd * 2 > pairs && nulAtEven * 10 < pairs)
        return QStringDecoder::Utf16LE;
    if (nulAtEven * 2 > pairs && nulAtOdd * 10 < pairs)
        return QStringDecoder::Utf16BE;
    return std::nullopt;
}

QString DecodeKlcText(QByteArrayView bytes)
{
    if (const std::optional<QStringDecoder::Encoding> utf16 = Utf16WithoutMark(bytes))
        return QStringDecoder(*utf16, QStringConverter::Flag::Stateless).decode(bytes);
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE, QStringConverter::Flag::Stateless).decode(bytes.sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE, QStringConverter::Flag::Stateless).decode(bytes.sliced(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless).decode(bytes.sliced(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return FromAnsi(bytes);
}

bool IsKlcText(const QString &text)
{
    bool klc = false;
    bool decided = false;
    ForEachLine(text, [&](QStringView line) {
        if (decided)
            return;
        const QList<QStringView> tokens = Tokens(line, false);
        if (tokens.isEmpty())
            return;
        decided = true;
        klc = tokens.first() == u"KBD";
    });
    return klc;
}

bool IsKlcBytes(QByteArrayView bytes)
{
    return IsKlcText(DecodeKlcText(bytes.first(qMin<qsizetype>(bytes.size(), MaxKlcFileSize + 1))));
}

KlcImport ImportKlc(const QString &text, const QString &source)
{
    return KlcReader(text, source).read();
}

KlcImport ImportKlcBytes(QByteArrayView bytes, const QString &source)
{
    if (bytes.size() > MaxKlcFileSize)
        throw OperationError(QStringLiteral("%1 is too large for a KLC file").arg(source));
    const QString text = DecodeKlcText(bytes);
    if (!IsKlcText(text))
        throw OperationError(QStringLiteral("%1 is not a KLC file: it does not start with KBD").arg(source));
    return ImportKlc(text, source);
}

KlcImport ImportKlcFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CannotOpenFile(path);
    const QByteArray bytes = file.read(MaxKlcFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw CannotOpenFile(path);
    return ImportKlcBytes(bytes, path);
}
