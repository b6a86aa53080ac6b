// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "charsearch.h"
#include "charsearchmodel.h"
#include "testregistry.h"

#include <QAbstractItemModelTester>
#include <QTest>

class TestCharSearchModel : public QObject
{
    Q_OBJECT

    CharFinder finder;

private Q_SLOTS:
    void model()
    {
        CharSearchModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);

        model.setResult(finder.find(u"euro sign"));
        QCOMPARE(model.index(0, CharSearchModel::CharacterColumn).data().toString(), u"\u20AC");
        QCOMPARE(model.index(0, CharSearchModel::CodeColumn).data().toString(), u"20AC");
        QCOMPARE(model.index(0, CharSearchModel::NameColumn).data().toString(), u"EURO SIGN");
        QCOMPARE(model.index(0, CharSearchModel::NameColumn).data(Qt::ToolTipRole).toString(), u"U+20AC EURO SIGN");
        QCOMPARE(model.index(0, CharSearchModel::CodeColumn).data(CharSearchModel::CodeRole).toInt(), 0x20AC);
        QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsSelectable);

        model.setResult(finder.find(u"U+0301"));
        QCOMPARE(model.index(0, CharSearchModel::CharacterColumn).data().toString(), u"\u25CC\u0301");
        QCOMPARE(model.index(0, CharSearchModel::CodeColumn).data().toString(), u"0301");

        model.setResult(finder.find(u"xyzzy"));
        QVERIFY(model.isNotice());
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, 0).data().toString(), u"nothing found");
        QCOMPARE(model.index(0, 0).data(Qt::ToolTipRole).toString(), u"nothing found");
        QCOMPARE(model.flags(model.index(0, 0)), Qt::NoItemFlags);
        QVERIFY(!model.index(0, 0).data(CharSearchModel::CodeRole).isValid());

        model.setResult({});
        QCOMPARE(model.rowCount(), 0);
    }
};

TAVO_TEST(TestCharSearchModel)
#include "tst_charsearchmodel.moc"
