// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "charsearch.h"

#include "charnames.h"
#include "codetext.h"

#include <QSet>

#include <unicode/uchar.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr char32_t FirstTableCode = 0x20;
constexpr char32_t LastUnicodeCode = 0x10FFFF;
constexpr int MaxCodeDigits = 6;

bool IsBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

QStringView TrimBlanks(QStringView text)
{
    while (!text.isEmpty() && IsBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && IsBlank(text.back()))
        text.chop(1);
    return text;
}

// The value of 1 to MaxCodeDigits hexadecimal digits; nothing for any other text.
std::optional<char32_t> HexCode(QStringView digits)
{
    return HexValue(digits, MaxCodeDigits);
}

bool IsWordBoundary(std::string_view name, size_t pos)
{
    return pos == 0 || pos >= name.size() || name[pos] == ' ' || name[pos] == '-';
}

// How well a word sits in a name: 3 as a whole word, 2 at the start of one, 1 inside
// one, 0 not at all. Hyphens part words as blanks do ("NO-BREAK", "EURO-CURRENCY").
int WordFit(std::string_view name, std::string_view word)
{
    int best = 0;
    for (size_t pos = name.find(word); pos != std::string_view::npos && best < 3;
         pos = name.find(word, pos + 1)) {
        const bool starts = pos == 0 || IsWordBoundary(name, pos - 1);
        const bool ends = IsWordBoundary(name, pos + word.size());
        best = std::max(best, starts ? (ends ? 3 : 2) : 1);
    }
    return best;
}

std::string_view View(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

// Why a code on its own finds nothing; empty when it is a character of the table.
QString CodeNotice(char32_t code)
{
    if (code > LastUnicodeCode)
        return QStringLiteral("%1 is not a Unicode code").arg(UnicodeLabel(code));
    if (code < FirstTableCode)
        return QStringLiteral("%1 is not in the table: it starts at U+0020").arg(UnicodeLabel(code));
    if (!IsAssigned(code))
        return QStringLiteral("%1 is not assigned").arg(UnicodeLabel(code));
    return {};
}

// Collects the rows, each code once and at most MaxCharMatches of them.
class Rows
{
public:
    explicit Rows(CharSearchResult &result) : m_result(result) {}

    bool full() const { return m_result.matches.size() >= MaxCharMatches; }
    // Adds a code of the table; gives the notice for any other code.
    void addCode(char32_t code, const QString &name = {})
    {
        const QString notice = CodeNotice(code);
        if (!notice.isEmpty()) {
            if (m_result.notice.isEmpty())
                m_result.notice = notice;
            return;
        }
        if (full() || m_seen.contains(code))
            return;
        m_seen.insert(code);
        m_result.matches.append({code, name.isEmpty() ? CharDescription(code) : name});
    }

private:
    CharSearchResult &m_result;
    QSet<char32_t> m_seen;
};

} // namespace

CharQuery ParseCharQuery(QStringView text)
{
    CharQuery query;
    const QStringView trimmed = TrimBlanks(text);
    if (trimmed.isEmpty())
        return query;

    if (trimmed.size() > 2
        && (trimmed.startsWith(u"U+", Qt::CaseInsensitive) || trimmed.startsWith(u"0x", Qt::CaseInsensitive))) {
        if (const std::optional<char32_t> code = HexCode(trimmed.sliced(2))) {
            query.code = code;
            return query;
        }
    }

    const bool ascii = std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii || trimmed.size() == 1) {
        // Names are ASCII: a text with anything else in it was typed or pasted as characters.
        query.character = FirstCodePoint(trimmed);
        if (!ascii || !trimmed.front().isLetterOrNumber())
            return query;
    }

    const QByteArray upper = trimmed.toLatin1().toUpper();
    query.words = upper.simplified().split(' ');
    query.code = HexCode(trimmed);
    return query;
}

