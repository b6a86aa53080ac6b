// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "charnames.h"
#include "charsearch.h"
#include "testregistry.h"

#include <QSet>
#include <QTest>

namespace {

// "CYR|SMALL|I": the words of a query, compactly.
QString Words(const CharQuery &query)
{
    return QString::fromLatin1(query.words.join('|'));
}

int IndexOfUnit(const CharSearchResult &result, int unit)
{
    for (int i = 0; i < result.matches.size(); ++i) {
        if (int(result.matches[i].code) == unit)
            return i;
    }
    return -1;
}

} // namespace

class TestCharSearch : public QObject
{
    Q_OBJECT

    // One finder for every search: the names are read once, as in the program.
    CharFinder finder;

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("character");  // -1: none
        QTest::addColumn<int>("code");       // -1: none
        QTest::addColumn<QString>("words");
        QTest::newRow("name words in any case") << "Cyr small I" << -1 << -1 << "CYR|SMALL|I";
        QTest::newRow("blanks around and between words") << "  euro \t sign " << -1 << -1 << "EURO|SIGN";
        QTest::newRow("a hyphen stays in its word") << "no-break" << -1 << -1 << "NO-BREAK";
        QTest::newRow("U+ code") << "U+20AC" << -1 << 0x20AC << "";
        QTest::newRow("u+ code in lower case") << "u+20ac" << -1 << 0x20AC << "";
        QTest::newRow("0x code") << "0x20ac" << -1 << 0x20AC << "";
        QTest::newRow("0X code") << "0X20AC" << -1 << 0x20AC << "";
        QTest::newRow("U+ code with blanks around") << " U+0456 " << -1 << 0x456 << "";
        QTest::newRow("bare hex is a code and a word") << "20AC" << -1 << 0x20AC << "20AC";
        QTest::newRow("a word that is hex too") << "face" << -1 << 0xFACE << "FACE";
        QTest::newRow("six-digit code") << "U+10FFFF" << -1 << 0x10FFFF << "";
        QTest::newRow("seven digits are no code") << "U+1234567" << -1 << -1 << "U+1234567";
        QTest::newRow("U+ without digits is a word") << "U+" << -1 << -1 << "U+";
        QTest::newRow("0x with a non-hex digit is a word") << "0x20ag" << -1 << -1 << "0X20AG";
        QTest::newRow("typed character") << "\u20AC" << 0x20AC << -1 << "";
        QTest::newRow("pasted word gives its first character") << "\u041F\u0440\u0438" << 0x41F << -1 << "";
        QTest::newRow("character with blanks around") << " \u00E9 " << 0xE9 << -1 << "";
        QTest::newRow("character outside 16 bits") << "\U0001F600" << 0x1F600 << -1 << "";
        QTest::newRow("no-break space is not trimmed") << "\u00A0" << 0xA0 << -1 << "";
        QTest::newRow("single letter: character, code and word") << "a" << 0x61 << 0xA << "A";
        QTest::newRow("single digit: character, code and word") << "7" << 0x37 << 0x7 << "7";
        QTest::newRow("single sign is only the character") << "&" << 0x26 << -1 << "";
        QTest::newRow("empty") << "" << -1 << -1 << "";
        QTest::newRow("blanks only") << " \t " << -1 << -1 << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(int, character);
        QFETCH(int, code);
        QFETCH(QString, words);
        const CharQuery query = ParseCharQuery(text);
        QCOMPARE(query.character ? int(*query.character) : -1, character);
        QCOMPARE(query.code ? int(*query.code) : -1, code);
        QCOMPARE(Words(query), words);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("first");   // -1: nothing found
        QTest::addColumn<int>("count");   // -1: any number
        QTest::addColumn<QString>("notice");
        QTest::newRow("name word") << "euro" << 0x20AC << -1 << "";
        QTest::newRow("words in any order and case") << "SIGN euro" << 0x20AC << -1 << "";
        QTest::newRow("parts of words") << "cyr small i" << 0x438 << -1 << "";
        QTest::newRow("exact name") << "cyrillic small letter byelorussian-ukrainian i" << 0x456 << -1 << "";
        QTest::newRow("exact name before longer names") << "ring above" << 0x2DA << -1 << "";
        QTest::newRow("hyphenated word") << "no-break" << 0xA0 << -1 << "";
        QTest::newRow("computed name") << "CJK UNIFIED IDEOGRAPH-4E00" << 0x4E00 << -1 << "";
        QTest::newRow("corrected name") << "presentation form for vertical right white lenticular bracket"
                                        << 0xFE18 << -1 << "";
        QTest::newRow("U+ code is that code alone") << "U+0456" << 0x456 << 1 << "";
        QTest::newRow("0x code") << "0x20ac" << 0x20AC << 1 << "";
        QTest::newRow("bare hex code before names") << "20ac" << 0x20AC << -1 << "";
        QTest::newRow("code before the names it spells") << "face" << 0xFACE << -1 << "";
        QTest::newRow("private use by code") << "U+E000" << 0xE000 << 1 << "";
        QTest::newRow("surrogate by code") << "U+DC00" << 0xDC00 << 1 << "";
        QTest::newRow("first cell by code") << "U+0020" << 0x20 << 1 << "";
        QTest::newRow("typed character") << "\u0456" << 0x456 << 1 << "";
        QTest::newRow("single letter: the character first") << "a" << 0x61 << MaxCharMatches << "";
        QTest::newRow("nothing found") << "xyzzy" << -1 << 0 << "nothing found";
        QTest::newRow("pasted character outside 16 bits") << "\U0001F600" << 0x1F600 << 1 << "";
        QTest::newRow("code outside 16 bits") << "U+1F600" << 0x1F600 << 1 << "";
        QTest::newRow("name outside 16 bits") << "shavian letter peep" << 0x10450 << -1 << "";
        // Ideographs beyond U+FFFF are named by their code; they are found by it.
        QTest::newRow("ideograph outside 16 bits by code") << "U+20000" << 0x20000 << 1 << "";
        QTest::newRow("no name index of coded ideographs") << "ideograph 20000" << -1 << 0 << "nothing found";
        QTest::newRow("noncharacter outside 16 bits") << "U+1FFFF" << -1 << 0 << "U+1FFFF is not assigned";
        QTest::newRow("unassigned code") << "U+0378" << -1 << 0 << "U+0378 is not assigned";
        QTest::newRow("noncharacter") << "0xFFFF" << -1 << 0 << "U+FFFF is not assigned";
        QTest::newRow("bare hex that names nothing") << "fffe" << -1 << 0 << "U+FFFE is not assigned";
        QTest::newRow("control code below the table") << "U+0009" << -1 << 0
                                                      << "U+0009 is not in the table: it starts at U+0020";
        QTest::newRow("beyond Unicode") << "U+110000" << -1 << 0 << "U+110000 is not a Unicode code";
        QTest::newRow("empty text says nothing") << " " << -1 << 0 << "";
    }
    void search()
    {
        QFETCH(QString, text);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(QString, notice);
        const CharSearchResult result = finder.find(text);
        QCOMPARE(result.matches.isEmpty() ? -1 : int(result.matches.first().code), first);
        if (count >= 0)
            QCOMPARE(result.matches.size(), count);
        QCOMPARE(result.notice, notice);
    }

    void ranking_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("better");
        QTest::addColumn<int>("worse");
        QTest::newRow("whole word before the start of a word") << "bet" << 0x5D1 << 0x3B2;  // HEBREW LETTER BET, BETA
        QTest::newRow("start of a word before its inside") << "bet" << 0x3B2 << 0xF68;     // BETA, TIBETAN LETTER A
        // NARROW NO-BREAK SPACE before the shorter NON-BREAKING HYPHEN.
        QTest::newRow("a hyphen parts words") << "break" << 0x202F << 0x2011;
        QTest::newRow("shorter name first") << "euro" << 0x20AC << 0x20A0;
        QTest::newRow("typed character before its name") << "a" << 0x61 << 0x41;
        QTest::newRow("both meanings of a letter") << "cyr small i" << 0x438 << 0x456;
    }
    void ranking()
    {
        QFETCH(QString, text);
        QFETCH(int, better);
        QFETCH(int, worse);
        const CharSearchResult result = finder.find(text);
        const int betterAt = IndexOfUnit(result, better);
        const int worseAt = IndexOfUnit(result, worse);
        QVERIFY2(betterAt >= 0, "the better match is missing");
        QVERIFY2(worseAt >= 0, "the worse match is missing");
        QVERIFY2(betterAt < worseAt, qPrintable(QStringLiteral("%1 at %2, %3 at %4").arg(better, 0, 16).arg(betterAt).arg(worse, 0, 16).arg(worseAt)));
    }

    void resultsAreTableCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("one letter") << "e";
        QTest::newRow("common word") << "letter";
        QTest::newRow("computed names") << "cjk";
        QTest::newRow("syllables") << "hangul syllable";
    }
    void resultsAreTableCharacters()
    {
        QFETCH(QString, text);
        const CharSearchResult result = finder.find(text);
        QCOMPARE(result.matches.size(), MaxCharMatches);
        QSet<int> seen;
        for (const CharMatch &match : result.matches) {
            QVERIFY(match.code >= 0x20);
            QVERIFY(IsAssigned(match.code));
            QVERIFY(!seen.contains(match.code));
            QCOMPARE(match.name, CharDescription(match.code));
            seen.insert(match.code);
        }
    }

    void namesAreReadAtTheFirstSearchByName()
    {
        CharFinder fresh;
        QVERIFY(!fresh.isIndexed());
        QCOMPARE(fresh.find(u"U+20AC").matches.size(), 1);
        QVERIFY(!fresh.isIndexed());
        QCOMPARE(fresh.find(u"euro sign").matches.first().code, 0x20AC);
        QVERIFY(fresh.isIndexed());
    }

    void descriptions_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("name") << 0x456 << "U+0456 CYRILLIC SMALL LETTER BYELORUSSIAN-UKRAINIAN I";
        QTest::newRow("blank") << 0x20 << "U+0020 SPACE";
        QTest::newRow("computed ideograph name") << 0x4E00 << "U+4E00 CJK UNIFIED IDEOGRAPH-4E00";
        QTest::newRow("computed syllable name") << 0xAC00 << "U+AC00 HANGUL SYLLABLE GA";
        QTest::newRow("control") << 0x85 << "U+0085 control";
        QTest::newRow("first private use") << 0xE000 << "U+E000 private use";
        QTest::newRow("last private use") << 0xF8FF << "U+F8FF private use";
        QTest::newRow("first high surrogate") << 0xD800 << "U+D800 high surrogate";
        QTest::newRow("private-use high surrogate") << 0xDBFF << "U+DBFF high surrogate";
        QTest::newRow("first low surrogate") << 0xDC00 << "U+DC00 low surrogate";
        QTest::newRow("last low surrogate") << 0xDFFF << "U+DFFF low surrogate";
        QTest::newRow("unassigned") << 0x378 << "U+0378 not assigned";
        QTest::newRow("noncharacter") << 0xFFFF << "U+FFFF not assigned";
        QTest::newRow("outside 16 bits") << 0x1F600 << "U+1F600 GRINNING FACE";
    }
    void descriptions()
    {
        QFETCH(int, code);
        QFETCH(QString, toolTip);
        QCOMPARE(CharToolTip(char32_t(code)), toolTip);
    }

    void shownCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("letter") << "a" << "a";
        QTest::newRow("nonspacing mark") << "\u0301" << "\u25CC\u0301";
        QTest::newRow("spacing mark") << "\u0903" << "\u25CC\u0903";
        QTest::newRow("enclosing mark") << "\u20DD" << "\u25CC\u20DD";
        QTest::newRow("mark beyond 16 bits") << "\U0001D167" << "\u25CC\U0001D167";
        QTest::newRow("letter with its mark") << "e\u0301" << "e\u0301";
        QTest::newRow("lone surrogate") << QString(QChar(0xDC00)) << QString(QChar(0xDC00));
    }
    void shownCharacter()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(ShownCharacter(text), shown);
    }
};

TAVO_TEST(TestCharSearch)
#include "tst_charsearch.moc"
