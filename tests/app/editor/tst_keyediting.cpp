// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartablemodel.h"
#include "chartablewindow.h"
#include "characterfield.h"
#include "editorwindow.h"
#include "fakedialogs.h"
#include "keyboardtest.h"
#include "keyhint.h"
#include "keyviews.h"
#include "testregistry.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTableView>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>

namespace {


// What the character table showed while it was open.
struct Shown {
    bool opened = false;
    QString name;
    QStringList chars;
    QStringList codes;
    bool caps = false;
};

} // namespace

class TestKeyEditing : public QObject
{
    Q_OBJECT

    FakeDialogs dialogs;
    std::unique_ptr<TForm1> editor;

    template <typename T>
    T *editorChild(const QString &name) const { return Child<T>(editor.get(), name); }
    template <typename T>
    T *tableChild(const QString &name) const { return Child<T>(table(), name); }
    // The editor's character table, once a key edit made it.
    TForm2 *table() const { return editor->findChild<TForm2 *>(); }
    bool tableShown() const { return table() && table()->isVisible(); }
    KeyCell *cell(int number) const { return KeyCellOf(editor.get(), number); }
    QTableView *grid() const { return tableChild<QTableView>(QStringLiteral("TntSG1")); }

    Shown readTable() const
    {
        Shown shown;
        shown.opened = tableShown();
        if (!shown.opened)
            return shown;
        shown.name = tableChild<QLabel>(QStringLiteral("Label7"))->text();
        for (int state = 1; state <= 6; ++state) {
            shown.chars << tableChild<CharacterField>(QStringLiteral("TntLabel%1").arg(state))->text();
            shown.codes << tableChild<QLabel>(QStringLiteral("Label%1").arg(state))->text();
        }
        shown.caps = tableChild<QCheckBox>(QStringLiteral("CB1"))->isChecked();
        return shown;
    }
    void selectState(int state)
    {
        QTest::mouseClick(tableChild<CharacterField>(QStringLiteral("TntLabel%1").arg(state)), Qt::LeftButton);
    }
    void pickCode(int code) { ClickCell(grid(), IndexOfCode(grid()->model(), code)); }
    void pressOk() { ClickButton(tableChild<QPushButton>(QStringLiteral("Button1"))); }
    void pressEscape() { QTest::keyClick(grid(), Qt::Key_Escape); }

    // Presses a mouse button on key cell N; actions run inside the character table's modal
    // loop, which is closed with -1 if they leave it open. Returns what the table showed.
    Shown editKey(int number, const std::function<void()> &actions,
                  Qt::MouseButton button = Qt::LeftButton)
    {
        Shown shown;
        QTimer::singleShot(0, editor.get(), [&] {
            shown = readTable();
            if (!shown.opened)
                return;
            actions();
            if (table()->isVisible())
                table()->done(-1);
        });
        ClickKeyCell(editor.get(), number, button);
        QCoreApplication::processEvents();  // a key that opened nothing still runs the timer
        return shown;
    }

    // Presses and releases a button at a point of the editor the way the window system
    // delivers it: through the editor's window, which sends a right press's context-menu
    // event once the press has been handled, that is after the character table's modal loop
    // returned. Actions run while the table is open, as in editKey.
    Shown pressOnEditor(QPoint pos, Qt::MouseButton button, const std::function<void()> &actions)
    {
        Shown shown;
        QTimer poll;
        poll.setInterval(1);
        connect(&poll, &QTimer::timeout, editor.get(), [&] {
            if (!tableShown())
                return;
            poll.stop();
            shown = readTable();
            actions();
            if (table()->isVisible())
                table()->done(-1);
        });
        poll.start();
        QTest::mouseClick(editor->windowHandle(), button, {}, pos);
        QCoreApplication::processEvents();
        return shown;
    }
    // The centre of key cell N in the editor window, below its menu bar.
    QPoint cellCentre(int number) const
    {
        return editorChild<QWidget>(QStringLiteral("Panel1"))->mapTo(editor.get(), cell(number)->geometry().center());
    }

    void fillKey14()
    {
        s_key &key = KeyByNumber(KeyTable, 14);  // VK_Q
        key.norm_char = QStringLiteral("\u0439");
        key.norm_code = QStringLiteral("0439");
        key.shift_char = QStringLiteral("\u0419");
        key.shift_code = QStringLiteral("0419");
        key.altgr_char = QStringLiteral("q");
        key.altgr_code = QStringLiteral("0071");
        key.altgr_shift_char = QStringLiteral("Q");
        key.altgr_shift_code = QStringLiteral("0051");
        key.caps = QStringLiteral("1");
        editor->RefreshKeys();
    }

private Q_SLOTS:
    void init()
    {
        dialogs.fonts.clear();
        editor = std::make_unique<TForm1>();
        QVERIFY(ShowOnScreen(editor.get()));
    }
    void cleanup()
    {
        editor.reset();
    }

