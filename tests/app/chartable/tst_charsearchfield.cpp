// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "charsearchfield.h"
#include "charsearchmodel.h"
#include "chartablewindow.h"
#include "characterfield.h"
#include "fakedialogs.h"
#include "testregistry.h"
#include "windowtest.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeView>

#include <algorithm>
#include <memory>

class TestCharSearchField : public QObject
{
    Q_OBJECT

    FakeDialogs dialogs;
    std::unique_ptr<TForm2> form;

    template <typename T>
    T *child(const QString &name) const { return Child<T>(form.get(), name); }
    CharSearchField *searchEdit() const { return child<CharSearchField>(QStringLiteral("SearchEdit")); }
    QTreeView *list() const { return child<QTreeView>(QStringLiteral("SearchList")); }
    QTableView *grid() const { return child<QTableView>(QStringLiteral("TntSG1")); }
    // "character|code" of a state.
    QString fields(int state) const
    {
        return child<CharacterField>(QStringLiteral("TntLabel%1").arg(state))->text() + u'|'
            + child<QLabel>(QStringLiteral("Label%1").arg(state))->text();
    }
    // Types ASCII key by key; anything else arrives in one key event, as a paste or an
    // input method gives it.
    void type(const QString &text)
    {
        searchEdit()->setFocus();
        if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
            QTest::keyClicks(searchEdit(), text);
        else
            QTest::sendKeyEvent(QTest::Click, searchEdit(), Qt::Key_unknown, text, Qt::NoModifier);
    }

private Q_SLOTS:
    void init()
    {
        dialogs.fonts.clear();
        form = std::make_unique<TForm2>();
        QVERIFY(ShowOnScreen(form.get()));
    }
    void cleanup() { form.reset(); }

    void fieldInTheFreeRoom()
    {
        CharSearchField *edit = searchEdit();
        QVERIFY(!edit->placeholderText().isEmpty());
        QVERIFY(edit->isVisible());
        QCOMPARE(form->size(), QSize(857, 419));
        // Right of the name line, above the grid, inside the window.
        const QRect field(edit->mapTo(form.get(), QPoint()), edit->size());
        const QLabel *name = child<QLabel>(QStringLiteral("Label7"));
        QVERIFY(field.left() >= name->mapTo(form.get(), QPoint()).x() + name->width());
        QVERIFY(field.bottom() < grid()->mapTo(form.get(), QPoint()).y());
        QVERIFY(form->rect().contains(field));
        QVERIFY(!edit->finder().isIndexed());  // opening the window reads no names
    }

    void focusReadsTheNamesBeforeTheFirstKey()
    {
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        searchEdit()->setFocus(Qt::MouseFocusReason);
        QVERIFY(!searchEdit()->finder().isIndexed());  // not while the focus is being drawn
        QCoreApplication::processEvents();
        QVERIFY(searchEdit()->finder().isIndexed());
    }

    void nameIntoAltGr()
    {
        KeyEdit edit;
        edit.chars = {QStringLiteral("q"), QStringLiteral("Q"), QString(), QString(), QString(), QString()};
        edit.codes = {QStringLiteral("0071"), QStringLiteral("0051"), QString(), QString(), QString(), QString()};
        form->setKeyEdit(edit);
        ClickButton(child<QRadioButton>(QStringLiteral("RB3")));
        type(QStringLiteral("byelorussian-ukrainian small i"));
        QVERIFY(list()->isVisible());
        QCOMPARE(list()->currentIndex().row(), 0);
        QCOMPARE(list()->currentIndex().data(CharSearchModel::CodeRole).toInt(), 0x456);
        QTest::keyClick(searchEdit(), Qt::Key_Return);
        QCOMPARE(fields(3), u"\u0456|0456");
        QCOMPARE(fields(1), u"q|0071");
        QCOMPARE(fields(2), u"Q|0051");
        QVERIFY(!list()->isVisible());
        QVERIFY(searchEdit()->hasFocus());
        // windows-1251 shows it in the " Default " grid, at byte B3.
        QCOMPARE(grid()->currentIndex(), IndexOfCode(grid()->model(), 0xB3));
    }

