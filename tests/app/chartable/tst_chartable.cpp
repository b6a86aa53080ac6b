// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartablemodel.h"
#include "chartablewindow.h"
#include "characterfield.h"
#include "fakedialogs.h"
#include "testregistry.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

#include <functional>
#include <memory>

class TestCharTable : public QObject
{
    Q_OBJECT

    FakeDialogs dialogs;
    std::unique_ptr<TForm2> form;

    template <typename T>
    T *child(const QString &name) const { return Child<T>(form.get(), name); }
    QTableView *grid() const { return child<QTableView>(QStringLiteral("TntSG1")); }
    CharacterField *charField(int state) const
    {
        return child<CharacterField>(QStringLiteral("TntLabel%1").arg(state));
    }
    QLabel *codeField(int state) const { return child<QLabel>(QStringLiteral("Label%1").arg(state)); }
    QRadioButton *stateButton(int state) const
    {
        return child<QRadioButton>(QStringLiteral("RB%1").arg(state));
    }
    // "character|code" of a state, for compact comparisons.
    QString fields(int state) const
    {
        return charField(state)->text() + u'|' + codeField(state)->text();
    }

    void clickIndex(const QModelIndex &index, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers modifiers = {})
    {
        ClickCell(grid(), index, button, modifiers);
    }
    void clickCode(int code, Qt::KeyboardModifiers modifiers = {})
    {
        clickIndex(IndexOfCode(grid()->model(), code), Qt::LeftButton, modifiers);
    }
    // Runs the window modally; actions act on it from inside the modal loop. A window
    // that the actions leave open is closed with -1, so a failure cannot hang the test.
    int execWith(const std::function<void()> &actions)
    {
        QTimer::singleShot(0, form.get(), [this, actions] {
            actions();
            if (form->isVisible())
                form->done(-1);
        });
        return form->exec();
    }
    void fillFields()
    {
        KeyEdit edit;
        edit.name = QStringLiteral("Key:  VK_Q");
        edit.chars = {QStringLiteral("q"), QStringLiteral("Q"), QStringLiteral("\u0439"),
                      QStringLiteral("\u0419"), QStringLiteral("c"), QStringLiteral("C")};
        edit.codes = {QStringLiteral("0071"), QStringLiteral("0051"), QStringLiteral("0439"),
                      QStringLiteral("0419"), QStringLiteral("0063"), QStringLiteral("0043")};
        form->setKeyEdit(edit);
    }

private Q_SLOTS:
    void init()
    {
        dialogs.fonts.clear();
        dialogs.fontDialogInitialFonts.clear();
        form = std::make_unique<TForm2>();
        QVERIFY(ShowOnScreen(form.get()));
    }
    void cleanup() { form.reset(); }

