// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "klcfile.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The lines of a file as written: after the mark, split at CR LF; the text after the
// last CR LF comes back as a final element, empty when the file ends in CR LF.
QStringList Utf16Lines(const QByteArray &bytes)
{
    if (!bytes.startsWith("\xFF\xFE"))
        return {};
    const QString text = QString::fromUtf16(
        reinterpret_cast<const char16_t *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    return text.split(QStringLiteral("\r\n"));
}

const QString Tab = QStringLiteral("\t");

} // namespace

Q_DECLARE_METATYPE(s_key)
Q_DECLARE_METATYPE(KlcNameCheck)

class TestKlcFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // ---- The whole file ----------------------------------------------------------

    void defaultFileBeginsAndEndsAsDescribed()
    {
        const QByteArray bytes = KlcFileBytes(DefaultTable(), KlcProperties{});
        QCOMPARE(bytes.first(10), QByteArray::fromHex("FFFE4B00420044000900"));
        QVERIFY(bytes.endsWith(QByteArray::fromHex("45004E0044004B00420044000D000A00")));
        const QStringList lines = Utf16Lines(bytes);
        QCOMPARE(lines.size(), KlcLineCount + 1);  // the text after the last CR LF
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines.first(), QStringLiteral("KBD\tlayout00\t\"Russian ()\""));
    }

    void defaultKeyLines()
    {
        const QStringList lines = KlcLines(DefaultTable(), KlcProperties{});
        QCOMPARE(lines.size(), KlcLineCount);
        const QStringList keyLines = lines.mid(KlcFirstKeyLine - 1, KeyCount);
        const QString unassigned = QStringLiteral("\t\t\t0\t-1\t-1\t-1\t-1\t-1\t-1\t\t//");
        for (int i = 0; i < KeyCount - 1; ++i)
            QVERIFY2(keyLines[i].endsWith(unassigned), qPrintable(keyLines[i]));
        QCOMPARE(keyLines.last(), QStringLiteral("39\tSPACE\t\t\t0\t0020\t0020\t0020\t-1\t-1\t-1\t\t//"));
        QCOMPARE(lines[KlcFirstKeyLine - 2], QString());
        QVERIFY(lines[KlcFirstKeyLine - 1 + KeyCount].startsWith(u"56\tOEM_102\t"));
    }

    void clearedTableKeepsTheShape()
    {
        // Nothing in the table: still 48 key lines, every column filled.
        KeyTableArray table;
        ClearKeyTable(table);
        const QStringList lines = KlcLines(table, KlcProperties{});
        QCOMPARE(lines.size(), KlcLineCount);
        for (int i = 0; i < KeyCount; ++i)
            QCOMPARE(lines[KlcFirstKeyLine - 1 + i],
                     QStringLiteral("-1\t-1\t\t\t0\t-1\t-1\t-1\t-1\t-1\t-1\t\t//"));
        QCOMPARE(lines.last(), u"ENDKBD");
    }

    void propertiesGoInUntrimmedAndUnescaped()
    {
        KlcProperties properties;
        properties.name = QStringLiteral(" a\"b\tc ");
        properties.description = QStringLiteral("  \u0420\u0443\u0441\u0441\u043a\u0438\u0439 \"\u20ac\" ");
        properties.company = QString();
        properties.copyright = QStringLiteral("\u00a9 \\n");
        properties.localeId = QStringLiteral("0419 ");
        const QStringList lines = KlcLines(DefaultTable(), properties);
        QCOMPARE(lines[0], QStringLiteral("KBD\t a\"b\tc \t\"  \u0420\u0443\u0441\u0441\u043a\u0438\u0439 \"\u20ac\" \""));
        QCOMPARE(lines[2], QStringLiteral("COPYRIGHT\t\"\u00a9 \\n\""));
        QCOMPARE(lines[4], QStringLiteral("COMPANY\t\"\""));
        QCOMPARE(lines[6], QStringLiteral("LOCALEID\t\"0419 \""));

        // Characters outside any 8-bit code page reach the file as their UTF-16 units.
        const QByteArray bytes = KlcFileBytes(DefaultTable(), properties);
        QVERIFY(bytes.contains(QByteArray::fromHex("2000200020044304")));  // "  Ру"
        QVERIFY(bytes.contains(QByteArray::fromHex("2200AC202200")));      // "\"€\""
        QVERIFY(!bytes.contains(QByteArray::fromHex("3F00")));             // no "?"
    }

    // ---- Columns -----------------------------------------------------------------

    void column_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("column");
        QTest::newRow("empty") << "" << "-1";
        QTest::newRow("one blank") << " " << "-1";
        QTest::newRow("blanks and controls only") << " \t\r\n\x01 " << "-1";
        QTest::newRow("four digits") << "044F" << "044F";
        QTest::newRow("blanks around digits") << "  044F " << "044F";
        QTest::newRow("tab and newline around digits") << "\t0020\n" << "0020";
        QTest::newRow("lower case kept") << "005c" << "005c";
        QTest::newRow("inner blank kept") << " 04 4F " << "04 4F";
        QTest::newRow("not hex, not checked") << "zz" << "zz";
        QTest::newRow("no-break space is not trimmed") << "\u00a0" << "\u00a0";
        QTest::newRow("already -1") << "-1" << "-1";
    }

    void column()
    {
        QFETCH(QString, text);
        QFETCH(QString, column);
        QCOMPARE(KlcColumn(text), column);
    }

    void capColumn_data()
    {
        QTest::addColumn<QString>("caps");
        QTest::addColumn<QString>("column");
        QTest::newRow("1") << "1" << "1";
        QTest::newRow("0") << "0" << "0";
        QTest::newRow("0 between blanks") << " 0 " << "0";
        QTest::newRow("empty") << "" << "0";
        QTest::newRow("blank only") << " " << "0";
        QTest::newRow("2") << "2" << "1";
        QTest::newRow("00 is not 0") << "00" << "1";
        QTest::newRow("1 after a tab") << "\t1" << "1";
        QTest::newRow("letter O") << "O" << "1";
    }

    void capColumn()
    {
        QFETCH(QString, caps);
        QFETCH(QString, column);
        QCOMPARE(KlcCapColumn(caps), column);
    }

    void keyLine_data()
    {
        QTest::addColumn<s_key>("key");
        QTest::addColumn<QString>("line");

        s_key key;
        key.scan_code = QStringLiteral("10");
        key.vk_name = QStringLiteral("Q");
        key.caps = QStringLiteral("1");
        key.norm_code = QStringLiteral("0001");
        key.shift_code = QStringLiteral("0002");
        key.altgr_code = QStringLiteral("0003");
        key.altgr_shift_code = QStringLiteral("0004");
        key.ctrl_code = QStringLiteral("0005");
        key.ctrl_shift_code = QStringLiteral("0006");
        QTest::newRow("columns in shift-state order")
            << key << "10\tQ\t\t\t1\t0001\t0002\t0005\t0006\t0003\t0004\t\t//";

        s_key stored = key;
        stored.caps = QStringLiteral("0");
        stored.norm_code = QStringLiteral("044F");
        stored.shift_code = QStringLiteral("042f");
        stored.ctrl_code = QStringLiteral("12345");
        stored.ctrl_shift_code = QStringLiteral("xyz");
        stored.altgr_code = QStringLiteral(" 00E9 ");
        stored.altgr_shift_code = QStringLiteral("   ");
        QTest::newRow("codes as stored, only trimmed")
            << stored << "10\tQ\t\t\t0\t044F\t042f\t12345\txyz\t00E9\t-1\t\t//";

        s_key charsOnly;
        charsOnly.scan_code = QStringLiteral("1e");
        charsOnly.vk_name = QStringLiteral("A");
        charsOnly.vk = 65;
        charsOnly.key_type = QStringLiteral("letter");
        charsOnly.norm_char = QStringLiteral("\u0444");
        charsOnly.shift_char = QStringLiteral("\u0424");
        charsOnly.spare1 = QStringLiteral("spare");
        QTest::newRow("characters and spare texts are not written")
            << charsOnly << "1e\tA\t\t\t0\t-1\t-1\t-1\t-1\t-1\t-1\t\t//";

        s_key blankIdentity;
        blankIdentity.scan_code = QStringLiteral(" 1a ");
        blankIdentity.vk_name = QStringLiteral("\t");
        blankIdentity.caps = QStringLiteral("2");
        QTest::newRow("identity columns follow the code rule")
            << blankIdentity << "1a\t-1\t\t\t1\t-1\t-1\t-1\t-1\t-1\t-1\t\t//";
    }

    void keyLine()
    {
        QFETCH(s_key, key);
        QFETCH(QString, line);
        QCOMPARE(KlcKeyLine(key), line);
        QCOMPARE(line.count(u'\t'), 12);
    }

    void keyLinesFollowTheTable()
    {
        KeyTableArray table = DefaultTable();
        KeyByNumber(table, 1).norm_code = QStringLiteral("0451");
        KeyByNumber(table, 26).caps = QStringLiteral("1");
        KeyByNumber(table, 47).altgr_shift_code = QStringLiteral("002E");
        const QStringList lines = KlcLines(table, KlcProperties{});
        QCOMPARE(lines[KlcFirstKeyLine - 1], QStringLiteral("29\tOEM_3\t\t\t0\t0451\t-1\t-1\t-1\t-1\t-1\t\t//"));
        QCOMPARE(lines[KlcFirstKeyLine - 1 + 25], QStringLiteral("2b\tOEM_5\t\t\t1\t-1\t-1\t-1\t-1\t-1\t-1\t\t//"));
        QCOMPARE(lines[KlcFirstKeyLine - 1 + 46], QStringLiteral("35\tOEM_2\t\t\t0\t-1\t-1\t-1\t-1\t-1\t002E\t\t//"));
    }

    // ---- Name check --------------------------------------------------------------

    void nameCheck_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<KlcNameCheck>("check");
        const auto valid = KlcNameCheck::Valid;
        const auto wrongLength = KlcNameCheck::WrongLength;
        const auto notAFileName = KlcNameCheck::NotAFileName;
        QTest::newRow("eight letters") << "abcdefgh" << valid;
        QTest::newRow("the default") << "layout00" << valid;
        QTest::newRow("three letters") << "abc" << wrongLength;
        QTest::newRow("empty") << "" << wrongLength;
        QTest::newRow("seven letters") << "abcdefg" << wrongLength;
        QTest::newRow("nine letters") << "abcdefghi" << wrongLength;
        QTest::newRow("eight blanks") << "        " << wrongLength;
        QTest::newRow("eight after trimming") << "  abcdefgh " << valid;
        QTest::newRow("seven after trimming") << " abcdefg " << wrongLength;
        QTest::newRow("inner blank counts") << "abc efgh" << valid;
        QTest::newRow("eight cyrillic letters") << "\u0440\u0430\u0441\u043a\u043b\u0430\u0434\u043a" << valid;
        QTest::newRow("inner dots") << "a.b.c.de" << valid;
        // the name is the stem of a file in the current folder, never a path
        QTest::newRow("parent folders") << "../../ab" << notAFileName;
        QTest::newRow("absolute path") << "/tmp/abc" << notAFileName;
        QTest::newRow("backslash") << "ab\\cdefg" << notAFileName;
        QTest::newRow("short and with a slash") << "a/b" << notAFileName;
        QTest::newRow("only dots") << "........" << notAFileName;
        QTest::newRow("two dots") << ".." << notAFileName;
        QTest::newRow("dots between blanks") << " ...... " << notAFileName;
        QTest::newRow("tab after eight letters") << "  abcdefgh\t" << notAFileName;
        QTest::newRow("line feed after eight letters") << "abcdefgh\n" << notAFileName;
        QTest::newRow("inner escape") << "abc\x1B" "defg" << notAFileName;
        QTest::newRow("delete") << "abcdefg\x7F" << notAFileName;
        QTest::newRow("C1 control") << "abcdefg\u0085" << notAFileName;
    }

    void nameCheck()
    {
        QFETCH(QString, name);
        QFETCH(KlcNameCheck, check);
        QCOMPARE(CheckKlcName(name), check);
        QCOMPARE(IsValidKlcName(name), check == KlcNameCheck::Valid);
    }

    // ---- Header texts ------------------------------------------------------------

    void headerText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("blanked");
        QTest::newRow("the default") << "Russian ()" << "Russian ()";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("quotes and backslash stay") << "a \"b\" \\n" << "a \"b\" \\n";
        QTest::newRow("delete and C1 break no line") << "a\x7F\u0085" << "a\x7F\u0085";
        QTest::newRow("CR LF") << "line\r\nKEYNAME" << "line  KEYNAME";
        QTest::newRow("tab") << "a\tb" << "a b";
        QTest::newRow("leading and trailing") << "\nfree\r" << " free ";
        QTest::newRow("other controls") << QString(QChar(0)) + "\x01\x1F" << "   ";
    }

    void headerText()
    {
        QFETCH(QString, text);
        QFETCH(QString, blanked);
        QCOMPARE(IsValidKlcHeaderText(text), text == blanked);
        QCOMPARE(BlankKlcHeaderText(text), blanked);
        // Blanked texts keep the file at its 156 lines and every header line at one TAB.
        KlcProperties properties;
        properties.description = properties.company = properties.copyright = properties.localeId = blanked;
        const QStringList lines = Utf16Lines(KlcFileBytes(DefaultTable(), properties));
        QCOMPARE(lines.size(), KlcLineCount + 1);
        for (int line : {0, 2, 4, 6})
            QCOMPARE(lines[line].count(u'\t'), line == 0 ? 2 : 1);
    }

    // ---- Fixed key-name tables ---------------------------------------------------

    void keyNamesQuotedWhenTheyHaveABlank()
    {
        QStringList all;
        for (QStringView entry : KlcKeyNames)
            all << entry.toString();
        for (QStringView entry : KlcKeyNamesExt)
            all << entry.toString();
        for (const QString &entry : all) {
            const QStringList parts = entry.split(Tab);
            QCOMPARE(parts.size(), 2);
            QCOMPARE(parts[0].size(), 2);
            const bool quoted = parts[1].startsWith(u'"') && parts[1].endsWith(u'"');
            QVERIFY2(quoted == parts[1].contains(u' '), qPrintable(entry));
        }
    }

    // ---- Saving ------------------------------------------------------------------

    void saveWritesAndReplaces()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(KlcFileName(QStringLiteral("abcdefgh")));
        QVERIFY(path.endsWith(u"/abcdefgh.klc"));
        KeyTableArray table = DefaultTable();
        SaveKlcFile(table, KlcProperties{}, path);
        QCOMPARE(ReadAll(path), KlcFileBytes(table, KlcProperties{}));

        KeyByNumber(table, 2).norm_code = QStringLiteral("0031");
        SaveKlcFile(table, KlcProperties{}, path);
        const QByteArray second = ReadAll(path);
        QCOMPARE(second, KlcFileBytes(table, KlcProperties{}));
        QCOMPARE(Utf16Lines(second)[KlcFirstKeyLine],
                 QStringLiteral("02\t1\t\t\t0\t0031\t-1\t-1\t-1\t-1\t-1\t\t//"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"abcdefgh.klc"_qs});
    }
};

TAVO_TEST(TestKlcFile)
#include "tst_klcfile.moc"
