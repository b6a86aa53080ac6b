#include "chartablemodel.h"
#include "chartablewindow.h"
#include "characterfield.h"
#include "editorwindow.h"
#include "fakedialogs.h"
#include "keyboardtest.h"
#include "keyhint.h"
#include "keyviews.h"
#include "testmain.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString Break = QStringLiteral("\n\r");

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
    std::unique_ptr<TForm2> table;

    template <typename T>
    T *editorChild(const QString &name) const { return Child<T>(editor.get(), name); }
    template <typename T>
    T *tableChild(const QString &name) const { return Child<T>(table.get(), name); }
    KeyCell *cell(int number) const { return KeyCellOf(editor.get(), number); }
    QTableView *grid() const { return tableChild<QTableView>(QStringLiteral("TntSG1")); }

    Shown readTable() const
    {
        Shown shown;
        shown.opened = table->isVisible();
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
        QTimer::singleShot(0, table.get(), [&] {
            shown = readTable();
            if (!shown.opened)
                return;
            actions();
            if (table->isVisible())
                table->done(-1);
        });
        ClickKeyCell(editor.get(), number, button);
        QCoreApplication::processEvents();  // a key that opened nothing still runs the timer
        return shown;
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
        table = std::make_unique<TForm2>();
        editor->setCharTable(table.get());
        QVERIFY(ShowOnScreen(editor.get()));
    }
    void cleanup()
    {
        editor.reset();
        table.reset();
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
        QVERIFY(!table->isVisible());
    }

    void anyButtonOpens_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("name");
        QTest::newRow("left on key 1") << 1 << int(Qt::LeftButton) << true << "Key:  VK_OEM_3";
        QTest::newRow("right on key 26") << 26 << int(Qt::RightButton) << true << "Key:  VK_OEM_5";
        QTest::newRow("middle on key 47") << 47 << int(Qt::MiddleButton) << true << "Key:  VK_OEM_2";
        QTest::newRow("left on the space bar") << 48 << int(Qt::LeftButton) << false << QString();
        QTest::newRow("right on the space bar") << 48 << int(Qt::RightButton) << false << QString();
    }
    void anyButtonOpens()
    {
        QFETCH(int, number);
        QFETCH(int, button);
        QFETCH(bool, opens);
        QFETCH(QString, name);
        const Shown shown = editKey(number, [this] { pressEscape(); }, Qt::MouseButton(button));
        QCOMPARE(shown.opened, opens);
        if (opens)
            QCOMPARE(shown.name, name);
        QVERIFY(!table->isVisible());
    }

    void fullEditInTheAltGrView()
    {
        fillKey14();
        // The single AltGr view: Double off, then Alt Gr.
        ClickButton(editorChild<QCheckBox>(QStringLiteral("CB10")));
        ClickButton(editorChild<QRadioButton>(QStringLiteral("RB20")));
        const QString otherBefore = cell(15)->caption();
        QCOMPARE(cell(14)->caption(), QStringLiteral(" ") + Break + QStringLiteral("q"));

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
        QCOMPARE(cell(14)->caption(), QStringLiteral(" ") + Break + QStringLiteral("\u00E9"));
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
        QCOMPARE(cell(5)->caption(), Break + QStringLiteral("4"));
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
                table->close();
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
};

TAVO_TEST_MAIN(TestKeyEditing)
#include "tst_keyediting.moc"
