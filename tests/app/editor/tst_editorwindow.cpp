// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "fakedialogs.h"
#include "keycell.h"
#include "keyboardtest.h"
#include "keyhint.h"
#include "testregistry.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

namespace {


} // namespace

class TestEditorWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm1> form;

    template <typename T>
    T *child(const char *name) const { return Child<T>(form.get(), QString::fromLatin1(name)); }
    KeyCell *cell(int number) const { return KeyCellOf(form.get(), number); }
    void click(const char *name) { ClickButton(child<QAbstractButton>(name)); }
    // Which of RB10..RB35 are checked, as a string such as "RB10".
    QString checkedRadios() const
    {
        QStringList checked;
        for (const char *name : {"RB10", "RB15", "RB20", "RB25", "RB30", "RB35"}) {
            if (form->findChild<QRadioButton *>(QString::fromLatin1(name))->isChecked())
                checked << QString::fromLatin1(name);
        }
        return checked.join(u',');
    }
    void fillSampleKey()
    {
        s_key &key = KeyByNumber(KeyTable, 14);
        key.norm_char = QStringLiteral("\u0439");
        key.shift_char = QStringLiteral("\u0419");
        key.altgr_char = QStringLiteral("q");
        key.altgr_shift_char = QStringLiteral("Q");
        key.ctrl_char = QStringLiteral("c");
        key.ctrl_shift_char = QStringLiteral("C");
        key.caps = QStringLiteral("1");
        s_key &other = KeyByNumber(KeyTable, 2);
        other.norm_char = QStringLiteral("1");
        other.shift_char = QStringLiteral("!");
        form->RefreshKeys();
    }

