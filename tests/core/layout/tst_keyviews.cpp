// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyviews.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"

#include <QTest>

namespace {

// Key 2 holds every state; key 3 has Caps Lock; everything else is empty.
KeyTableArray SampleTable()
{
    KeyTableArray table = DefaultTable();
    s_key &two = KeyByNumber(table, 2);
    two.norm_char = QStringLiteral("n");
    two.shift_char = QStringLiteral("s");
    two.altgr_char = QStringLiteral("a");
    two.altgr_shift_char = QStringLiteral("A");
    two.ctrl_char = QStringLiteral("c");
    two.ctrl_shift_char = QStringLiteral("C");
    two.caps = QStringLiteral("0");
    s_key &three = KeyByNumber(table, 3);
    three.norm_char = QStringLiteral("\u0439");
    three.shift_char = QStringLiteral("\u0419");
    three.caps = QStringLiteral("1");
    return table;
}

const QString Break = QStringLiteral("\n\r");

} // namespace

class TestKeyViews : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showKeys_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("dbl");
        QTest::addColumn<int>("caps");
        QTest::addColumn<QString>("key2");
        QTest::addColumn<QString>("key3");
        QTest::addColumn<QString>("key48");

        const QString blankOver = QStringLiteral(" ") + Break;
        QTest::newRow("all zero clears") << 0 << 0 << 0 << "" << "" << "";
        QTest::newRow("single norm") << 1 << 0 << 0 << blankOver + QStringLiteral("n") << blankOver + QStringLiteral("\u0439") << blankOver;
        QTest::newRow("single shift") << 2 << 0 << 0 << "s" << "\u0419" << "";
        QTest::newRow("single altgr") << 3 << 0 << 0 << blankOver + QStringLiteral("a") << blankOver << blankOver;
        QTest::newRow("single altgr-shift") << 4 << 0 << 0 << "A" << "" << "";
        QTest::newRow("single ctrl") << 5 << 0 << 0 << blankOver + QStringLiteral("c") << blankOver << blankOver;
        QTest::newRow("single ctrl-shift") << 6 << 0 << 0 << "C" << "" << "";
        QTest::newRow("double norm") << 1 << 1 << 0 << QStringLiteral("s") + Break + QStringLiteral("n") << QStringLiteral("\u0419") + Break + QStringLiteral("\u0439") << Break;
        QTest::newRow("double shift, same pair") << 2 << 1 << 0 << QStringLiteral("s") + Break + QStringLiteral("n") << QStringLiteral("\u0419") + Break + QStringLiteral("\u0439") << Break;
        QTest::newRow("double altgr") << 3 << 1 << 0 << QStringLiteral("A") + Break + QStringLiteral("a") << Break << Break;
        QTest::newRow("double altgr-shift") << 4 << 1 << 0 << QStringLiteral("A") + Break + QStringLiteral("a") << Break << Break;
        QTest::newRow("double ctrl") << 5 << 1 << 0 << QStringLiteral("C") + Break + QStringLiteral("c") << Break << Break;
        QTest::newRow("double ctrl-shift") << 6 << 1 << 0 << QStringLiteral("C") + Break + QStringLiteral("c") << Break << Break;
        QTest::newRow("caps view") << 0 << 0 << 1 << blankOver + QStringLiteral("n") << "\u0419" << blankOver;
        QTest::newRow("caps wins over double") << 1 << 1 << 1 << blankOver + QStringLiteral("n") << "\u0419" << blankOver;
    }

    void showKeys()
    {
        QFETCH(int, state);
        QFETCH(int, dbl);
        QFETCH(int, caps);
        QFETCH(QString, key2);
        QFETCH(QString, key3);
        QFETCH(QString, key48);
        const KeyTableArray table = SampleTable();
        KeyCaptions captions;
        captions.fill(QStringLiteral("old"));
        ShowKeys(table, captions, state, dbl, caps);
        QCOMPARE(captions[1], key2);
        QCOMPARE(captions[2], key3);
        QCOMPARE(captions[47], key48);
    }

    void viewsThatDrawNothing_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("dbl");
        QTest::newRow("double with state 0") << 0 << 1;
        QTest::newRow("double with state 7") << 7 << 1;
        QTest::newRow("single with state 7") << 7 << 0;
    }

    void viewsThatDrawNothing()
    {
        QFETCH(int, state);
        QFETCH(int, dbl);
        KeyCaptions captions;
        captions.fill(QStringLiteral("old"));
        ShowKeys(SampleTable(), captions, state, dbl, 0);
        QCOMPARE(captions[1], u"old");
    }

    void refresh_data()
    {
        QTest::addColumn<int>("checked");  // state whose radio button is checked, 0 for none
        QTest::addColumn<bool>("dbl");
        QTest::addColumn<bool>("caps");
        QTest::addColumn<QString>("key2");
        QTest::newRow("norm double") << 1 << true << false << QStringLiteral("s") + Break + QStringLiteral("n");
        QTest::newRow("ctrl double shows the ctrl pair") << 5 << true << false << QStringLiteral("C") + Break + QStringLiteral("c");
        QTest::newRow("altgr single") << 3 << false << false << QStringLiteral(" ") + Break + QStringLiteral("a");
        QTest::newRow("caps lock") << 0 << false << true << QStringLiteral(" ") + Break + QStringLiteral("n");
        QTest::newRow("nothing checked is blank") << 0 << false << false << "";
        QTest::newRow("double, nothing checked is blank") << 0 << true << false << "";
    }

    void refresh()
    {
        QFETCH(int, checked);
        QFETCH(bool, dbl);
        QFETCH(bool, caps);
        QFETCH(QString, key2);
        ShiftStateSelection selection;
        if (checked)
            selection.radioChecked[checked - 1] = true;
        selection.doubleView = dbl;
        selection.capsLockView = caps;
        KeyCaptions captions;
        captions.fill(QStringLiteral("old"));
        RefreshCaptions(SampleTable(), captions, selection);
        QCOMPARE(captions[1], key2);
        QCOMPARE(captions[30], captions[31]);  // empty keys all alike
    }

    void deadLines_data()
    {
        QTest::addColumn<int>("checked");
        QTest::addColumn<bool>("dbl");
        QTest::addColumn<bool>("caps");
        QTest::addColumn<QString>("key2");  // "upper lower", 1 for a dead line
        QTest::addColumn<QString>("key3");
        QTest::newRow("norm double marks the shift line") << 1 << true << false << "1 0" << "1 0";
        QTest::newRow("norm single shows no dead state") << 1 << false << false << "0 0" << "0 0";
        QTest::newRow("altgr single marks the lower line") << 3 << false << false << "0 1" << "0 0";
        QTest::newRow("altgr double") << 4 << true << false << "0 1" << "0 0";
        QTest::newRow("caps lock view: shift of a caps key, norm of others") << 0 << false << true << "0 0" << "1 0";
    }
    void deadLines()
    {
        QFETCH(int, checked);
        QFETCH(bool, dbl);
        QFETCH(bool, caps);
        QFETCH(QString, key2);
        QFETCH(QString, key3);
        KeyTableArray table = SampleTable();
        DeadOf(KeyByNumber(table, 2), ShiftState::Shift) = DeadKey{};
        DeadOf(KeyByNumber(table, 2), ShiftState::AltGr) = DeadKey{};
        DeadOf(KeyByNumber(table, 3), ShiftState::Shift) = DeadKey{};
        ShiftStateSelection selection;
        if (checked)
            selection.radioChecked[checked - 1] = true;
        selection.doubleView = dbl;
        selection.capsLockView = caps;
        const KeyDeadLines lines = DeadCaptionLines(table, selection);
        const auto text = [](CaptionDeadLines line) {
            return QStringLiteral("%1 %2").arg(int(line.upper)).arg(int(line.lower));
        };
        QCOMPARE(text(lines[1]), key2);
        QCOMPARE(text(lines[2]), key3);
    }

    void split_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::newRow("empty") << "" << "" << "";
        QTest::newRow("upper only") << "S" << "S" << "";
        QTest::newRow("pair") << QStringLiteral("S") + Break + QStringLiteral("n") << "S" << "n";
        QTest::newRow("blank over lower") << QStringLiteral(" ") + Break + QStringLiteral("n") << " " << "n";
        QTest::newRow("only the first break splits") << QStringLiteral("a") + Break + QStringLiteral("b") + Break + QStringLiteral("c") << "a" << QStringLiteral("b") + Break + QStringLiteral("c");
        QTest::newRow("CR LF is no break") << "a\r\nb" << "a\r\nb" << "";
        QTest::newRow("doubled ampersand shows one") << QStringLiteral("&&") + Break + QStringLiteral("&&") << "&" << "&";
        QTest::newRow("single ampersand stays") << "&" << "&" << "";
        QTest::newRow("markup stays text") << QStringLiteral("<b>") + Break + QStringLiteral("<") << "<b>" << "<";
    }

    void split()
    {
        QFETCH(QString, caption);
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        QCOMPARE(SplitCaption(caption), (CaptionLines{upper, lower}));
    }
};

TAVO_TEST(TestKeyViews)
#include "tst_keyviews.moc"