    void opensWithTheKeysValues()
    {
        fillKey14();
        const Shown shown = editKey(14, [this] { pressEscape(); });
        QVERIFY(shown.opened);
        QCOMPARE(shown.name, u"Key:  VK_Q");
        QCOMPARE(shown.chars, (QStringList{QStringLiteral("\u0439"), QStringLiteral("\u0419"),
                                           QStringLiteral("q"), QStringLiteral("Q"), QString(), QString()}));
        QCOMPARE(shown.codes, (QStringList{QStringLiteral("0439"), QStringLiteral("0419"),
                                           QStringLiteral("0071"), QStringLiteral("0051"), QString(), QString()}));
        QVERIFY(shown.caps);
        QVERIFY(!table()->isVisible());
        // Made by that first edit as the editor's child, which it stays above and goes with.
        QCOMPARE(editor->findChildren<TForm2 *>(), QList<TForm2 *>{editor->charTable()});
    }

    void anyButtonOpens_data()
    {
        QTest::addColumn<int>("number");  // the key cell or label pressed; 0: a bare spot of the panel
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("opened");  // the name line the table showed; empty: not opened
        QTest::addColumn<bool>("menu");
        QTest::newRow("left on key 1") << 1 << int(Qt::LeftButton) << "Key:  VK_OEM_3" << false;
        QTest::newRow("right on key 14") << 14 << int(Qt::RightButton) << "Key:  VK_Q" << false;
        QTest::newRow("right on key 26") << 26 << int(Qt::RightButton) << "Key:  VK_OEM_5" << false;
        QTest::newRow("middle on key 47") << 47 << int(Qt::MiddleButton) << "Key:  VK_OEM_2" << false;
        QTest::newRow("left on the space bar") << 48 << int(Qt::LeftButton) << QString() << false;
        QTest::newRow("right on the space bar") << 48 << int(Qt::RightButton) << QString() << true;
        QTest::newRow("right on the Tab label") << 49 << int(Qt::RightButton) << QString() << true;
        QTest::newRow("right between the keys") << 0 << int(Qt::RightButton) << QString() << true;
    }
    // A press on a key opens the key whatever the button, and nothing else: the popup menu
    // belongs to the rest of the panel.
    void anyButtonOpens()
    {
        QFETCH(int, number);
        QFETCH(int, button);
        QFETCH(QString, opened);
        QFETCH(bool, menu);
        const QPoint pos = number > 0 ? cellCentre(number)
                                      : editorChild<QWidget>(QStringLiteral("Panel1"))->mapTo(editor.get(), QPoint(10, 10));
        auto *popup = editorChild<QMenu>(QStringLiteral("PM1"));
        const auto hide = qScopeGuard([popup] { popup->hide(); });
        const Shown shown = pressOnEditor(pos, Qt::MouseButton(button), [this] { pressEscape(); });
        QCOMPARE(shown.opened, !opened.isEmpty());
        QCOMPARE(shown.name, opened);
        QVERIFY(!tableShown());
        QCOMPARE(popup->isVisible(), menu);
    }

