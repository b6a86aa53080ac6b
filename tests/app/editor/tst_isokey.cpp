// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartablewindow.h"
#include "editorwindow.h"
#include "fakedialogs.h"
#include "keyboardtest.h"
#include "testregistry.h"

#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include <memory>

// The ISO key's cell in the real window: shown on demand or when used, edited, saved, loaded.
class TestIsoKey : public QObject
{
    Q_OBJECT

    FakeDialogs dialogs;
    std::unique_ptr<TForm1> editor;

    KeyCell *isoCell() const { return Child<KeyCell>(editor.get(), QStringLiteral("isoKeyCell")); }

private Q_SLOTS:
    void init()
    {
        dialogs.yesNoQuestions.clear();
        editor = std::make_unique<TForm1>();
        QVERIFY(ShowOnScreen(editor.get()));
    }
    void cleanup() { editor.reset(); }

    void showEditSaveLoad()
    {
        QVERIFY(!isoCell()->isVisible());
        TriggerMenuItem(editor.get(), "isokey1");
        QVERIFY(isoCell()->isVisible());
        // Norm gets "<" from the grid.
        QTimer::singleShot(0, editor.get(), [this] {
            auto *grid = Child<QTableView>(editor->findChild<TForm2 *>(), QStringLiteral("TntSG1"));
            ClickCell(grid, IndexOfCode(grid->model(), 0x3C));
            ClickButton(Child<QPushButton>(editor->findChild<TForm2 *>(), QStringLiteral("Button1")));
        });
        QTest::mouseClick(Child<QWidget>(editor.get(), QStringLiteral("Panel1")), Qt::LeftButton, {},
                          isoCell()->geometry().center());
        QCOMPARE(KeyByNumber(KeyTable, IsoKey).norm_char, u"<");

        QTemporaryDir dir;
        dialogs.filePaths.push_back(dir.filePath(QStringLiteral("iso.ukb")));
        TriggerMenuItem(editor.get(), "saveukb1");
        editor = std::make_unique<TForm1>();
        editor->LoadUkbFile(dir.filePath(QStringLiteral("iso.ukb")));
        QVERIFY(isoCell()->isVisible());
        QVERIFY(isoCell()->caption().endsWith(u"<"));
        // Undoing the load brings back the window without the key.
        editor->undoStack()->undo();
        QVERIFY(!isoCell()->isVisible());
    }

    void hidingAUsedKeyAsks_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes clears the key and hides it") << true;
        QTest::newRow("no keeps it shown") << false;
    }
    void hidingAUsedKeyAsks()
    {
        QFETCH(bool, yes);
        KeyByNumber(KeyTable, IsoKey).norm_char = QStringLiteral("<");
        editor->showIsoKey(true);
        dialogs.yesNoAnswers.push_back(yes);
        TriggerMenuItem(editor.get(), "isokey1");
        QCOMPARE(dialogs.yesNoQuestions.size(), 1);
        QCOMPARE(isoCell()->isVisible(), !yes);
        QCOMPARE(Child<QAction>(editor.get(), QStringLiteral("menu_isokey1"))->isChecked(), !yes);
        QCOMPARE(IsoKeyUsed(KeyTable), !yes);
    }
};

TAVO_TEST(TestIsoKey)
#include "tst_isokey.moc"
