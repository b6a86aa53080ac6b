// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "goldenfile.h"
#include "klcfile.h"
#include "klcimport.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "ukbfile.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A KLC source in the form the Windows tools write: comments, the usual six states, the
// given LAYOUT rows and the sections without key data.
QString KlcText(const QStringList &rows, const QString &shiftStates = QStringLiteral("0\n1\n2\n6\n7\n"),
                const QString &sections = QStringLiteral("DEADKEY\t005e\r\n\r\n0061\t00e2\t// a -> a circumflex\r\n"))
{
    return QStringLiteral("// Made by hand\r\n"
                          "KBD\tru_test\t\"Russian; test\"\r\n\r\n"
                          "COPYRIGHT\t\"(c) 2024 someone\"\r\n"
                          "COMPANY\t\"Some company\"\r\n"
                          "LOCALENAME\t\"ru-RU\"\r\n"
                          "LOCALEID\t\"00000419\"\r\n"
                          "VERSION\t1.0\r\n\r\n"
                          "SHIFTSTATE\r\n\r\n")
        + shiftStates
        + QStringLiteral("\r\nLAYOUT\t\t;an extra '@' at the end is a dead key\r\n\r\n"
                         "//SC\tVK_\t\tCap\t0\t1\t2\t6\t7\r\n")
        + rows.join(QStringLiteral("\r\n"))
        + QStringLiteral("\r\n\r\n") + sections
        + QStringLiteral("\r\nKEYNAME\r\n\r\n01\tEsc\r\n10\t\"Q key\"\r\n"
                         "\r\nDESCRIPTIONS\r\n\r\n0409\tRussian test\r\n"
                         "\r\nENDKBD\r\n");
}

// Key 14 (scan code 10) and key 27 (scan code 1e) with Cyrillic letters, written as
// characters and as codes.
const QStringList CyrillicRows = {
    QStringLiteral("10\tQ\t\t1\tй\tЙ\t-1\t-1\t-1\t// й Й"),
    QStringLiteral("1e\tA\t\t1\t0444\t0424\t-1\t-1\t-1"),
};

QByteArray Encoded(const QString &text, QStringConverter::Encoding encoding, bool mark)
{
    QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

// A table whose characters agree with their codes, in all six states: the Russian sample
// with Ctrl codes.
KeyTableArray RoundTripTable()
{
    KeyTableArray table = RussianLayout();
    SetImportedCharacter(KeyByNumber(table, 14), ShiftState::Ctrl, 0x19);
    SetImportedCharacter(KeyByNumber(table, 25), ShiftState::Ctrl, 0x1D);
    SetImportedCharacter(KeyByNumber(table, 25), ShiftState::CtrlShift, 0x1B);
    return table;
}

} // namespace

class TestKlcImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = KlcText(CyrillicRows);
        QTest::newRow("UTF-16LE with mark") << Encoded(text, QStringConverter::Utf16LE, true);
        QTest::newRow("UTF-16BE with mark") << Encoded(text, QStringConverter::Utf16BE, true);
        QTest::newRow("UTF-16LE without mark") << Encoded(text, QStringConverter::Utf16LE, false);
        QTest::newRow("UTF-16BE without mark") << Encoded(text, QStringConverter::Utf16BE, false);
        QTest::newRow("UTF-8 with mark") << Encoded(text, QStringConverter::Utf8, true);
        QTest::newRow("UTF-8 without mark") << Encoded(text, QStringConverter::Utf8, false);
        QStringEncoder ansi("windows-1251");
        QTest::newRow("windows-1251") << QByteArray(ansi.encode(text));
    }

    void encodings()
    {
        QFETCH(QByteArray, bytes);
        const QString text = DecodeKlcText(bytes);
        QVERIFY(IsKlcText(text));
        const KlcImport imported = ImportKlc(text, QStringLiteral("test.klc"));
        QCOMPARE(imported.report.details(), QStringList());
        const s_key &key14 = KeyByNumber(imported.table, 14);
        QCOMPARE(key14.norm_char, QStringLiteral("й"));
        QCOMPARE(key14.shift_code, QStringLiteral("0419"));
        QCOMPARE(KeyByNumber(imported.table, 27).shift_char, QStringLiteral("Ф"));
        QCOMPARE(imported.properties.description, QStringLiteral("Russian; test"));
        QCOMPARE(imported.languages, QStringList{QStringLiteral("rus")});
    }

    void attributesOtherThanAltGrAreReported()
    {
        const KlcImport imported = ImportKlc(KlcText(CyrillicRows, QStringLiteral("0\n1\n2\n6\n7\n"),
                                                     QStringLiteral("ATTRIBUTES\r\nALTGR\r\nSHIFTLOCK\r\n")),
                                             QStringLiteral("t.klc"));
        QCOMPARE(imported.report.summary(), QStringList{QStringLiteral("1 attribute")});
        QVERIFY(imported.report.details().value(0).endsWith(u": the attribute SHIFTLOCK is not carried"));
    }

    void reportIsBoundedPerKind()
    {
        QString states;
        for (int i = 0; i < 5000; ++i)
            states += QStringLiteral("bad%1\n").arg(i);
        const KlcImport imported = ImportKlc(KlcText(CyrillicRows, QStringLiteral("0\n1\n") + states),
                                             QStringLiteral("t.klc"));
        QCOMPARE(imported.report.summary(), QStringList{QStringLiteral("5000 SHIFTSTATE lines")});
        QCOMPARE(imported.report.details().size(), ImportReport::MaxDetailsPerKind + 1);
        QCOMPARE(imported.report.details().last(), QStringLiteral("and 4980 more SHIFTSTATE lines"));
    }

    void columns_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("report");
        QTest::newRow("lower-case hex") << "044f" << "044F" << "я" << "";
        QTest::newRow("a character instead of hex") << "я" << "044F" << "я" << "";
        QTest::newRow("a digit as character") << "7" << "0037" << "7" << "";
        QTest::newRow("ampersand doubled") << "0026" << "0026" << "&&" << "";
        QTest::newRow("semicolon as character") << ";" << "003B" << ";" << "";
        QTest::newRow("-1 is empty") << "-1" << "" << "" << "";
        QTest::newRow("dead key kept") << "005e@" << "005E" << "^" << "";
        QTest::newRow("dead key as character") << "^@" << "005E" << "^" << "";
        QTest::newRow("ligature skipped") << "%%" << "" << ""
                                          << "line 21: key 14 (scan code 10), AltGr: a ligature (%%) is not carried";
        QTest::newRow("five digits beyond U+FFFF") << "1f600" << "1F600" << "😀" << "";
        QTest::newRow("six digits beyond U+FFFF") << "10FFFD" << "10FFFD" << "\U0010FFFD" << "";
        QTest::newRow("five digits below U+10000") << "0002e" << "" << ""
                                                   << "line 21: key 14 (scan code 10), AltGr: \"0002e\" is not a code or a character; the state is left empty";
        QTest::newRow("beyond U+FFFF as character") << "😀" << "1F600" << "😀" << "";
        QTest::newRow("control keeps its code") << "001b" << "001B" << "" << "";
        QTest::newRow("hex with 0x skipped") << "0x1F" << "" << ""
                                            << "line 21: key 14 (scan code 10), AltGr: \"0x1F\" is not a code or a character; the state is left empty";
    }

    void columns()
    {
        QFETCH(QString, value);
        QFETCH(QString, code);
        QFETCH(QString, character);
        QFETCH(QString, report);
        const QString row = QStringLiteral("10\tQ\t\t1\t0439\t0419\t-1\t%1\t-1\t// comment").arg(value);
        const KlcImport imported = ImportKlc(KlcText({row}), QStringLiteral("test.klc"));
        const s_key &key = KeyByNumber(imported.table, 14);
        QCOMPARE(key.altgr_code, code);
        QCOMPARE(key.altgr_char, character);
        QCOMPARE(imported.report.details(), report.isEmpty() ? QStringList() : QStringList{report});
        QCOMPARE(key.norm_char, QStringLiteral("й"));
    }

    void rows_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("caps");
        QTest::addColumn<QString>("norm");
        QTest::addColumn<QStringList>("report");
        QTest::newRow("cap 1") << QStringList{"10\tQ\t\t1\t0439\t0419\t-1\t-1\t-1"} << "1" << "0439" << QStringList();
        QTest::newRow("cap 0") << QStringList{"10\tQ\t\t0\t0439\t0419\t-1\t-1\t-1"} << "0" << "0439" << QStringList();
        QTest::newRow("cap with AltGr") << QStringList{"10\tQ\t\t5\t0439\t0419\t-1\t-1\t-1"} << "1" << "0439"
                                        << QStringList{"line 21: key 14 (scan code 10): Cap 5 is carried only as Caps Lock on Norm and Shift"};
        QTest::newRow("SGCAP whose Caps row is Shift over Norm")
            << QStringList{"10\tQ\t\tSGCap\t0439\t0419\t-1\t-1\t-1", "-1\t-1\t\t0\t0419\t0439"} << "1" << "0439"
            << QStringList();
        QTest::newRow("SGCAP with Caps characters of its own")
            << QStringList{"10\tQ\t\tSGCap\t0439\t0419\t-1\t-1\t-1", "-1\t-1\t\t0\t0419"} << "0" << "0439"
            << QStringList{"line 21: key 14 (scan code 10): SGCAP (Caps Lock characters of its own) is not carried"};
        QTest::newRow("VK other than the table's")
            << QStringList{"10\tA\t\t1\t0439\t0419\t-1\t-1\t-1"} << "1" << "0439"
            << QStringList{"line 21: key 14 (scan code 10): VK_A is not carried; the key keeps VK_Q"};
        QTest::newRow("unknown scan code")
            << QStringList{"10\tQ\t\t1\t0439\t0419\t-1\t-1\t-1", "73\tABNT_C1\t\t0\t002f\t003f\t-1\t-1\t-1"} << "1" << "0439"
            << QStringList{"line 22: scan code 73 (ABNT_C1) is not one of the 49 keys; the row is skipped"};
        // A key without a row is written with Cap 0, and read so.
        QTest::newRow("the export's fixed rows") << QStringList{KlcExtraKeyLines[0].toString(), KlcExtraKeyLines[1].toString()}
                                                 << "0" << "" << QStringList();
        QTest::newRow("scan code twice")
            << QStringList{"10\tQ\t\t1\t0439\t0419\t-1\t-1\t-1", "10\tQ\t\t0\t0071\t0051\t-1\t-1\t-1"} << "1" << "0439"
            << QStringList{"line 22: scan code 10 comes again; the row is skipped"};
        QTest::newRow("short row") << QStringList{"10\tQ"} << "0" << ""
                                   << QStringList{"line 21: the row is too short and is skipped"};
        // A scan code and a Cap value are hex digits and nothing else.
        QTest::newRow("scan code with 0x")
            << QStringList{"0x10\tQ\t\t1\t0439\t0419\t-1\t-1\t-1"} << "0" << ""
            << QStringList{"line 21: scan code 0x10 (Q) is not one of the 49 keys; the row is skipped"};
        QTest::newRow("scan code of three digits")
            << QStringList{"010\tQ\t\t1\t0439\t0419\t-1\t-1\t-1"} << "0" << ""
            << QStringList{"line 21: scan code 010 (Q) is not one of the 49 keys; the row is skipped"};
        QTest::newRow("cap with 0x") << QStringList{"10\tQ\t\t0x1\t0439\t0419\t-1\t-1\t-1"} << "0" << "0439"
                                     << QStringList{"line 21: key 14 (scan code 10): Cap \"0x1\" is not understood; caps is 0"};
    }

    void rows()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, caps);
        QFETCH(QString, norm);
        QFETCH(QStringList, report);
        const KlcImport imported = ImportKlc(KlcText(rows), QStringLiteral("test.klc"));
        QCOMPARE(imported.report.details(), report);
        QCOMPARE(KeyByNumber(imported.table, 14).caps, caps);
        QCOMPARE(KeyByNumber(imported.table, 14).norm_code, norm);
    }

    void shiftStatesDecideTheColumns_data()
    {
        QTest::addColumn<QString>("skipped");
        QTest::addColumn<QString>("report");
        QTest::newRow("state without a slot") << "4 //Alt" << "line 14: shift state 4 has no place in the table; its column is skipped";
        QTest::newRow("line that is not a number") << "x" << "line 14: \"x\" is not a shift state; its column is skipped";
    }

    void shiftStatesDecideTheColumns()
    {
        // AltGr first, then Norm; the third column is skipped without moving the fourth.
        QFETCH(QString, skipped);
        QFETCH(QString, report);
        const QString row = QStringLiteral("10\tQ\t\t1\t0061\t0439\t0062\t0419");
        const KlcImport imported = ImportKlc(KlcText({row}, QStringLiteral("6\n0\n%1\n1\n").arg(skipped)), QStringLiteral("t.klc"));
        const s_key &key = KeyByNumber(imported.table, 14);
        QCOMPARE(key.altgr_code, QStringLiteral("0061"));
        QCOMPARE(key.norm_code, QStringLiteral("0439"));
        QCOMPARE(key.shift_code, QStringLiteral("0419"));
        QCOMPARE(key.ctrl_code, QString());
        QCOMPARE(imported.report.details(), QStringList{report});
    }

    void deadKeys_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QList<DeadPair>>("pairs");
        QTest::addColumn<QStringList>("report");
        const QString head = QStringLiteral("DEADKEY\t00b4\r\n\r\n");
        const QList<DeadPair> acute = {{"a", "á"}, {"E", "É"}};
        QTest::newRow("table, space pair of its own character left out")
            << "00b4@" << head + "0061\t00e1\t// a -> á\r\n0020\t00b4\r\n0045\t00c9\r\n" << acute << QStringList();
        QTest::newRow("space pair of another character kept")
            << "00b4@" << head + "0020\t0027\r\n" << QList<DeadPair>{{" ", "'"}} << QStringList();
        QTest::newRow("no table") << "00b4@" << QString() << QList<DeadPair>() << QStringList();
        QTest::newRow("pairs beyond U+FFFF") << "00b4@" << head + "1d400\t1d434\r\n"
                                            << QList<DeadPair>{{"\U0001D400", "\U0001D434"}} << QStringList();
        QTest::newRow("a base that comes again reported")
            << "00b4@" << head + "0061\t00e1\r\n0061\t00e0\r\n" << QList<DeadPair>{{"a", "á"}}
            << QStringList{"line 27: dead key 00b4: 0061 -> 00e0: the base comes again; the pair is skipped"};
        QTest::newRow("chained dead key and a ligature reported")
            << "00b4@" << head + "0061\t00e1\r\n0060\t005e@\r\n0065\t%%\r\n" << QList<DeadPair>{{"a", "á"}}
            << QStringList{"line 27: dead key 00b4: 0060 -> 005e@ leads to another dead key, which is not carried",
                           "line 28: dead key 00b4: 0065 -> %% is not a pair of characters; it is skipped"};
    }

    void deadKeys()
    {
        QFETCH(QString, column);
        QFETCH(QString, table);
        QFETCH(QList<DeadPair>, pairs);
        QFETCH(QStringList, report);
        // Two keys with the same dead key share its table.
        const QStringList rows = {QStringLiteral("10\tQ\t\t1\t0439\t0419\t-1\t%1\t-1").arg(column),
                                  QStringLiteral("1e\tA\t\t1\t%1\t0424\t-1\t-1\t-1").arg(column)};
        const KlcImport imported = ImportKlc(KlcText(rows, QStringLiteral("0\n1\n2\n6\n7\n"), table), QStringLiteral("t.klc"));
        QCOMPARE(imported.report.details(), report);
        const std::optional<DeadKey> &dead = DeadOf(KeyByNumber(imported.table, 14), ShiftState::AltGr);
        QVERIFY(dead.has_value());
        QCOMPARE(dead->pairs, pairs);
        QCOMPARE(DeadOf(KeyByNumber(imported.table, 27), ShiftState::Norm), dead);
        QCOMPARE(KeyByNumber(imported.table, 14).altgr_char, QStringLiteral("´"));
    }

    void isoKeyAndSpaceBar_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("isoNorm");
        QTest::addColumn<QString>("spaceAltGr");
        QTest::addColumn<QStringList>("report");
        QTest::newRow("the export's fixed OEM_102 row is no ISO key") << KlcExtraKeyLines[0].toString() << "" << "" << QStringList();
        QTest::newRow("OEM_102 with characters of its own")
            << "56\tOEM_102\t\t0\t003c\t003e\t-1\t007c\t-1" << "<" << "" << QStringList();
        QTest::newRow("space bar: Shift dropped, AltGr kept")
            << "39\tSPACE\t\t0\t0020\t202f\t-1\t00a0\t-1" << "" << "\u00A0"
            << QStringList{"line 21: key 48 (scan code 39), Shift: \"202f\" is not carried; the space bar types U+0020 there"};
    }

    void isoKeyAndSpaceBar()
    {
        QFETCH(QString, row);
        QFETCH(QString, isoNorm);
        QFETCH(QString, spaceAltGr);
        QFETCH(QStringList, report);
        const KlcImport imported = ImportKlc(KlcText({row}), QStringLiteral("t.klc"));
        QCOMPARE(imported.report.details(), report);
        QCOMPARE(KeyByNumber(imported.table, IsoKey).norm_char, isoNorm);
        QCOMPARE(IsoKeyUsed(imported.table), !isoNorm.isEmpty());
        const s_key &space = KeyByNumber(imported.table, SpaceKey);
        QCOMPARE(space.altgr_char, spaceAltGr);
        QCOMPARE(space.shift_code, QStringLiteral("0020"));
        QCOMPARE(space.shift_char, QString());
    }

    void ligatureOfOneCharacter()
    {
        // The Windows layout creator's other way to a character beyond U+FFFF: its surrogate pair.
        const QString ligatures = QStringLiteral("LIGATURE\r\n\r\nQ\t1\td83d\tde00\r\nQ\t3\t0061\t0062\r\n");
        const QString row = QStringLiteral("10\tQ\t\t1\t0439\t%%\t-1\t%%\t-1");
        const KlcImport imported = ImportKlc(KlcText({row}, QStringLiteral("0\n1\n2\n6\n7\n"), ligatures), QStringLiteral("t.klc"));
        QCOMPARE(KeyByNumber(imported.table, 14).shift_char, QStringLiteral("😀"));
        QCOMPARE(KeyByNumber(imported.table, 14).altgr_code, QString());
        QCOMPARE(imported.report.details(), QStringList{"line 21: key 14 (scan code 10), AltGr: a ligature (%%) is not carried"});
    }

    void headerTexts()
    {
        const KlcImport imported = ImportKlc(KlcText(CyrillicRows), QStringLiteral("t.klc"));
        QCOMPARE(imported.properties.name, QStringLiteral("ru_test"));
        QCOMPARE(imported.properties.description, QStringLiteral("Russian; test"));
        QCOMPARE(imported.properties.copyright, QStringLiteral("(c) 2024 someone"));
        QCOMPARE(imported.properties.company, QStringLiteral("Some company"));
        QCOMPARE(imported.properties.localeId, QStringLiteral("00000419"));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QString noLayout = KlcText({});
        noLayout.replace(QStringLiteral("LAYOUT\t"), QStringLiteral("// LAYOUT\t"));
        QTest::newRow("no LAYOUT") << noLayout << "t.klc cannot be imported: it has no LAYOUT section";
        QString noShiftState = KlcText(CyrillicRows);
        noShiftState.replace(QStringLiteral("SHIFTSTATE"), QStringLiteral("; SHIFTSTATE"));
        QTest::newRow("no SHIFTSTATE") << noShiftState << "t.klc cannot be imported: it has no SHIFTSTATE";
        QTest::newRow("empty SHIFTSTATE") << KlcText(CyrillicRows, QString())
                                          << "t.klc cannot be imported: it has no SHIFTSTATE";
    }

    void layoutKeywordInAComment()
    {
        QString text = KlcText(CyrillicRows);
        text.replace(QStringLiteral("LAYOUT\t"), QStringLiteral("// LAYOUT\t"));
        const KlcImport imported = ImportKlc(text, QStringLiteral("t.klc"));
        QCOMPARE(KeyByNumber(imported.table, 14).norm_char, QStringLiteral("й"));
        QCOMPARE(imported.report.details(), QStringList());
    }

    void refused()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QCOMPARE(ErrorOf([&] { ImportKlc(text, QStringLiteral("t.klc")); }), message);
    }

    void recognisedByContent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("klc");
        QTest::newRow("KBD after comments and blank lines") << QByteArray("; made by hand\n// more\n\n  KBD x \"y\"\n") << true;
        QTest::newRow("the export") << KlcFileBytes(DefaultTable(), KlcProperties()) << true;
        QTest::newRow("a UKB file") << UkbFileBytes(DefaultTable()) << false;
        QTest::newRow("KBD later") << QByteArray("VERSION 1.0\nKBD x \"y\"\n") << false;
        QTest::newRow("lower-case kbd") << QByteArray("kbd x \"y\"\n") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void recognisedByContent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, klc);
        QCOMPARE(IsKlcText(DecodeKlcText(bytes)), klc);
    }

    void exportThenImportGivesTheTableBack()
    {
        const KeyTableArray table = RoundTripTable();
        KlcProperties properties;
        properties.name = QStringLiteral("abcdefgh");
        properties.description = QStringLiteral("Test \"quoted\"");
        properties.localeId = QStringLiteral("00000422");
        const KlcImport imported = ImportKlc(DecodeKlcText(KlcFileBytes(table, properties)), QStringLiteral("t.klc"));
        QCOMPARE(imported.report.details(), QStringList());
        KeyTableArray back = DefaultTable();
        ApplyLayoutImport(back, imported.table);
        for (int number = 1; number <= KeyCount; ++number)
            QCOMPARE(UkbLines(back).at(number - 1), UkbLines(table).at(number - 1));
        QCOMPARE(imported.properties.name, properties.name);
        QCOMPARE(imported.properties.localeId, properties.localeId);
    }

    void exportImportExportIsStable_data()
    {
        QTest::addColumn<int>("sample");
        // The edge sample holds codes no KLC can ("0x5B"), which the import reports.
        for (int i = 0; i < int(SampleLayouts.size()); ++i) {
            if (QByteArray(SampleLayouts[i].name) != "edge")
                QTest::newRow(SampleLayouts[i].name) << i;
        }
    }

    void exportImportExportIsStable()
    {
        QFETCH(int, sample);
        const KeyTableArray table = SampleLayouts[sample].make();
        const QByteArray exported = KlcFileBytes(table, KlcProperties());
        KeyTableArray back = DefaultTable();
        ApplyLayoutImport(back, ImportKlc(DecodeKlcText(exported), QStringLiteral("t.klc")).table);
        QCOMPARE(KlcFileBytes(back, KlcProperties()), exported);
        for (int number = 1; number <= TableKeyCount; ++number) {
            for (ShiftState state : AllShiftStates) {
                const std::optional<DeadKey> &dead = DeadOf(KeyByNumber(table, number), state);
                QCOMPARE(DeadOf(KeyByNumber(back, number), state).has_value(), dead.has_value());
                if (!dead)
                    continue;
                // A space pair that gives the dead key's own character says nothing more.
                QList<DeadPair> pairs = dead->pairs;
                pairs.removeIf([&](const DeadPair &p) { return p.base == u" " && p.result == CharOf(KeyByNumber(table, number), state); });
                QCOMPARE(DeadOf(KeyByNumber(back, number), state)->pairs, pairs);
            }
        }
    }

    void fileErrors()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("missing.klc"));
        QCOMPARE(ErrorOf([&] { ImportKlcFile(missing); }), QStringLiteral("Cannot open file ") + missing);
        const QString ukb = dir.filePath(QStringLiteral("layout.klc"));
        QVERIFY(WriteAll(ukb, UkbFileBytes(DefaultTable())));
        QCOMPARE(ErrorOf([&] { ImportKlcFile(ukb); }), ukb + QStringLiteral(" is not a KLC file: it does not start with KBD"));
        const QString large = dir.filePath(QStringLiteral("large.klc"));
        QVERIFY(WriteAll(large, "KBD x \"y\"\n" + QByteArray(MaxKlcFileSize, ' ')));
        QCOMPARE(ErrorOf([&] { ImportKlcFile(large); }), large + QStringLiteral(" is too large for a KLC file"));
        QCOMPARE(ImportKlcFile(GoldenFilePath(QStringLiteral("default.klc"))).report.lines(), QStringList());
    }
};

TAVO_TEST(TestKlcImport)
#include "tst_klcimport.moc"