    void doubleClickOnAKeyPicksNothing_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("samePlace");
        QTest::addColumn<QString>("normal");
        QTest::newRow("within the double-click interval") << 60000 << true << QString();
        QTest::newRow("after the double-click interval") << 0 << true << QStringLiteral("k");
        QTest::newRow("a quick press elsewhere is the user's") << 60000 << false << QStringLiteral("k");
    }
    // The first press on key W opens the table over the editor; the second press of the
    // double click lands on the grid, where it must not pick.
    void doubleClickOnAKeyPicksNothing()
    {
        QFETCH(int, interval);
        QFETCH(bool, samePlace);
        QFETCH(QString, normal);
        QStyleHints *hints = QGuiApplication::styleHints();
        const int saved = hints->mouseDoubleClickInterval();
        const auto restore = qScopeGuard([hints, saved] { hints->setMouseDoubleClickInterval(saved); });
        hints->setMouseDoubleClickInterval(interval);

        const QPoint pressed = editor->mapToGlobal(cellCentre(15));
        const Shown shown = pressOnEditor(cellCentre(15), Qt::LeftButton, [&] {
            const QModelIndex k = IndexOfCode(grid()->model(), 'k');
            grid()->scrollTo(k);
            // The table moved so that the grid's "k" lies under the pointer, or away from it.
            const QPoint kAt = grid()->viewport()->mapToGlobal(grid()->visualRect(k).center());
            table()->move(table()->pos() + (pressed - kAt) + (samePlace ? QPoint() : QPoint(0, 60)));
            const QPoint onGrid = grid()->viewport()->mapTo(table(), grid()->visualRect(k).center());
            QTest::mouseClick(table()->windowHandle(), Qt::LeftButton, {}, onGrid);
            pressOk();
        });
        QCOMPARE(shown.name, u"Key:  VK_W");
        QCOMPARE(KeyByNumber(KeyTable, 15).norm_char, normal);
    }

    void fullEditInTheAltGrView()
    {
        fillKey14();
        // The single AltGr view: Double off, then Alt Gr.
        ClickButton(editorChild<QCheckBox>(QStringLiteral("CB10")));
        ClickButton(editorChild<QRadioButton>(QStringLiteral("RB20")));
        const QString otherBefore = cell(15)->caption();
        QCOMPARE(cell(14)->caption(), QStringLiteral(" ") + CellBreak + QStringLiteral("q"));

        dialogs.fonts.push_back(QFont(QStringLiteral("Liberation Sans"), 10));
        editKey(14, [this] {
            ClickButton(tableChild<QRadioButton>(QStringLiteral("RB22")));  // UCS-2
            selectState(3);
            pickCode(0xE9);
            selectState(6);
            pickCode(0x20AC);
            ClickButton(tableChild<QCheckBox>(QStringLiteral("CB1")));  // caps off
            pressOk();
        });

        const s_key &key = KeyByNumber(KeyTable, 14);
        QCOMPARE(key.altgr_char, u"\u00E9");
        QCOMPARE(key.altgr_code, u"00E9");
        QCOMPARE(key.ctrl_shift_char, u"\u20AC");
        QCOMPARE(key.ctrl_shift_code, u"20AC");
        QCOMPARE(key.norm_char, u"\u0439");
        QCOMPARE(key.caps, u"0");
        // The cell is drawn in the view the group shows, not as Shift over Norm.
        QCOMPARE(cell(14)->caption(), QStringLiteral(" ") + CellBreak + QStringLiteral("\u00E9"));
        QCOMPARE(cell(15)->caption(), otherBefore);
        QCOMPARE(cell(14)->hint(), BuildKeyHint(key));
        QVERIFY(cell(14)->hint().contains(QStringLiteral("\u20AC")));
        QVERIFY(editor->isLayoutModified());
    }

    void okWithoutPicks()
    {
        s_key &key = KeyByNumber(KeyTable, 5);
        key.norm_char = QStringLiteral(" 4\t");
        key.norm_code = QStringLiteral(" 0034 ");
        QVERIFY(key.caps.isEmpty());
        editKey(5, [this] { pressOk(); });
        QCOMPARE(key.caps, u"0");
        QCOMPARE(key.norm_char, u"4");
        QCOMPARE(key.norm_code, u"0034");
        QVERIFY(key.shift_char.isEmpty());  // the fresh field's blank is trimmed away
        QCOMPARE(cell(5)->caption(), CellBreak + QStringLiteral("4"));
        QCOMPARE(cell(5)->hint(), BuildKeyHint(key));
        QVERIFY(!cell(5)->hint().isEmpty());
        QVERIFY(editor->isLayoutModified());
    }

    void unchangedKeyIsNotAModification()
    {
        s_key &key = KeyByNumber(KeyTable, 20);
        key.caps = QStringLiteral("1");
        key.norm_char = QStringLiteral("y");
        key.norm_code = QStringLiteral("0079");
        editKey(20, [this] { pressOk(); });
        QVERIFY(!editor->isLayoutModified());
        QCOMPARE(cell(20)->hint(), BuildKeyHint(key));

        editKey(20, [this] { pickCode('z'); pressOk(); });
        QCOMPARE(key.norm_char, u"z");
        QVERIFY(editor->isLayoutModified());
    }

    void ampersandReachesTheKey()
    {
        editKey(8, [this] { selectState(2); pickCode('&'); pressOk(); });
        const s_key &key = KeyByNumber(KeyTable, 8);
        QCOMPARE(key.shift_char, u"&&");
        QCOMPARE(key.shift_code, u"0026");
        QCOMPARE(SplitCaption(cell(8)->caption()).upper, u"&");
    }

    void cancelDiscards_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Escape") << false;
        QTest::newRow("close box") << true;
    }
    void cancelDiscards()
    {
        QFETCH(bool, closeBox);
        fillKey14();
        const s_key before = KeyByNumber(KeyTable, 14);
        const QString caption = cell(14)->caption();
        const QString hint = cell(14)->hint();
        editKey(14, [&] {
            pickCode('x');
            selectState(4);
            QTest::mouseClick(tableChild<CharacterField>(QStringLiteral("TntLabel2")), Qt::RightButton);
            ClickButton(tableChild<QCheckBox>(QStringLiteral("CB1")));
            if (closeBox)
                table()->close();
            else
                pressEscape();
        });
        QCOMPARE(KeyByNumber(KeyTable, 14), before);
        QCOMPARE(cell(14)->caption(), caption);
        QCOMPARE(cell(14)->hint(), hint);
        QVERIFY(!editor->isLayoutModified());

        const Shown again = editKey(14, [this] { pressEscape(); });
        QCOMPARE(again.chars.at(0), u"\u0439");
        QCOMPARE(again.codes.at(0), u"0439");
        QCOMPARE(again.chars.at(1), u"\u0419");
        QVERIFY(again.caps);
        // The selected state survives a cancel.
        QVERIFY(tableChild<QRadioButton>(QStringLiteral("RB4"))->isChecked());
    }

    void okSelectsNormalForTheNextEdit()
    {
        editKey(3, [this] { selectState(5); pickCode('c'); pressOk(); });
        QCOMPARE(KeyByNumber(KeyTable, 3).ctrl_char, u"c");
        editKey(4, [this] { pickCode('d'); pressOk(); });
        QCOMPARE(KeyByNumber(KeyTable, 4).norm_char, u"d");
        QVERIFY(KeyByNumber(KeyTable, 4).ctrl_char.isEmpty());
    }

    void eachEditFillsEveryField()
    {
        // Values of one key never leak into the next opened key.
        fillKey14();
        editKey(14, [this] { pressEscape(); });
        const Shown shown = editKey(15, [this] { pressEscape(); });
        QCOMPARE(shown.name, u"Key:  VK_W");
        for (int i = 0; i < 6; ++i) {
            QVERIFY(shown.chars.at(i).isEmpty());
            QVERIFY(shown.codes.at(i).isEmpty());
        }
        QVERIFY(!shown.caps);
    }

    // Mark a state dead, fill its table from Unicode, confirm: the key shows it, one undo
    // step takes it back, and the .ukb file keeps it.
    void deadKeyFromTheCharacterTable()
    {
        fillKey14();
        KeyByNumber(KeyTable, 16).altgr_char = QStringLiteral("e");
        editKey(14, [this] {
            table()->SearchEditPick(0x00B4);
            // The popup's "dead key" shows the box, which the key without dead keys hid.
            QVERIFY(!table()->isDeadKeyBoxShown());
            tableChild<QAction>(QStringLiteral("deadkey1"))->trigger();
            QVERIFY(tableChild<QCheckBox>(QStringLiteral("DeadCheck"))->isChecked());
            ClickButton(tableChild<QPushButton>(QStringLiteral("DeadFill")));
            pressOk();
        });
        const std::optional<DeadKey> dead = DeadOf(KeyByNumber(KeyTable, 14), ShiftState::Norm);
        QVERIFY(dead && dead->pairs.contains(DeadPair{QStringLiteral("e"), QStringLiteral("\u00E9")}));
        QVERIFY(cell(14)->deadLines().lower && !cell(14)->deadLines().upper);
        QVERIFY(cell(14)->hint().contains(u"e\u2192\u00E9"));
        TriggerMenuItem(editor.get(), "actionUndo");
        QVERIFY(!DeadOf(KeyByNumber(KeyTable, 14), ShiftState::Norm) && !cell(14)->deadLines().lower);
        TriggerMenuItem(editor.get(), "actionRedo");

        QTemporaryDir dir;
        dialogs.filePaths = {dir.filePath(QStringLiteral("dead.ukb")), dir.filePath(QStringLiteral("dead.ukb"))};
        TriggerMenuItem(editor.get(), "saveukb1");
        DeadOf(KeyByNumber(KeyTable, 14), ShiftState::Norm).reset();
        TriggerMenuItem(editor.get(), "loadukb1");
        QCOMPARE(DeadOf(KeyByNumber(KeyTable, 14), ShiftState::Norm), dead);
        QVERIFY(dialogs.errors.isEmpty());
    }
};

TAVO_TEST(TestKeyEditing)
#include "tst_keyediting.moc"