private Q_SLOTS:
    void init()
    {
        form = std::make_unique<TForm1>();
        QVERIFY(ShowOnScreen(form.get()));
    }
    void cleanup() { form.reset(); }

    void window()
    {
        QCOMPARE(form->windowTitle(), u"Tavo 1.2");
        QCOMPARE(form->objectName(), u"Form1");
        // The picture's 570 by 304 under the menu bar.
        const int bar = form->menuBar()->height();
        QVERIFY(bar > 0);
        QCOMPARE(form->size(), QSize(570, 304 + bar));
        QCOMPARE(form->minimumSize(), QSize(570, 304 + bar));
        QCOMPARE(form->maximumSize(), QSize(570, 304 + bar));
        QVERIFY(form->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(child<QWidget>("Panel1")->geometry(), QRect(0, bar, 570, 304));
    }

    void startsBlankWithDefaults()
    {
        for (int number = 1; number <= KeyCount; ++number) {
            QCOMPARE(cell(number)->caption(), CellBreak);  // Shift over Norm, both empty
            QVERIFY(cell(number)->hint().isEmpty());
            QVERIFY(cell(number)->toolTip().isEmpty());
        }
        QCOMPARE(KeyByNumber(KeyTable, 48).norm_code, u"0020");
        QCOMPARE(checkedRadios(), u"RB10");
        QVERIFY(child<QCheckBox>("CB10")->isChecked());
        QVERIFY(!child<QCheckBox>("CB20")->isChecked());
    }

    void cellGeometry_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QColor>("colour");
        const QColor silver(192, 192, 192), sky(166, 202, 240), money(192, 220, 192),
            aqua(0, 255, 255), cream(255, 251, 240);
        const QColor info = QPalette().color(QPalette::ToolTipBase);
        QTest::newRow("key 1") << 1 << QRect(45, 15, 31, 37) << silver;
        QTest::newRow("key 2") << 2 << QRect(78, 15, 31, 37) << sky;
        QTest::newRow("key 4") << 4 << QRect(144, 15, 31, 37) << info;
        QTest::newRow("key 5") << 5 << QRect(177, 15, 31, 37) << money;
        QTest::newRow("key 6") << 6 << QRect(210, 15, 31, 37) << aqua;
        QTest::newRow("key 13") << 13 << QRect(441, 15, 31, 37) << aqua;
        QTest::newRow("key 14") << 14 << QRect(90, 57, 31, 37) << sky;
        QTest::newRow("key 25") << 25 << QRect(453, 57, 31, 37) << aqua;
        QTest::newRow("key 26 is wider") << 26 << QRect(486, 57, 40, 37) << silver;
        QTest::newRow("key 27") << 27 << QRect(102, 99, 31, 37) << sky;
        QTest::newRow("key 37") << 37 << QRect(432, 99, 31, 37) << aqua;
        QTest::newRow("key 38") << 38 << QRect(123, 141, 31, 37) << sky;
        QTest::newRow("key 45") << 45 << QRect(354, 141, 31, 37) << info;
        QTest::newRow("key 46") << 46 << QRect(387, 141, 31, 37) << money;
        QTest::newRow("key 47") << 47 << QRect(420, 141, 31, 37) << aqua;
        QTest::newRow("space bar") << 48 << QRect(180, 183, 202, 37) << cream;
    }

    void cellGeometry()
    {
        QFETCH(int, number);
        QFETCH(QRect, geometry);
        QFETCH(QColor, colour);
        KeyCell *c = cell(number);
        QVERIFY(c);
        QCOMPARE(c->geometry(), geometry);
        QCOMPARE(c->colour(), colour);
        QCOMPARE(c->font().family(), u"Courier New");
        QCOMPARE(c->font().pixelSize(), 13);
        QVERIFY(c->font().bold());
    }

    void coloursOfEveryCell()
    {
        // Every key cell has one of the six colours, and each colour group has its size.
        QMap<QRgb, int> counts;
        for (int number = 1; number <= KeyCount; ++number)
            ++counts[cell(number)->colour().rgb()];
        QCOMPARE(counts.value(qRgb(192, 192, 192)), 2);
        QCOMPARE(counts.value(qRgb(166, 202, 240)), 13);
        QCOMPARE(counts.value(qRgb(192, 220, 192)), 8);
        QCOMPARE(counts.value(qRgb(0, 255, 255)), 16);
        QCOMPARE(counts.value(qRgb(255, 251, 240)), 1);
    }

    void fixedKeyLabels_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Tab") << 49 << "Tab" << QRect(45, 57, 41, 37);
        QTest::newRow("CLock") << 50 << "CLock" << QRect(45, 99, 53, 37);
        QTest::newRow("left Shift") << 51 << "Shift" << QRect(45, 141, 74, 37);
        QTest::newRow("Backspace") << 52 << "<--" << QRect(477, 15, 49, 37);
        QTest::newRow("Enter") << 53 << "Enter" << QRect(468, 99, 61, 37);
        QTest::newRow("right Shift") << 54 << "Shift" << QRect(456, 141, 73, 37);
        QTest::newRow("left Ctrl") << 55 << "Ctrl" << QRect(45, 183, 50, 37);
        QTest::newRow("Alt") << 56 << "Alt" << QRect(126, 183, 46, 37);
        QTest::newRow("Alt Gr") << 57 << "Alt Gr" << QRect(393, 183, 46, 37);
        QTest::newRow("right Ctrl") << 58 << "Ctrl" << QRect(480, 180, 49, 37);
    }

    void fixedKeyLabels()
    {
        QFETCH(int, number);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        KeyCell *label = cell(number);
        QVERIFY(label);
        QCOMPARE(label->caption(), caption);
        QCOMPARE(label->geometry(), geometry);
        QCOMPARE(label->bevel(), QFrame::Sunken);
        QVERIFY(label->hint().isEmpty());
    }

    void shiftStateGroup()
    {
        auto *group = child<QGroupBox>("GroupBox1");
        QCOMPARE(group->title(), u"Shift State");
        QCOMPARE(group->geometry(), QRect(45, 231, 373, 61));
        const struct { const char *name; const char *caption; QPoint pos; } controls[] = {
            {"RB15", "Shift", {18, 18}},       {"RB10", "Norm", {18, 36}},
            {"RB25", "AltGr - Shift", {96, 18}}, {"RB20", "Alt Gr", {96, 36}},
            {"RB35", "Ctrl - Shift", {189, 18}}, {"RB30", "Ctrl", {189, 36}},
            {"CB20", "Caps Lock", {285, 18}},  {"CB10", "Double", {285, 36}},
        };
        for (const auto &control : controls) {
            auto *button = child<QAbstractButton>(control.name);
            QCOMPARE(button->parentWidget(), group);
            QCOMPARE(button->text(), QString::fromLatin1(control.caption));
            QCOMPARE(button->pos(), control.pos);
        }
    }

    void popupMenu()
    {
        auto *menu = child<QMenu>("PM1");
        QStringList names, captions;
        for (QAction *action : menu->actions()) {
            names << action->objectName();
            captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QCOMPARE(names, (QStringList{"loadukb1", "saveukb1", "N1", "saveasXML1",
                                     "saveaslayout3041", "saveasklc1", "saveasxkb1",
                                     "saveassvg1", "saveaspng1", "saveaspdf1", "importsystemlayout1",
                                     "importklc1", "NTry", "trylayout1", "installforuser1", "uninstall1",
                                     "NIso", "isokey1"}));
        QCOMPARE(captions, (QStringList{"load   *.ukb", "save  *.ukb", "-", "save as   *.layout",
                                        "save as   *.layout (new)", "save as   *.klc",
                                        "save as   *.xkb", "save as   *.svg", "save as   *.png",
                                        "save as   *.pdf", "import   system layout", "import   *.klc",
                                        "-", "try", "install for this user", "uninstall",
                                        "-", "ISO key"}));
    }

    void viewsFollowTheClicks()
    {
        fillSampleKey();
        QCOMPARE(cell(14)->caption(), QStringLiteral("\u0419") + CellBreak + QStringLiteral("\u0439"));

        click("RB20");  // Double stays: the AltGr pair
        QCOMPARE(cell(14)->caption(), QStringLiteral("Q") + CellBreak + QStringLiteral("q"));
        click("RB35");
        QCOMPARE(cell(14)->caption(), QStringLiteral("C") + CellBreak + QStringLiteral("c"));
        click("RB30");  // either Ctrl button shows the same pair
        QCOMPARE(cell(14)->caption(), QStringLiteral("C") + CellBreak + QStringLiteral("c"));

        click("CB10");  // Double off: the single Ctrl view
        QCOMPARE(cell(14)->caption(), QStringLiteral(" ") + CellBreak + QStringLiteral("c"));
        click("RB25");
        QCOMPARE(cell(14)->caption(), u"Q");
        QCOMPARE(cell(2)->caption(), QString());
    }

    void capsLockClearsRadiosAndDouble()
    {
        fillSampleKey();
        click("CB20");
        QVERIFY(child<QCheckBox>("CB20")->isChecked());
        QVERIFY(!child<QCheckBox>("CB10")->isChecked());
        QCOMPARE(checkedRadios(), QString());
        QCOMPARE(cell(14)->caption(), u"\u0419");            // caps "1": Shift character
        QCOMPARE(cell(2)->caption(), QStringLiteral(" ") + CellBreak + QStringLiteral("1"));   // otherwise Norm below a blank

        // Unticking Caps Lock leaves every cell blank: no radio button is checked.
        click("CB20");
        QCOMPARE(cell(14)->caption(), QString());
        QCOMPARE(cell(2)->caption(), QString());
    }

    void radioUnticksCapsLock()
    {
        fillSampleKey();
        click("CB20");
        click("RB15");
        QVERIFY(!child<QCheckBox>("CB20")->isChecked());
        QVERIFY(!child<QCheckBox>("CB10")->isChecked());  // Double went with Caps Lock
        QCOMPARE(checkedRadios(), u"RB15");
        QCOMPARE(cell(14)->caption(), u"\u0419");
        QCOMPARE(cell(2)->caption(), u"!");
    }

    void doubleUnticksCapsLock()
    {
        fillSampleKey();
        click("CB20");
        click("CB10");
        QVERIFY(child<QCheckBox>("CB10")->isChecked());
        QVERIFY(!child<QCheckBox>("CB20")->isChecked());
        QCOMPARE(checkedRadios(), QString());
        QCOMPARE(cell(14)->caption(), QString());  // no state chosen: blank
    }

    void clickingTheCheckedRadioKeepsIt()
    {
        click("RB10");
        QCOMPARE(checkedRadios(), u"RB10");
    }

    void programmaticChangesRunTheHandlers()
    {
        fillSampleKey();
        child<QCheckBox>("CB20")->setChecked(true);
        QCOMPARE(checkedRadios(), QString());
        QCOMPARE(cell(14)->caption(), u"\u0419");
        child<QRadioButton>("RB20")->setChecked(true);
        QVERIFY(!child<QCheckBox>("CB20")->isChecked());
        QCOMPARE(cell(14)->caption(), QStringLiteral(" ") + CellBreak + QStringLiteral("q"));
    }

    void keysDoNothing()
    {
        fillSampleKey();
        const QString before = cell(14)->caption();
        for (Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Delete})
            QTest::keyClick(form.get(), key);
        QVERIFY(form->isVisible());
        QCOMPARE(cell(14)->caption(), before);
        QCOMPARE(checkedRadios(), u"RB10");
    }

    void pressesReachTheCellUnderThePointer_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("key 1 left") << 1 << Qt::LeftButton;
        QTest::newRow("key 26 right") << 26 << Qt::RightButton;
        QTest::newRow("key 47 middle") << 47 << Qt::MiddleButton;
        QTest::newRow("space bar") << 48 << Qt::LeftButton;
    }

    void pressesReachTheCellUnderThePointer()
    {
        QFETCH(int, number);
        QFETCH(Qt::MouseButton, button);
        QSignalSpy pressed(cell(number), &KeyCell::mousePressed);
        QSignalSpy neighbour(cell(number == 1 ? 2 : number - 1), &KeyCell::mousePressed);
        // A press on a key opens the character table; it is closed again at once.
        QTimer::singleShot(0, form.get(), [] {
            if (QWidget *table = QApplication::activeModalWidget())
                table->close();
        });
        ClickKeyCell(form.get(), number, button);
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed.at(0).at(0).value<Qt::MouseButton>(), button);
        QCOMPARE(neighbour.size(), 0);
    }

    void pressesBetweenCellsReachNoCell()
    {
        QSignalSpy one(cell(1), &KeyCell::mousePressed);
        QSignalSpy two(cell(2), &KeyCell::mousePressed);
        // The two-pixel gap between keys 1 and 2.
        QTest::mouseClick(child<QWidget>("Panel1"), Qt::LeftButton, {}, QPoint(77, 30));
        QCOMPARE(one.size() + two.size(), 0);
    }

    void hintAppearsOverItsCell()
    {
        cell(5)->setHint(BuildKeyHint(KeyByNumber(KeyTable, 5)));
        auto *panel = child<QWidget>("Panel1");
        const QPoint pos = cell(5)->geometry().center();
        QHelpEvent help(QEvent::ToolTip, pos, panel->mapToGlobal(pos));
        QCoreApplication::sendEvent(panel, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), cell(5)->toolTip());
        QVERIFY(QToolTip::text().contains(QStringLiteral("VK_4")));

        // A cell without a hint shows none.
        const QPoint other = cell(6)->geometry().center();
        QHelpEvent none(QEvent::ToolTip, other, panel->mapToGlobal(other));
        QCoreApplication::sendEvent(panel, &none);
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    void hintShowsNineLines()
    {
        s_key &key = KeyByNumber(KeyTable, 2);
        key.norm_char = QStringLiteral("<");
        key.shift_char = QStringLiteral("&&");
        cell(2)->setHint(BuildKeyHint(key));
        const QString tip = cell(2)->toolTip();
        QCOMPARE(tip.count(QStringLiteral("<br>")), 8);
        QVERIFY(tip.contains(QStringLiteral("white-space:pre")));
        QVERIFY(tip.contains(QStringLiteral("&lt;")));
        QVERIFY(tip.contains(QStringLiteral("&amp;&amp;")));
        QVERIFY(!tip.contains(QStringLiteral("\n\r")));
    }
};

TAVO_TEST(TestEditorWindow)
#include "tst_editorwindow.moc"