    void window()
    {
        QCOMPARE(form->objectName(), u"Form2");
        QCOMPARE(form->windowTitle(), u"CharTable");
        QCOMPARE(form->size(), QSize(857, 419));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->windowType(), Qt::Tool);
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("RB1") << "RB1" << "normal";
        QTest::newRow("RB2") << "RB2" << "Shift";
        QTest::newRow("RB3") << "RB3" << "AltGr";
        QTest::newRow("RB4") << "RB4" << "AltGr - Shift";
        QTest::newRow("RB5") << "RB5" << "Ctrl";
        QTest::newRow("RB6") << "RB6" << "Ctrl - Shift";
        QTest::newRow("CB1") << "CB1" << "Caps Lock";
        QTest::newRow("RB11") << "RB11" << " Default ";
        QTest::newRow("RB22") << "RB22" << " UCS-2 ";
        QTest::newRow("Button1") << "Button1" << "OK";
    }
    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QCOMPARE(child<QAbstractButton>(name)->text(), caption);
    }

    void controls()
    {
        auto *charset = child<QGroupBox>(QStringLiteral("GB2"));
        QCOMPARE(charset->title(), u"Font && Charset");  // shown with one ampersand
        QCOMPARE(child<QRadioButton>(QStringLiteral("RB11"))->parentWidget(), charset);
        QCOMPARE(child<QRadioButton>(QStringLiteral("RB22"))->parentWidget(), charset);
        QVERIFY(child<QRadioButton>(QStringLiteral("RB11"))->isChecked());

        auto *name = child<QLabel>(QStringLiteral("Label7"));
        QVERIFY(name->font().bold());
        QCOMPARE(name->font().pixelSize(), 16);

        // The three pairs, shifted state above the plain one, left to right.
        for (int state = 1; state <= 6; ++state) {
            CharacterField *field = charField(state);
            QCOMPARE(field->size(), QSize(25, 28));
            QCOMPARE(field->palette().color(field->backgroundRole()), QColor(255, 251, 240));
            QVERIFY(field->font().bold());
            QCOMPARE(field->text(), u" ");
            QVERIFY(codeField(state)->text().isEmpty());
        }
        for (int pair = 0; pair < 3; ++pair) {
            const int lower = 2 * pair + 1, upper = 2 * pair + 2;
            QVERIFY(charField(upper)->y() < charField(lower)->y());
            QCOMPARE(charField(upper)->x(), charField(lower)->x());
            if (pair > 0)
                QVERIFY(charField(lower)->x() > charField(lower - 2)->x());
        }
        QVERIFY(stateButton(1)->isChecked());

        auto *copyright = child<QLabel>(QStringLiteral("Label8"));
        QCOMPARE(copyright->parentWidget(), form.get());
        QVERIFY(!copyright->text().isEmpty());
    }

    void startGrid()
    {
        QTableView *view = grid();
        QCOMPARE(view->size(), QSize(826, 190));
        QCOMPARE(view->model()->rowCount(), 7);
        QCOMPARE(view->model()->columnCount(), 32);
        QCOMPARE(view->columnWidth(0), 24);
        QCOMPARE(view->rowHeight(0), 25);
        QVERIFY(!view->horizontalHeader()->isVisible());
        QVERIFY(!view->verticalHeader()->isVisible());
        QCOMPARE(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view->model()->index(0, 0).data().toString(), u" ");
        QCOMPARE(view->model()->index(6, 31).data().toString(), u"\u044F");
        // About seven rows fit: all seven rows and not eight.
        QVERIFY(view->viewport()->height() >= 7 * 25);
        QVERIFY(view->viewport()->height() < 8 * 25);
        QVERIFY(!view->verticalScrollBar()->isVisible());

        clickIndex(view->model()->index(5, 0));  // code 192 in windows-1251
        QCOMPARE(fields(1), u"\u0410|0410");
    }

    void blankCellClears()
    {
        fillFields();
        clickCode(32);
        QCOMPARE(fields(1), u"|");
        QCOMPARE(fields(2), u"Q|0051");
    }

    void ampersand()
    {
        clickCode(0x26);
        QCOMPARE(charField(1)->text(), u"&&");
        QCOMPARE(charField(1)->shownText(), u"&");
        QCOMPARE(codeField(1)->text(), u"0026");
        QCOMPARE(form->keyEdit().chars[0], u"&&");
    }

    void pickGoesToSelectedStateOnly()
    {
        fillFields();
        ClickButton(stateButton(3));
        QVERIFY(!stateButton(1)->isChecked());
        QVERIFY(child<QRadioButton>(QStringLiteral("RB11"))->isChecked());  // a group of its own
        clickCode('x');
        QCOMPARE(fields(3), u"x|0078");
        const QString untouched[] = {QStringLiteral("q|0071"), QStringLiteral("Q|0051"), {}, QStringLiteral("\u0419|0419"), QStringLiteral("c|0063"), QStringLiteral("C|0043")};
        for (int state : {1, 2, 4, 5, 6})
            QCOMPARE(fields(state), untouched[state - 1]);
    }

    void clickingTheCurrentCellPicksAgain()
    {
        clickCode('!');
        QCOMPARE(fields(1), u"!|0021");
        QTest::mouseClick(charField(1), Qt::RightButton);
        QCOMPARE(fields(1), u"|");
        clickCode('!');
        QCOMPARE(fields(1), u"!|0021");
    }

    void arrowKeysPick_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Right") << int(Qt::Key_Right) << "#|0023";
        QTest::newRow("Left") << int(Qt::Key_Left) << "!|0021";
        QTest::newRow("Down") << int(Qt::Key_Down) << "B|0042";
        QTest::newRow("Up from the first row stays and picks nothing") << int(Qt::Key_Up) << "\"|0022";
    }
    void arrowKeysPick()
    {
        QFETCH(int, key);
        QFETCH(QString, expected);
        clickCode('"');
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key(key));
        QCOMPARE(fields(1), expected);
    }

    void keysThatDoNotMoveDoNotPick()
    {
        clickCode('"');
        ClickButton(stateButton(2));
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Right, Qt::ShiftModifier);  // extends the range
        QTest::keyClick(grid(), Qt::Key_A);                         // no jump to "A"
        QTest::keyClick(grid(), Qt::Key_Tab);                       // leaves the grid
        QCOMPARE(fields(2), u" |");
    }

    void shiftClickOnlyExtends()
    {
        clickCode('!');
        clickCode('Z', Qt::ShiftModifier);
        QCOMPARE(fields(1), u"!|0021");
        QVERIFY(grid()->selectionModel()->selectedIndexes().size() > 1);
    }

    void dragOnlyExtends()
    {
        QTableView *view = grid();
        const QPoint from = view->visualRect(IndexOfCode(view->model(), 'a')).center();
        const QPoint to = view->visualRect(IndexOfCode(view->model(), 'z')).center();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QCOMPARE(fields(1), u"a|0061");  // the press picks the cell it starts on
        QTest::mouseMove(view->viewport(), to);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(fields(1), u"a|0061");
        QVERIFY(view->selectionModel()->selectedIndexes().size() > 1);
    }

    void otherButtonsOnTheGridPickNothing()
    {
        clickCode('!');
        clickIndex(IndexOfCode(grid()->model(), 'Z'), Qt::RightButton);
        clickIndex(IndexOfCode(grid()->model(), 'Z'), Qt::MiddleButton);
        QCOMPARE(fields(1), u"!|0021");
    }

    void characterFieldButtons()
    {
        fillFields();
        QTest::mouseClick(charField(2), Qt::RightButton);
        QCOMPARE(fields(2), u"|");
        QCOMPARE(fields(1), u"q|0071");
        QVERIFY(stateButton(1)->isChecked());  // a right click selects nothing

        QTest::mouseClick(charField(5), Qt::MiddleButton);
        QCOMPARE(fields(5), u"c|0063");
        QVERIFY(stateButton(1)->isChecked());

        QTest::mouseClick(charField(4), Qt::LeftButton);
        QCOMPARE(fields(4), u"\u0419|0419");
        QVERIFY(stateButton(4)->isChecked());
        QVERIFY(stateButton(4)->hasFocus());
        clickCode('@');
        QCOMPARE(fields(4), u"@|0040");
        QCOMPARE(fields(1), u"q|0071");
    }

    void escapeCancels_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Escape in the grid") << false;
        QTest::newRow("close box") << true;
    }
    void escapeCancels()
    {
        QFETCH(bool, closeBox);
        form->hide();
        fillFields();
        const int result = execWith([&] {
            ClickButton(stateButton(6));
            clickCode('%');
            if (closeBox)
                form->close();
            else
                QTest::keyClick(grid(), Qt::Key_Escape);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!form->isVisible());
        QVERIFY(stateButton(6)->isChecked());  // a cancel keeps the selected state
    }

    void escapeFromAnyControl()
    {
        form->hide();
        const int result = execWith([&] { QTest::keyClick(child<QCheckBox>(QStringLiteral("CB1")), Qt::Key_Escape); });
        QCOMPARE(result, int(QDialog::Rejected));
    }

    void enterDoesNotClose()
    {
        form->hide();
        bool openAfterEnter = false;
        const int result = execWith([&] {
            QTest::keyClick(grid(), Qt::Key_Return);
            openAfterEnter = form->isVisible();
        });
        QVERIFY(openAfterEnter);
        QCOMPARE(result, -1);
    }

    void okResetsTheSelection()
    {
        form->hide();
        const int result = execWith([&] {
            ClickButton(stateButton(5));
            clickCode('c');
            ClickButton(child<QPushButton>(QStringLiteral("Button1")));
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!form->isVisible());
        QVERIFY(stateButton(1)->isChecked());
        QCOMPARE(fields(5), u"c|0063");
    }

    void ucs2()
    {
        QFont chosen(QStringLiteral("Liberation Serif"), 20);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        dialogs.fonts.push_back(chosen);
        ClickButton(child<QRadioButton>(QStringLiteral("RB22")));

        QCOMPARE(dialogs.fontDialogInitialFonts.size(), 1);
        QCOMPARE(dialogs.fontDialogInitialFonts[0].family(), u"MS Sans Serif");
        QCOMPARE(dialogs.fontDialogInitialFonts[0].pointSize(), 8);

        QTableView *view = grid();
        QCOMPARE(view->model()->rowCount(), 2047);
        QCOMPARE(view->font().family(), u"Liberation Serif");
        QCOMPARE(view->font().pointSize(), 20);
        QCOMPARE(view->columnWidth(0), 24);
        QCOMPARE(view->rowHeight(2046), 25);
        for (int state = 1; state <= 6; ++state) {
            const QFont font = charField(state)->font();
            QCOMPARE(font.family(), u"Liberation Serif");
            QCOMPARE(font.pointSize(), 12);
            QVERIFY(font.bold());
            QVERIFY(!font.italic());
            QVERIFY(!font.underline());
        }
        QCOMPARE(codeField(1)->font().pointSize(), 8);
        QCOMPARE(child<QLabel>(QStringLiteral("Label7"))->font().pixelSize(), 16);

        clickIndex(view->model()->index(2046, 31));
        QCOMPARE(fields(1), QString(QChar(0xFFFF)) + QStringLiteral("|FFFF"));
        QCOMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());

        clickCode(0xE9);
        QCOMPARE(fields(1), u"\u00E9|00E9");
        clickCode(192);  // the Latin-1 letter, not the windows-1251 one
        QCOMPARE(fields(1), u"\u00C0|00C0");
        clickCode(0x410);
        QCOMPARE(fields(1), u"\u0410|0410");
    }

    void backToDefault()
    {
        dialogs.fonts.push_back(QFont(QStringLiteral("Liberation Sans"), 10));
        dialogs.fonts.push_back(QFont(QStringLiteral("Liberation Mono"), 9));
        ClickButton(child<QRadioButton>(QStringLiteral("RB22")));
        clickIndex(grid()->model()->index(3, 4));
        ClickButton(child<QRadioButton>(QStringLiteral("RB11")));
        QCOMPARE(dialogs.fontDialogInitialFonts.size(), 2);
        QCOMPARE(dialogs.fontDialogInitialFonts[1].family(), u"Liberation Sans");  // the last choice
        QCOMPARE(grid()->model()->rowCount(), 7);
        QCOMPARE(grid()->model()->index(5, 0).data().toString(), u"\u0410");
        QCOMPARE(grid()->currentIndex(), grid()->model()->index(3, 4));
        QCOMPARE(grid()->font().family(), u"Liberation Mono");
    }

    void cancelledFontDialogChangesNothing()
    {
        const QFont gridFont = grid()->font();
        const QFont fieldFont = charField(1)->font();
        ClickButton(child<QRadioButton>(QStringLiteral("RB22")));  // no font queued: cancel
        QCOMPARE(dialogs.fontDialogInitialFonts.size(), 1);
        QVERIFY(child<QRadioButton>(QStringLiteral("RB22"))->isChecked());
        QCOMPARE(grid()->model()->rowCount(), 7);
        QCOMPARE(grid()->model()->index(5, 0).data().toString(), u"\u0410");
        QCOMPARE(grid()->font(), gridFont);
        QCOMPARE(charField(1)->font(), fieldFont);
        clickCode(192);
        QCOMPARE(fields(1), u"\u0410|0410");
    }

    void gridSurvivesReopening()
    {
        dialogs.fonts.push_back(QFont(QStringLiteral("Liberation Sans"), 10));
        ClickButton(child<QRadioButton>(QStringLiteral("RB22")));
        form->hide();
        execWith([&] {
            clickIndex(grid()->model()->index(1500, 7));
            QTest::keyClick(grid(), Qt::Key_Escape);
        });
        execWith([&] { ClickButton(child<QPushButton>(QStringLiteral("Button1"))); });
        QCOMPARE(grid()->model()->rowCount(), 2047);
        QCOMPARE(grid()->currentIndex(), grid()->model()->index(1500, 7));
        QCOMPARE(grid()->font().family(), u"Liberation Sans");
        QVERIFY(child<QRadioButton>(QStringLiteral("RB22"))->isChecked());
    }

    void fieldsRoundTrip()
    {
        KeyEdit edit;
        edit.name = QStringLiteral("Key:  VK_OEM_3");
        edit.chars = {QStringLiteral("&&"), QStringLiteral(" \u00E9 "), QString(QChar(0xD800)),
                      QStringLiteral("<b>"), QString(), QStringLiteral("\U0001F600")};
        edit.codes = {QStringLiteral("0026"), QStringLiteral("00e9"), QStringLiteral("D800"),
                      QStringLiteral("003C"), QString(), QStringLiteral("x")};
        edit.caps = true;
        form->setKeyEdit(edit);
        QCOMPARE(child<QLabel>(QStringLiteral("Label7"))->text(), u"Key:  VK_OEM_3");
        QCOMPARE(charField(4)->shownText(), u"<b>");  // plain text, never markup
        QVERIFY(child<QCheckBox>(QStringLiteral("CB1"))->isChecked());
        QCOMPARE(form->keyEdit(), edit);
    }

    void deadKeyPairsEditedAndPicked()
    {
        fillFields();
        KeyEdit edit = form->keyEdit();
        edit.dead[1] = DeadKey{QStringLiteral("dead_acute"), {{QStringLiteral("a"), QStringLiteral("\u00E1")}}};
        form->setKeyEdit(edit);
        // A key with a dead state shows the box right of the other controls.
        QVERIFY(form->isDeadKeyBoxShown());
        QCOMPARE(form->size(), QSize(1095, 419));
        auto *dead = child<QCheckBox>(QStringLiteral("DeadCheck"));
        auto *pairs = child<QTableWidget>(QStringLiteral("DeadPairs"));
        QVERIFY(!dead->isChecked() && !pairs->isEnabled());
        ClickButton(stateButton(2));
        QVERIFY(dead->isChecked());
        // A new row takes a grid pick as its base, then a search pick as its result; the
        // state's own field stays. A typed text keeps its first character.
        ClickButton(child<QPushButton>(QStringLiteral("DeadAdd")));
        clickCode(0x26);
        form->SearchEditPick(0x00E9);
        QCOMPARE(fields(2), u"Q|0051");
        pairs->item(0, 0)->setText(QStringLiteral("ox"));
        // Another state: picks go to its field again; a ticked box starts an empty table.
        ClickButton(stateButton(1));
        clickCode('z');
        QCOMPARE(fields(1), u"z|007A");
        ClickButton(dead);

        const KeyEdit stored = form->keyEdit();
        QCOMPARE(stored.dead[0], std::optional(DeadKey{}));
        const QList<DeadPair> expected = {{u"o"_qs, u"\u00E1"_qs}, {u"&"_qs, u"\u00E9"_qs}};
        QCOMPARE(stored.dead[1], std::optional(DeadKey{QStringLiteral("dead_acute"), expected}));
        QVERIFY(!stored.dead[2]);
    }
};

TAVO_TEST(TestCharTable)
#include "tst_chartable.moc"
