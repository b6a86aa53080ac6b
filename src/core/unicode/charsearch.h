// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QList>
#include <QString>

#include <optional>
#include <string>
#include <vector>

// What a search text asks for. One text may mean several things at once: "face" is a
// word of many names and also the code U+FACE; "a" is a character, a code and a word.
struct CharQuery {
    std::optional<char32_t> character;  // the first code point of a typed or pasted character
    std::optional<char32_t> code;       // "U+20AC", "u+20ac", "0x20ac" or bare "20AC"
    QByteArrayList words;               // upper-case words of a name, as typed
    bool operator==(const CharQuery &) const = default;
};

// Reads a search text. Blanks around it do not count; a code written with "U+" or "0x"
// is only a code; a text with a character outside ASCII, or a single character, is that
// character (a single letter or digit also a code and a word); anything else is words,
// and a code too when it is nothing but hexadecimal digits.
CharQuery ParseCharQuery(QStringView text);

// One row of the results.
struct CharMatch {
    char32_t code;
    QString name;  // the name, or what the code is when it has none ("private use")
    bool operator==(const CharMatch &) const = default;
};

struct CharSearchResult {
    QList<CharMatch> matches;
    QString notice;  // why there are no matches ("nothing found"); empty when there are
};

// The most rows a search returns.
constexpr int MaxCharMatches = 300;

// Finds characters from U+0020 to U+10FFFF for a query (the grid shows those to U+FFFF). The
// character and the code come first, then the character of exactly that name, then the
// names holding every word: best where the words are whole words of the name, then those
// up to U+FFFF, then shorter names first. Unassigned codes are never found.
//
// The names come from ICU, read once, at the first search by name or by readNames():
// opening the window costs nothing.
class CharFinder
{
public:
    CharSearchResult find(const CharQuery &query);
    CharSearchResult find(QStringView text) { return find(ParseCharQuery(text)); }

    // Reads the names unless they have been read, so that a search to come does not wait.
    void readNames();
    // Whether the names have been read.
    bool isIndexed() const { return !m_units.empty(); }

private:
    void findWords(const QByteArrayList &wordsAsTyped, std::vector<int> &entries);

    // Every named character's name followed by '\n', in code order; m_starts[i] is where
    // the name of m_units[i] begins, with one more start past the end.
    std::string m_names;
    std::vector<quint32> m_starts;
    std::vector<char32_t> m_units;
};
