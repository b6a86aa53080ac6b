// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyedit.h"
#include "testregistry.h"

#include <QTest>

namespace {

s_key SampleKey()
{
    s_key key;
    key.vk = 219;
    key.cell = 24;
    key.scan_code = QStringLiteral("1a");
    key.vk_name = QStringLiteral("OEM_4");
    key.caps = QStringLiteral("1");
    key.norm_char = QStringLiteral("\u0445");
    key.norm_code = QStringLiteral("0445");
    key.shift_char = QStringLiteral("\u0425");
    key.shift_code = QStringLiteral("0425");
    key.altgr_char = QStringLiteral("[");
    key.altgr_code = QStringLiteral("005b");
    key.altgr_shift_char = QStringLiteral("&&");
    key.altgr_shift_code = QStringLiteral("0026");
    key.ctrl_char = QStringLiteral("\u00E9");
    key.ctrl_code = QStringLiteral("00E9");
    key.ctrl_shift_char = QString(QChar(0xFFFF));
    key.ctrl_shift_code = QStringLiteral("FFFF");
    key.spare1 = QStringLiteral("one");
    return key;
}

} // namespace

class TestKeyEdit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fillsInStateOrder()
    {
        const KeyEdit edit = KeyEditOf(SampleKey());
        QCOMPARE(edit.name, u"Key:  VK_OEM_4");
        QCOMPARE(edit.chars, (std::array<QString, 6>{
            QStringLiteral("\u0445"), QStringLiteral("\u0425"), QStringLiteral("["),
            QStringLiteral("&&"), QStringLiteral("\u00E9"), QString(QChar(0xFFFF))}));
        QCOMPARE(edit.codes, (std::array<QString, 6>{
            QStringLiteral("0445"), QStringLiteral("0425"), QStringLiteral("005b"),
            QStringLiteral("0026"), QStringLiteral("00E9"), QStringLiteral("FFFF")}));
        QVERIFY(edit.caps);
    }

    void capsFlag_data()
    {
        QTest::addColumn<QString>("caps");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("stored");
        QTest::newRow("\"1\" ticks") << QStringLiteral("1") << true << QStringLiteral("1");
        QTest::newRow("\"0\" does not") << QStringLiteral("0") << false << QStringLiteral("0");
        QTest::newRow("empty becomes \"0\"") << QString() << false << QStringLiteral("0");
        QTest::newRow("\" 1\" is not exactly \"1\"") << QStringLiteral(" 1") << false << QStringLiteral("0");
        QTest::newRow("\"11\" is not \"1\"") << QStringLiteral("11") << false << QStringLiteral("0");
    }
    void capsFlag()
    {
        QFETCH(QString, caps);
        QFETCH(bool, ticked);
        QFETCH(QString, stored);
        s_key key = SampleKey();
        key.caps = caps;
        const KeyEdit edit = KeyEditOf(key);
        QCOMPARE(edit.caps, ticked);
        StoreKeyEdit(edit, key);
        QCOMPARE(key.caps, stored);
    }

    void roundTripLeavesTheKeyAsItWas()
    {
        // Texts pass in UTF-16 as they are: a key holding characters outside windows-1251
        // comes back unchanged, and fields the edit does not carry stay.
        const s_key before = SampleKey();
        s_key key = before;
        StoreKeyEdit(KeyEditOf(key), key);
        QCOMPARE(key, before);
    }

    void storedTextsAreTrimmed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("single blank of a fresh field") << QStringLiteral(" ") << QString();
        QTest::newRow("blanks around") << QStringLiteral("  x ") << QStringLiteral("x");
        QTest::newRow("tab and line break") << QStringLiteral("\tx\r\n") << QStringLiteral("x");
        QTest::newRow("control units") << QStringLiteral("\u0001x\u001F") << QStringLiteral("x");
        QTest::newRow("no-break space stays") << QStringLiteral("\u00A0") << QStringLiteral("\u00A0");
        QTest::newRow("ideographic space stays") << QStringLiteral("\u3000x") << QStringLiteral("\u3000x");
        QTest::newRow("inner blank stays") << QStringLiteral(" a b ") << QStringLiteral("a b");
        QTest::newRow("surrogate pair") << QStringLiteral(" \U0001F600 ") << QStringLiteral("\U0001F600");
    }
    void storedTextsAreTrimmed()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        for (ShiftState state : AllShiftStates) {
            s_key key = SampleKey();
            KeyEdit edit = KeyEditOf(key);
            edit.chars[int(state) - 1] = text;
            edit.codes[int(state) - 1] = text;
            StoreKeyEdit(edit, key);
            QCOMPARE(CharOf(key, state), stored);
            QCOMPARE(CodeOf(key, state), stored);
        }
    }

    void nameIsNotStored()
    {
        s_key key = SampleKey();
        KeyEdit edit = KeyEditOf(key);
        edit.name = QStringLiteral("Key:  VK_Q");
        StoreKeyEdit(edit, key);
        QCOMPARE(key.vk_name, u"OEM_4");
    }

    void storedDeadKey_data()
    {
        const DeadKey acute{u"dead_acute"_qs, {{u"e"_qs, u"\u00E9"_qs}, {u" "_qs, u"\u00B4"_qs}}};
        QTest::addColumn<QString>("character");
        QTest::addColumn<DeadKey>("edited");
        QTest::addColumn<std::optional<DeadKey>>("stored");
        QTest::newRow("kept with keysym and space pair") << u"\u00B4"_qs << acute << std::optional(acute);
        QTest::newRow("new character drops the keysym") << u"`"_qs << acute << std::optional(DeadKey{{}, acute.pairs});
        QTest::newRow("no character, no dead key") << u" "_qs << acute << std::optional<DeadKey>();
        QTest::newRow("empty or repeated bases, empty results dropped")
            << u"\u00B4"_qs << DeadKey{{}, {{{}, u"x"_qs}, {u"a"_qs, u"\u00E1"_qs}, {u"o"_qs, {}}, {u"a"_qs, u"b"_qs}}}
            << std::optional(DeadKey{{}, {{u"a"_qs, u"\u00E1"_qs}}});
    }
    void storedDeadKey()
    {
        QFETCH(QString, character);
        QFETCH(DeadKey, edited);
        QFETCH(std::optional<DeadKey>, stored);
        s_key key = SampleKey();
        key.shift_char = QStringLiteral("\u00B4");
        KeyEdit edit = KeyEditOf(key);
        edit.chars[1] = character;
        edit.dead[1] = edited;
        StoreKeyEdit(edit, key);
        QCOMPARE(DeadOf(key, ShiftState::Shift), stored);
    }
};

TAVO_TEST(TestKeyEdit)
#include "tst_keyedit.moc"
