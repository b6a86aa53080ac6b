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

#include <cctype>
#include <optional>

namespace {

enum class Section { None, Header, ShiftState, Layout, Skipped, End };

struct Keyword {
    QStringView name;
    Section section;
};

// The keywords that open a line of their own; the ones without key data are skipped.
constexpr Keyword Keywords[] = {
    {u"KBD", Section::Header},          {u"COPYRIGHT", Section::Header},
    {u"COMPANY", Section::Header},      {u"LOCALENAME", Section::Header},
    {u"LOCALEID", Section::Header},     {u"VERSION", Section::Header},
    {u"ATTRIBUTES", Section::Skipped},  {u"SHIFTSTATE", Section::ShiftState},
    {u"LAYOUT", Section::Layout},       {u"DEADKEY", Section::Skipped},
    {u"KEYNAME", Section::Skipped},     {u"KEYNAME_EXT", Section::Skipped},
    {u"KEYNAME_DEAD", Section::Skipped}, {u"LIGATURE", Section::Skipped},
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

struct LayoutRow {
    QList<QStringView> tokens;
    int lineNumber;
};

class KlcReader
{
public:
    KlcReader(const QString &text, const QString &source)
        : m_text(text), m_source(source)
    {
        m_result.table = EmptyImportTable();
        for (int number = 1; number <= KeyCount; ++number) {
            if (const std::optional<char32_t> code = HexValue(KeyByNumber(m_result.table, number).scan_code, ByteDigits))
                m_keyOfScanCode.insert(*code, number);
        }
        for (QStringView line : KlcExtraKeyLines)
            m_extraRows << Tokens(line, true);
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
        for (const LayoutRow &row : std::as_const(m_rows))
            readLayoutRow(row);
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
        const QList<QStringView> tokens = Tokens(line, m_section == Section::Layout);
        if (tokens.isEmpty())
            return;
        if (const std::optional<Section> section = KeywordSection(tokens.first())) {
            m_section = *section;
            readKeywordLine(tokens);
            return;
        }
        switch (m_section) {
        case Section::ShiftState:
            readShiftState(tokens, lineNumber);
            break;
        case Section::Layout:
            m_rows.append({tokens, lineNumber});
            break;
        default:
            break;
        }
    }

    void readKeywordLine(const QList<QStringView> &tokens)
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
        }
    }

    void readShiftState(const QList<QStringView> &tokens, int lineNumber)
    {
        bool ok = false;
        const int value = tokens.first().toInt(&ok);
        if (!ok) {
            report(lineNumber, QStringLiteral("SHIFTSTATE line"), QStringLiteral("SHIFTSTATE lines"), QStringLiteral("\"%1\" is not a shift state; the line is skipped").arg(tokens.first()));
            return;
        }
        const std::optional<ShiftState> state = StateOfShiftValue(value);
        if (!state)
            report(lineNumber, QStringLiteral("shift state"), QStringLiteral("shift states"), QStringLiteral("shift state %1 has no place in the table; its column is skipped").arg(value));
        m_states.append(state);
    }

    void readLayoutRow(const LayoutRow &row)
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
                report(row.lineNumber, QStringLiteral("key without a cell"), QStringLiteral("keys without a cell"), QStringLiteral("scan code %1 (%2) is not one of the 48 keys; the row is skipped")
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

        if (sgCap) {
            key.caps = QStringLiteral("0");
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
            readColumn(key, *state, tokens.at(3 + column), row.lineNumber,
                       where + QStringLiteral(", ") + ShiftStateName(*state));
        }
    }

    void readColumn(s_key &key, ShiftState state, QStringView value, int lineNumber, const QString &where)
    {
        if (value == u"-1")
            return;
        if (value == u"%%") {
            report(lineNumber, QStringLiteral("ligature"), QStringLiteral("ligatures"), where + QStringLiteral(": a ligature (%%) is not carried"));
            return;
        }
        const bool dead = value.size() > 1 && value.endsWith(u'@');
        if (dead)
            value.chop(1);
        std::optional<char16_t> unit;
        if (const std::optional<char32_t> code = value.size() == 4 ? HexValue(value, 4) : std::nullopt)
            unit = char16_t(*code);
        else if (value.size() == 1)
            unit = value.front().unicode();
        if (!unit) {
            const QString reason = value.size() == 2 && value.front().isHighSurrogate() && value.back().isLowSurrogate()
                ? QStringLiteral("is outside the 16-bit range") : QStringLiteral("is not a code or a character");
            report(lineNumber, QStringLiteral("character"), QStringLiteral("characters"), where + QStringLiteral(": \"%1\" %2; the state is left empty").arg(value, reason));
            return;
        }
        SetImportedCharacter(key, state, *unit);
        if (dead)
            report(lineNumber, QStringLiteral("dead key"), QStringLiteral("dead keys"), where + QStringLiteral(": %1@ is a dead key; its character is kept").arg(value));
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
