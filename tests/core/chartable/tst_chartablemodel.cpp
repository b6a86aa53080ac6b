// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartablemodel.h"
#include "testregistry.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(CharSet)

class TestCharTableModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cellCode_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("code");
        QTest::newRow("first cell") << 0 << 0 << 32;
        QTest::newRow("end of the first row") << 0 << 31 << 63;
        QTest::newRow("start of the second row") << 1 << 0 << 64;
        QTest::newRow("code 192 at row 5") << 5 << 0 << 192;
        QTest::newRow("last Default cell") << 6 << 31 << 255;
        QTest::newRow("first cell past Default") << 7 << 0 << 256;
        QTest::newRow("code 1040") << 31 << 16 << 1040;
        QTest::newRow("last UCS-2 cell") << 2046 << 31 << 65535;
        QTest::newRow("just past the last UCS-2 cell") << 2047 << 0 << 65536;
    }
    void cellCode()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, code);
        QCOMPARE(CellCode(row, column), code);
    }

    void rows()
    {
        QCOMPARE(CharTableRows(CharSet::Default), 7);
        QCOMPARE(CharTableRows(CharSet::Ucs2), 2047);
        QCOMPARE(CharTableRows(CharSet::Ucs2) * CharTableColumns, 65504);
    }

    void cellText_data()
    {
        QTest::addColumn<CharSet>("charSet");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        // Default: single bytes of windows-1251.
        QTest::newRow("Default: before the first cell") << CharSet::Default << 31 << QString();
        QTest::newRow("Default: blank") << CharSet::Default << 32 << QStringLiteral(" ");
        QTest::newRow("Default: ampersand") << CharSet::Default << 0x26 << QStringLiteral("&");
        QTest::newRow("Default: tilde") << CharSet::Default << 0x7E << QStringLiteral("~");
        QTest::newRow("Default: byte 80 is Dje") << CharSet::Default << 0x80 << QStringLiteral("\u0402");
        QTest::newRow("Default: byte A8 is Io") << CharSet::Default << 0xA8 << QStringLiteral("\u0401");
        QTest::newRow("Default: byte C0 is capital A") << CharSet::Default << 192 << QStringLiteral("\u0410");
        QTest::newRow("Default: byte FF is small ya") << CharSet::Default << 255 << QStringLiteral("\u044F");
        QTest::newRow("Default: just past the last cell") << CharSet::Default << 256 << QString();
        // UCS-2: every code is its own character, the Latin-1 range included.
        QTest::newRow("UCS-2: before the first cell") << CharSet::Ucs2 << 31 << QString();
        QTest::newRow("UCS-2: blank") << CharSet::Ucs2 << 32 << QStringLiteral(" ");
        QTest::newRow("UCS-2: 0080 stays a control unit") << CharSet::Ucs2 << 0x80 << QString(QChar(0x80));
        QTest::newRow("UCS-2: C0 is A grave, not Cyrillic") << CharSet::Ucs2 << 0xC0 << QStringLiteral("\u00C0");
        QTest::newRow("UCS-2: e acute") << CharSet::Ucs2 << 0xE9 << QStringLiteral("\u00E9");
        QTest::newRow("UCS-2: FF is y diaeresis") << CharSet::Ucs2 << 0xFF << QStringLiteral("\u00FF");
        QTest::newRow("UCS-2: 0100") << CharSet::Ucs2 << 0x100 << QStringLiteral("\u0100");
        QTest::newRow("UCS-2: capital A at 1040") << CharSet::Ucs2 << 0x410 << QStringLiteral("\u0410");
        QTest::newRow("UCS-2: high surrogate alone") << CharSet::Ucs2 << 0xD800 << QString(QChar(0xD800));
        QTest::newRow("UCS-2: low surrogate alone") << CharSet::Ucs2 << 0xDFFF << QString(QChar(0xDFFF));
        QTest::newRow("UCS-2: private use") << CharSet::Ucs2 << 0xE000 << QStringLiteral("\uE000");
        QTest::newRow("UCS-2: last cell FFFF") << CharSet::Ucs2 << 0xFFFF << QString(QChar(0xFFFF));
        QTest::newRow("UCS-2: just past the last cell") << CharSet::Ucs2 << 0x10000 << QString();
    }
    void cellText()
    {
        QFETCH(CharSet, charSet);
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(CellText(code, charSet), text);
    }

    void everyUnitOnceInUcs2()
    {
        // Each unit from U+0020 to U+FFFF has exactly one cell: none is shown twice and
        // the Latin-1 letters are not left out.
        std::vector<int> cells(0x10000);
        for (int code = FirstCharCode; code <= 0xFFFF; ++code) {
            const QString text = CellText(code, CharSet::Ucs2);
            QCOMPARE(text.size(), 1);
            ++cells[text.at(0).unicode()];
        }
        for (int unit = FirstCharCode; unit <= 0xFFFF; ++unit)
            QVERIFY2(cells[unit] == 1, qPrintable(QString::number(unit, 16)));
    }

    void noLatin1LettersInDefault()
    {
        for (int code = FirstCharCode; code <= 255; ++code) {
            const char16_t unit = CellText(code, CharSet::Default).at(0).unicode();
            QVERIFY2(unit < 0xC0 || unit > 0xFF, qPrintable(QString::number(code)));
        }
    }

    void modelContract()
    {
        CharTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 7);
        model.setCharSet(CharSet::Ucs2);
        QCOMPARE(model.rowCount(), 2047);
        model.setCharSet(CharSet::Ucs2);
        QCOMPARE(model.rowCount(), 2047);
        model.setCharSet(CharSet::Default);
        QCOMPARE(model.rowCount(), 7);
    }

    void modelCells_data()
    {
        QTest::addColumn<CharSet>("charSet");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("Default first cell") << CharSet::Default << 0 << 0 << true << QStringLiteral(" ") << 32;
        QTest::newRow("Default 192") << CharSet::Default << 5 << 0 << true << QStringLiteral("\u0410") << 192;
        QTest::newRow("Default last cell") << CharSet::Default << 6 << 31 << true << QStringLiteral("\u044F") << 255;
        QTest::newRow("Default past the last row") << CharSet::Default << 7 << 0 << false << QString() << 0;
        QTest::newRow("Default past the last column") << CharSet::Default << 0 << 32 << false << QString() << 0;
        QTest::newRow("UCS-2 first cell") << CharSet::Ucs2 << 0 << 0 << true << QStringLiteral(" ") << 32;
        QTest::newRow("UCS-2 192") << CharSet::Ucs2 << 5 << 0 << true << QStringLiteral("\u00C0") << 192;
        QTest::newRow("UCS-2 last cell") << CharSet::Ucs2 << 2046 << 31 << true << QString(QChar(0xFFFF)) << 65535;
        QTest::newRow("UCS-2 past the last row") << CharSet::Ucs2 << 2047 << 0 << false << QString() << 0;
        QTest::newRow("UCS-2 past the last column") << CharSet::Ucs2 << 2046 << 32 << false << QString() << 0;
    }
    void modelCells()
    {
        QFETCH(CharSet, charSet);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(bool, valid);
        QFETCH(QString, text);
        QFETCH(int, code);
        CharTableModel model;
        model.setCharSet(charSet);
        const QModelIndex index = model.index(row, column);
        QCOMPARE(index.isValid(), valid);
        if (!valid)
            return;
        QCOMPARE(index.data().toString(), text);
        QCOMPARE(index.data(CharTableModel::CodeRole).toInt(), code);
        QVERIFY(!(index.flags() & Qt::ItemIsEditable));
    }

    // The hint names the character the cell shows; the texts themselves belong to the
    // names' own tests.
    void toolTips_data()
    {
        QTest::addColumn<CharSet>("charSet");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("Default: the code page's letter, not the byte") << CharSet::Default << 192
                                                                       << "U+0410 CYRILLIC CAPITAL LETTER A";
        QTest::newRow("UCS-2: the Latin-1 letter") << CharSet::Ucs2 << 192 << "U+00C0 LATIN CAPITAL LETTER A WITH GRAVE";
        QTest::newRow("UCS-2: private use") << CharSet::Ucs2 << 0xE000 << "U+E000 private use";
        QTest::newRow("UCS-2: last cell") << CharSet::Ucs2 << 0xFFFF << "U+FFFF not assigned";
    }
    void toolTips()
    {
        QFETCH(CharSet, charSet);
        QFETCH(int, code);
        QFETCH(QString, toolTip);
        CharTableModel model;
        model.setCharSet(charSet);
        const QModelIndex cell = model.indexOfCode(code);
        QCOMPARE(cell.data(CharTableModel::CodeRole).toInt(), code);
        QCOMPARE(cell.data(Qt::ToolTipRole).toString(), toolTip);
    }

    void cellOfCharacter_data()
    {
        QTest::addColumn<CharSet>("charSet");
        QTest::addColumn<int>("character");
        QTest::addColumn<int>("code");  // -1: no cell shows it
        QTest::newRow("Default: ASCII letter") << CharSet::Default << 0x41 << 65;
        QTest::newRow("Default: Cyrillic letter at byte C0") << CharSet::Default << 0x410 << 192;
        QTest::newRow("Default: euro sign at byte 88") << CharSet::Default << 0x20AC << 0x88;
        QTest::newRow("Default: Latin-1 letter it lacks") << CharSet::Default << 0xE9 << -1;
        QTest::newRow("Default: control below the first cell") << CharSet::Default << 0x1F << -1;
        QTest::newRow("UCS-2: Latin-1 letter") << CharSet::Ucs2 << 0xE9 << 0xE9;
        QTest::newRow("UCS-2: blank, the first cell") << CharSet::Ucs2 << 0x20 << 0x20;
        QTest::newRow("UCS-2: last cell") << CharSet::Ucs2 << 0xFFFF << 0xFFFF;
        QTest::newRow("UCS-2: control below the first cell") << CharSet::Ucs2 << 0x1F << -1;
    }
    void cellOfCharacter()
    {
        QFETCH(CharSet, charSet);
        QFETCH(int, character);
        QFETCH(int, code);
        QCOMPARE(CellCodeOf(QChar(char16_t(character)), charSet), code);
        CharTableModel model;
        model.setCharSet(charSet);
        const QModelIndex cell = model.indexOfCode(code);
        QCOMPARE(cell.isValid(), code >= 0);
        if (code >= 0)
            QCOMPARE(cell.data().toString(), QString(QChar(char16_t(character))));
    }

    void switchKeepsRowsInPlace()
    {
        // The first seven rows are rewritten, not removed and inserted again, so a view
        // keeps its current cell there.
        CharTableModel model;
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setCharSet(CharSet::Ucs2);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 7);
        QCOMPARE(inserted.at(0).at(2).toInt(), 2046);
        QCOMPARE(changed.count(), 1);
        model.setCharSet(CharSet::Default);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 7);
        QCOMPARE(removed.at(0).at(2).toInt(), 2046);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(model.index(5, 0).data().toString(), u"\u0410");
    }
};

TAVO_TEST(TestCharTableModel)
#include "tst_chartablemodel.moc"
