#include "chartablewindow.h"
#include "editorwindow.h"
#include "fakedialogs.h"
#include "keyboardpanel.h"
#include "keyboardtest.h"
#include "testregistry.h"

#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include <memory>

// The ISO key's cell in the real window: shown on demand or when used, edited like any key,
// saved and loaded.
class TestIsoKey : public QObject
{
    Q_OBJECT

    FakeDialogs dialogs;
    std::unique_ptr<TForm1> editor;
    QTemporaryDir dir;

    KeyCell *isoCell() const { return Child<KeyCell>(editor.get(), QStringLiteral("isoKeyCell")); }
    // The left Shift label.
    KeyCell *leftShift() const { return KeyCellOf(editor.get(), KeyCount + 3); }
    void clickIsoCell()
    {
        QTest::mouseClick(Child<QWidget>(editor.get(), QStringLiteral("Panel1")), Qt::LeftButton, {},
                          isoCell()->geometry().center());
    }
    // Opens the ISO key for editing and picks a character of the grid for Norm.
    void putOnIsoKey(int code)
    {
        QTimer::singleShot(0, editor.get(), [this, code] {
            TForm2 *table = editor->findChild<TForm2 *>();
            QVERIFY(table && table->isVisible());
            auto *grid = Child<QTableView>(table, QStringLiteral("TntSG1"));
            ClickCell(grid, IndexOfCode(grid->model(), code));
            ClickButton(Child<QPushButton>(table, QStringLiteral("Button1")));
        });
        clickIsoCell();
        QCoreApplication::processEvents();
    }
    void useIsoKey()
    {
        KeyByNumber(KeyTable, IsoKey).norm_char = QStringLiteral("<");
        KeyByNumber(KeyTable, IsoKey).norm_code = QStringLiteral("003C");
        editor->showIsoKey(true);
    }

private Q_SLOTS:
    void init()
    {
        dialogs.yesNoAnswers.clear();
        dialogs.yesNoQuestions.clear();
        editor = std::make_unique<TForm1>();
        QVERIFY(ShowOnScreen(editor.get()));
    }
    void cleanup() { editor.reset(); }

    void showEditSaveLoad()
    {
        QVERIFY(!isoCell()->isVisible());
        const QRect longShift = leftShift()->geometry();
        // A press where the cell would be is the long Shift's.
        QCOMPARE(Child<KeyboardPanel>(editor.get(), QStringLiteral("Panel1"))->cellAt(isoCell()->geometry().center()),
                 leftShift());

        TriggerMenuItem(editor.get(), "isokey1");
        QVERIFY(isoCell()->isVisible());
        QVERIFY(Child<QAction>(editor.get(), QStringLiteral("menu_isokey1"))->isChecked());
        QVERIFY(leftShift()->geometry().right() < isoCell()->geometry().left());
        QCOMPARE(leftShift()->geometry().left(), longShift.left());

        putOnIsoKey(0x3C);
        QCOMPARE(KeyByNumber(KeyTable, IsoKey).norm_char, u"<");
        QVERIFY(isoCell()->caption().endsWith(u"<"));
        QVERIFY(isoCell()->hint().contains(u"OEM_102"));

        const QString path = dir.filePath(QStringLiteral("iso.ukb"));
        dialogs.filePaths.push_back(path);
        TriggerMenuItem(editor.get(), "saveukb1");

        editor = std::make_unique<TForm1>();
        QVERIFY(!isoCell()->isVisible());
        editor->LoadUkbFile(path);
        QVERIFY(isoCell()->isVisible());
        QVERIFY(isoCell()->caption().endsWith(u"<"));
        // Undoing the load brings back the layout without the key, and the window without it.
        editor->undoStack()->undo();
        QVERIFY(!isoCell()->isVisible());
        QCOMPARE(leftShift()->geometry(), longShift);
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
        useIsoKey();
        dialogs.yesNoAnswers.push_back(yes);
        TriggerMenuItem(editor.get(), "isokey1");
        QCOMPARE(dialogs.yesNoQuestions.size(), 1);
        QCOMPARE(isoCell()->isVisible(), !yes);
        QCOMPARE(Child<QAction>(editor.get(), QStringLiteral("isokey1"))->isChecked(), !yes);
        QCOMPARE(IsoKeyUsed(KeyTable), !yes);
        if (yes) {
            editor->undoStack()->undo();
            QVERIFY(isoCell()->isVisible());
            QCOMPARE(KeyByNumber(KeyTable, IsoKey).norm_char, u"<");
        }
    }
};

TAVO_TEST(TestIsoKey)
#include "tst_isokey.moc"
