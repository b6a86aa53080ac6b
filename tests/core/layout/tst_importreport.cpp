// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "importreport.h"
#include "testregistry.h"

#include <QTest>

class TestImportReport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void groupsAndBoundsEachKind()
    {
        ImportReport report;
        report.add(QStringLiteral("dead key"), QStringLiteral("dead keys"), QStringLiteral("d1"));
        for (int i = 1; i <= ImportReport::MaxDetailsPerKind + 5; ++i)
            report.add(QStringLiteral("skipped row"), QStringLiteral("skipped rows"), QStringLiteral("r%1").arg(i));
        report.add(QStringLiteral("dead key"), QStringLiteral("dead keys"), QStringLiteral("d2"));

        QCOMPARE(report.count(), ImportReport::MaxDetailsPerKind + 7);
        QCOMPARE(report.summary(), QStringList({"2 dead keys", "25 skipped rows"}));
        const QStringList details = report.details();
        QCOMPARE(details.size(), 2 + ImportReport::MaxDetailsPerKind + 1);
        QCOMPARE(details.mid(0, 3), QStringList({"d1", "d2", "r1"}));
        QCOMPARE(details.last(), u"and 5 more skipped rows");
    }
};

TAVO_TEST(TestImportReport)
#include "tst_importreport.moc"