CharSearchResult CharFinder::find(const CharQuery &query)
{
    CharSearchResult result;
    Rows rows(result);
    if (query.character)
        rows.addCode(*query.character);
    if (query.code)
        rows.addCode(*query.code);
    if (!query.words.isEmpty()) {
        const QByteArray name = query.words.join(' ');
        for (const UCharNameChoice choice : {U_UNICODE_CHAR_NAME, U_CHAR_NAME_ALIAS}) {
            UErrorCode error = U_ZERO_ERROR;
            const UChar32 code = u_charFromName(choice, name.constData(), &error);
            if (U_SUCCESS(error) && code >= UChar32(FirstTableCode))
                rows.addCode(char32_t(code));
        }
        std::vector<int> entries;
        findWords(query.words, entries);
        for (const int entry : entries) {
            if (rows.full())
                break;
            const size_t start = m_starts[entry];
            rows.addCode(m_units[entry],
                         QString::fromLatin1(m_names.data() + start, qsizetype(m_starts[entry + 1] - 1 - start)));
        }
    }
    if (!result.matches.isEmpty())
        result.notice.clear();
    else if (result.notice.isEmpty() && (query.character || query.code || !query.words.isEmpty()))
        result.notice = QStringLiteral("nothing found");
    return result;
}

void CharFinder::readNames()
{
    if (isIndexed())
        return;
    // About 59,000 named characters, 1.6 MB of names.
    m_names.reserve(1700000);
    m_starts.reserve(60000);
    m_units.reserve(60000);
    const auto add = [](void *context, UChar32 code, UCharNameChoice, const char *name, int32_t length) -> UBool {
        auto *finder = static_cast<CharFinder *>(context);
        // Beyond U+FFFF, ideographs named by their code ("CJK UNIFIED IDEOGRAPH-20000",
        // "TANGUT IDEOGRAPH-17000") are found by the code: their 100,000 names would only
        // double the time of every search.
        if (code > 0xFFFF) {
            char suffix[10];
            const int size = std::snprintf(suffix, sizeof suffix, "-%X", unsigned(code));
            if (std::string_view(name, size_t(length)).ends_with(std::string_view(suffix, size_t(size))))
                return true;
        }
        finder->m_units.push_back(char32_t(code));
        finder->m_starts.push_back(quint32(finder->m_names.size()));
        finder->m_names.append(name, size_t(length));
        finder->m_names.push_back('\n');
        return true;
    };
    UErrorCode error = U_ZERO_ERROR;
    u_enumCharNames(UChar32(FirstTableCode), UChar32(LastUnicodeCode) + 1, add, this, U_UNICODE_CHAR_NAME, &error);
    m_starts.push_back(quint32(m_names.size()));
}

void CharFinder::findWords(const QByteArrayList &wordsAsTyped, std::vector<int> &entries)
{
    readNames();
    // A word typed twice is looked for once: a long paste of the same word costs no more.
    QByteArrayList words;
    for (const QByteArray &word : wordsAsTyped) {
        if (!words.contains(word))
            words.append(word);
    }
    // The longest word finds the candidates, which then must hold every other word.
    const QByteArray &lead = *std::max_element(words.begin(), words.end(),
                                               [](const QByteArray &a, const QByteArray &b) { return a.size() < b.size(); });
    struct Candidate {
        int entry;
        int fit;
        int length;
    };
    std::vector<Candidate> candidates;
    const std::string_view all(m_names);
    int entry = 0;
    for (size_t pos = all.find(View(lead)); pos != std::string_view::npos;) {
        // Hits come in order, so the name holding one is found by walking on.
        while (m_starts[entry + 1] <= pos)
            ++entry;
        const quint32 next = m_starts[entry + 1];
        const std::string_view name = all.substr(m_starts[entry], next - 1 - m_starts[entry]);
        int fit = 0;
        for (const QByteArray &word : words) {
            const int wordFit = WordFit(name, View(word));
            if (wordFit == 0) {
                fit = 0;
                break;
            }
            fit += wordFit;
        }
        if (fit > 0)
            candidates.push_back({entry, fit, int(name.size())});
        pos = all.find(View(lead), next);
    }
    // At equal fit the grid's characters come first: a search finds what it found before
    // the table took characters beyond U+FFFF, and those follow.
    const auto beyond = [this](const Candidate &c) { return m_units[c.entry] > 0xFFFF; };
    const auto better = [&beyond](const Candidate &a, const Candidate &b) {
        if (a.fit != b.fit)
            return a.fit > b.fit;
        if (beyond(a) != beyond(b))
            return !beyond(a);
        if (a.length != b.length)
            return a.length < b.length;
        return a.entry < b.entry;
    };
    const size_t kept = std::min(candidates.size(), size_t(MaxCharMatches));
    std::partial_sort(candidates.begin(), candidates.begin() + kept, candidates.end(), better);
    entries.clear();
    for (size_t i = 0; i < kept; ++i)
        entries.push_back(candidates[i].entry);
}