    void codeInDefault_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("cell");  // -1: the grid shows no such cell
        QTest::newRow("U+ code of a sign at byte 88") << "u+20ac" << "\u20AC|20AC" << 0x88;
        QTest::newRow("0x code of a letter at byte C0") << "0x0410" << "\u0410|0410" << 0xC0;
        QTest::newRow("bare code of the ampersand") << "0026" << "&&|0026" << 0x26;
        QTest::newRow("code the code page lacks") << "U+00E9" << "\u00E9|00E9" << -1;
    }
    void codeInDefault()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(int, cell);
        const QModelIndex before = grid()->currentIndex();
        type(text);
        QTest::keyClick(searchEdit(), Qt::Key_Enter);
        QCOMPARE(fields(1), expected);
        const QModelIndex current = grid()->currentIndex();
        QCOMPARE(current, cell < 0 ? before : IndexOfCode(grid()->model(), cell));
        QVERIFY(grid()->selectionModel()->isSelected(current));
    }

    void ucs2GridScrollsToTheCell()
    {
        dialogs.fonts.push_back(QFont(QStringLiteral("Liberation Sans"), 10));
        ClickButton(child<QRadioButton>(QStringLiteral("RB22")));
        type(QStringLiteral("cjk unified ideograph-4e00"));
        QTest::keyClick(searchEdit(), Qt::Key_Return);
        QCOMPARE(fields(1), u"\u4E00|4E00");
        const QModelIndex cell = IndexOfCode(grid()->model(), 0x4E00);
        QCOMPARE(grid()->currentIndex(), cell);
        QVERIFY(grid()->viewport()->rect().contains(grid()->visualRect(cell)));
    }

    void arrowsMoveAndClickPicks()
    {
        type(QStringLiteral("cyr small i"));
        const QAbstractItemModel *rows = list()->model();
        QTest::keyClick(searchEdit(), Qt::Key_Down);
        QTest::keyClick(searchEdit(), Qt::Key_Down);
        QTest::keyClick(searchEdit(), Qt::Key_Up);
        QCOMPARE(list()->currentIndex().row(), 1);
        QTest::keyClick(searchEdit(), Qt::Key_Return);
        const int second = rows->index(1, 0).data(CharSearchModel::CodeRole).toInt();
        QCOMPARE(fields(1), QString(QChar(second)) + u'|' + QStringLiteral("%1").arg(second, 4, 16, QLatin1Char('0')).toUpper());

        QTest::keyClick(searchEdit(), Qt::Key_Down);  // opens the list again
        QVERIFY(list()->isVisible());
        const QModelIndex third = rows->index(2, CharSearchModel::NameColumn);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualRect(third).center());
        QCOMPARE(fields(1).left(1), QString(QChar(third.data(CharSearchModel::CodeRole).toInt())));
        QVERIFY(!list()->isVisible());
        QVERIFY(searchEdit()->hasFocus());
    }

    void beyondSixteenBitsIsPicked()
    {
        type(QStringLiteral("\U00010450"));
        QTest::keyClick(searchEdit(), Qt::Key_Return);
        QCOMPARE(fields(1), u"\U00010450|10450");
        // The widest code is shown whole.
        const QLabel *code = child<QLabel>(QStringLiteral("Label1"));
        QVERIFY(code->fontMetrics().horizontalAdvance(QStringLiteral("10FFFF")) <= code->contentsRect().width());
    }

    void noticeCannotBePicked()
    {
        type(QStringLiteral("U+0378"));
        QVERIFY(list()->isVisible());
        QVERIFY(list()->model()->index(0, 0).data().toString().contains(u"not assigned"));
        QTest::keyClick(searchEdit(), Qt::Key_Return);
        QCOMPARE(fields(1), u" |");
    }

    void escapeClosesTheListFirst()
    {
        QSignalSpy rejected(form.get(), &QDialog::rejected);
        type(QStringLiteral("euro"));
        QVERIFY(list()->isVisible());
        QTest::keyClick(searchEdit(), Qt::Key_Escape);
        QVERIFY(!list()->isVisible());
        QVERIFY(form->isVisible());
        QCOMPARE(rejected.count(), 0);
        QTest::keyClick(searchEdit(), Qt::Key_Escape);
        QVERIFY(!form->isVisible());
        QCOMPARE(rejected.count(), 1);
    }

    void ctrlFFocusesTheField()
    {
        type(QStringLiteral("euro"));
        QVERIFY(list()->isVisible());
        grid()->setFocus();
        QVERIFY(!list()->isVisible());  // leaving the field closed it
        QTest::keyClick(grid(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(searchEdit()->hasFocus());
        QCOMPARE(searchEdit()->selectedText(), u"euro");
    }
};

TAVO_TEST(TestCharSearchField)
#include "tst_charsearchfield.moc"
