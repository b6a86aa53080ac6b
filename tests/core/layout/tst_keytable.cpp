// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keytable.h"
#include "testregistry.h"

#include <QTest>

class TestKeyTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        ClearKeyTable(KeyTable);
        LoadDefaults(KeyTable);
    }

    void defaultIdentity_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("vk");
        QTest::addColumn<QString>("scanCode");
        QTest::addColumn<QString>("vkName");
        // Standard Windows virtual-key codes, PC scan-code set 1, on-screen order.
        const struct { int vk; const char *scan; const char *name; } rows[] = {
            {192, "29", "OEM_3"}, {49, "02", "1"}, {50, "03", "2"}, {51, "04", "3"},
            {52, "05", "4"}, {53, "06", "5"}, {54, "07", "6"}, {55, "08", "7"},
            {56, "09", "8"}, {57, "0a", "9"}, {48, "0b", "0"}, {189, "0c", "OEM_MINUS"},
            {187, "0d", "OEM_PLUS"}, {81, "10", "Q"}, {87, "11", "W"}, {69, "12", "E"},
            {82, "13", "R"}, {84, "14", "T"}, {89, "15", "Y"}, {85, "16", "U"},
            {73, "17", "I"}, {79, "18", "O"}, {80, "19", "P"}, {219, "1a", "OEM_4"},
            {221, "1b", "OEM_6"}, {220, "2b", "OEM_5"}, {65, "1e", "A"}, {83, "1f", "S"},
            {68, "20", "D"}, {70, "21", "F"}, {71, "22", "G"}, {72, "23", "H"},
            {74, "24", "J"}, {75, "25", "K"}, {76, "26", "L"}, {186, "27", "OEM_1"},
            {222, "28", "OEM_7"}, {90, "2c", "Z"}, {88, "2d", "X"}, {67, "2e", "C"},
            {86, "2f", "V"}, {66, "30", "B"}, {78, "31", "N"}, {77, "32", "M"},
            {188, "33", "OEM_COMMA"}, {190, "34", "OEM_PERIOD"}, {191, "35", "OEM_2"},
            {32, "39", "SPACE"}, {226, "56", "OEM_102"},
        };
        int number = 1;
        for (const auto &row : rows) {
            QTest::addRow("key %d VK_%s", number, row.name)
                << number << row.vk << QString::fromLatin1(row.scan) << QString::fromLatin1(row.name);
            ++number;
        }
    }

    void defaultIdentity()
    {
        QFETCH(int, number);
        QFETCH(int, vk);
        QFETCH(QString, scanCode);
        QFETCH(QString, vkName);
        const s_key &key = KeyByNumber(KeyTable, number);
        QCOMPARE(int(key.vk), vk);
        QCOMPARE(key.scan_code, scanCode);
        QCOMPARE(key.vk_name, vkName);
        QCOMPARE(key.cell, number);
    }

    void defaultsHoldNoCharacters()
    {
        for (int number = 1; number < SpaceKey; ++number) {
            s_key expected;
            const s_key &key = KeyByNumber(KeyTable, number);
            expected.vk = key.vk;
            expected.cell = key.cell;
            expected.scan_code = key.scan_code;
            expected.vk_name = key.vk_name;
            QVERIFY2(key == expected, qPrintable(QString::number(number)));
        }
    }

    void spaceBarExtras()
    {
        const s_key &space = KeyByNumber(KeyTable, SpaceKey);
        QCOMPARE(space.caps, u"0");
        QCOMPARE(space.norm_code, u"0020");
        QCOMPARE(space.shift_code, u"0020");
        QCOMPARE(space.ctrl_code, u"0020");
        for (ShiftState state : AllShiftStates)
            QVERIFY(CharOf(space, state).isEmpty());
        QVERIFY(space.altgr_code.isEmpty());
        QVERIFY(space.altgr_shift_code.isEmpty());
        QVERIFY(space.ctrl_shift_code.isEmpty());
        QVERIFY(space.key_type.isEmpty());
        QVERIFY(space.spare1.isEmpty() && space.spare2.isEmpty() && space.spare3.isEmpty());
    }

    void clearEmptiesEverything()
    {
        KeyTable[3].norm_char = QStringLiteral("x");
        KeyTable[3].spare2 = QStringLiteral("y");
        KeyTable[3].key_type = QStringLiteral("sign");
        ClearKeyTable(KeyTable);
        for (const s_key &key : KeyTable)
            QVERIFY(key == s_key{});
    }

    void stateFields()
    {
        s_key key;
        const char16_t *names[] = {u"n", u"s", u"a", u"as", u"c", u"cs"};
        for (ShiftState state : AllShiftStates) {
            CharOf(key, state) = QString::fromUtf16(names[int(state) - 1]);
            CodeOf(key, state) = QString::number(int(state));
        }
        QCOMPARE(key.norm_char, u"n");
        QCOMPARE(key.shift_char, u"s");
        QCOMPARE(key.altgr_char, u"a");
        QCOMPARE(key.altgr_shift_char, u"as");
        QCOMPARE(key.ctrl_char, u"c");
        QCOMPARE(key.ctrl_shift_char, u"cs");
        QCOMPARE(key.norm_code, u"1");
        QCOMPARE(key.shift_code, u"2");
        QCOMPARE(key.altgr_code, u"3");
        QCOMPARE(key.altgr_shift_code, u"4");
        QCOMPARE(key.ctrl_code, u"5");
        QCOMPARE(key.ctrl_shift_code, u"6");
    }

    void capsFlag_data()
    {
        QTest::addColumn<QString>("caps");
        QTest::addColumn<bool>("set");
        QTest::newRow("one") << QStringLiteral("1") << true;
        QTest::newRow("zero") << QStringLiteral("0") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("one with blank") << QStringLiteral(" 1") << false;
        QTest::newRow("two") << QStringLiteral("2") << false;
    }

    void capsFlag()
    {
        QFETCH(QString, caps);
        QFETCH(bool, set);
        s_key key;
        key.caps = caps;
        QCOMPARE(CapsSet(key), set);
    }
};

TAVO_TEST(TestKeyTable)
#include "tst_keytable.moc"
