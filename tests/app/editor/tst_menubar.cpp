// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartablewindow.h"
#include "editorwindow.h"
#include "fakedialogs.h"
#include "keyboardtest.h"
#include "recentfiles.h"
#include "testregistry.h"

#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include <memory>

namespace {

const QString MenuBarData = QStringLiteral(TAVO_TEST_DATA);

// Records the URLs the desktop was asked to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

} // namespace

class TestMenuBar : public QObject
{
    Q_OBJECT

    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;

    QAction *action(const char *name) const { return Child<QAction>(form.get(), QString::fromLatin1(name)); }
    // The recent files as File > Open Recent lists them.
    QStringList recentMenu() const
    {
        auto *menu = Child<QMenu>(form.get(), QStringLiteral("menuRecent"));
        Q_EMIT menu->aboutToShow();
        QStringList paths;
        for (QAction *item : menu->actions()) {
            if (!item->isSeparator() && item->objectName().isEmpty())
                paths << item->text();
        }
        return paths;
    }
    // Edits key N through the character table: its normal character becomes text.
    void editKey(int number, const QString &text)
    {
        QTimer::singleShot(0, form.get(), [this, text] {
            TForm2 *table = form->charTable();
            KeyEdit edit = table->keyEdit();
            edit.chars[0] = text;
            edit.codes[0] = QStringLiteral("%1").arg(text.at(0).unicode(), 4, 16, QLatin1Char('0')).toUpper();
            table->setKeyEdit(edit);
            table->accept();
        });
        ClickKeyCell(form.get(), number);
    }

private Q_SLOTS:
    void init()
    {
        RecentFiles::clear();
        form = std::make_unique<TForm1>();
        QVERIFY(ShowOnScreen(form.get()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup() { form.reset(); }

    void fourMenus()
    {
        QStringList titles;
        for (QAction *menu : form->menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Layout", "&Help"}));
    }

    // Each popup item has a menu bar item that triggers it, and so runs its handler; the
    // KLC export has its own, which asks where to save.
    void everyPopupItemOnTheMenuBar()
    {
        for (QAction *popupItem : Child<QMenu>(form.get(), QStringLiteral("PM1"))->actions()) {
            if (popupItem->isSeparator() || popupItem->objectName() == u"saveasklc1")
                continue;
            auto *item = form->menuBar()->findChild<QAction *>(QStringLiteral("menu_") + popupItem->objectName());
            QVERIFY2(item, qPrintable(popupItem->objectName()));
            QSignalSpy triggered(popupItem, &QAction::triggered);
            item->trigger();
            QCOMPARE(triggered.size(), 1);
        }
        // The queued handlers go with the window, unrun.
    }

    void shortcuts_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("Open") << "menu_loadukb1" << QKeySequence(QStringLiteral("Ctrl+O"));
        QTest::newRow("Save") << "actionSave" << QKeySequence(QStringLiteral("Ctrl+S"));
        QTest::newRow("Save As") << "menu_saveukb1" << QKeySequence(QStringLiteral("Ctrl+Shift+S"));
        QTest::newRow("Quit") << "actionQuit" << QKeySequence(QStringLiteral("Ctrl+Q"));
        QTest::newRow("Find Character") << "actionFindCharacter" << QKeySequence(QStringLiteral("Ctrl+F"));
        QTest::newRow("Try") << "menu_trylayout1" << QKeySequence(QStringLiteral("Ctrl+T"));
        QTest::newRow("Handbook") << "actionHandbook" << QKeySequence(Qt::Key_F1);
    }
    // From wherever the focus is in the window.
    void shortcuts()
    {
        QFETCH(QString, item);
        QFETCH(QKeySequence, keys);
        QSignalSpy triggered(Child<QAction>(form.get(), item), &QAction::triggered);
        Child<QWidget>(form.get(), QStringLiteral("RB25"))->setFocus();
        QTest::keySequence(form.get(), keys);
        QCOMPARE(triggered.size(), 1);
    }

    // Three edits and an import, undone by Ctrl+Z back to the file as loaded, and redone.
    void undoAndRedoWholeLayouts()
    {
        form->LoadUkbFile(MenuBarData + QStringLiteral("/ukb/sample-utf8.ukb"));
        const KeyTableArray loaded = KeyTable;
        const QString hint = KeyCellOf(form.get(), 14)->hint();
        editKey(14, QStringLiteral("x"));
        editKey(15, QStringLiteral("y"));
        editKey(16, QStringLiteral("z"));
        QVERIFY(form->isLayoutModified());
        dialogs.saveChangesAnswers = {SaveChangesAnswer::Discard};
        dialogs.filePaths = {MenuBarData + QStringLiteral("/golden/edge.klc")};
        TriggerMenuItem(form.get(), "importklc1");
        const KeyTableArray imported = KeyTable;
        QVERIFY(imported != loaded);
        QCOMPARE(form->undoStack()->count(), 5);  // the load, three edits, the import

        QWidget *panel = Child<QWidget>(form.get(), QStringLiteral("Panel1"));
        for (int i = 0; i < 4; ++i)
            QTest::keySequence(panel, QKeySequence(QStringLiteral("Ctrl+Z")));
        QVERIFY(KeyTable == loaded);
        QCOMPARE(KeyCellOf(form.get(), 14)->hint(), hint);
        QVERIFY(!form->isLayoutModified());
        for (int i = 0; i < 4; ++i)
            QTest::keySequence(panel, QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
        QVERIFY(KeyTable == imported);
        QVERIFY(form->isLayoutModified());
    }

    void saveWritesTheFileOfTheLayout()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mine.ukb"));
        QFile::copy(MenuBarData + QStringLiteral("/ukb/sample-utf8.ukb"), path);
        form->LoadUkbFile(path);
        editKey(14, QStringLiteral("x"));
        const qsizetype asked = dialogs.fileDialogs.size();
        form->saveUkbToCurrentFile();
        QCOMPARE(dialogs.fileDialogs.size(), asked);
        QVERIFY(!form->isLayoutModified());
        form->LoadUkbFile(path);
        QCOMPARE(KeyByNumber(KeyTable, 14).norm_char, u"x");
    }

    // Newest first, ten at most, a gone file leaves the list with a message, Clear List.
    void recentFiles()
    {
        const QString utf8 = MenuBarData + QStringLiteral("/ukb/sample-utf8.ukb");
        const QString lf = MenuBarData + QStringLiteral("/ukb/sample-lf.ukb");
        form->LoadUkbFile(utf8);
        form->LoadUkbFile(lf);
        form->LoadUkbFile(utf8);
        QCOMPARE(recentMenu(), (QStringList{utf8, lf}));
        for (int i = 0; i < 12; ++i)
            RecentFiles::add(QStringLiteral("/nowhere/%1.ukb").arg(i));
        QCOMPARE(RecentFiles::files().size(), RecentFiles::MaxCount);
        QCOMPARE(RecentFiles::files().constFirst(), u"/nowhere/11.ukb");

        form->openRecentFile(QStringLiteral("/nowhere/11.ukb"));
        QVERIFY(dialogs.messages.constLast().contains(u"/nowhere/11.ukb no longer exists"));
        QVERIFY(!RecentFiles::files().contains(u"/nowhere/11.ukb"));
        action("actionClearRecent")->trigger();
        QVERIFY(recentMenu().isEmpty());
    }

    void arrowKeysAndEnterOpenAKey()
    {
        QWidget *panel = Child<QWidget>(form.get(), QStringLiteral("Panel1"));
        panel->setFocus();
        QTest::keyClick(panel, Qt::Key_Right);
        QTest::keyClick(panel, Qt::Key_Down);
        QString opened;
        QTimer::singleShot(0, form.get(), [&] {
            opened = form->charTable()->keyEdit().name;
            form->charTable()->reject();
        });
        QTest::keyClick(panel, Qt::Key_Return);
        QCOMPARE(opened, u"Key:  VK_Q");  // from the first key, one right (1) and one down
    }

    void aboutAndHandbook()
    {
        TriggerMenuItem(form.get(), "actionAbout");
        QCOMPARE(dialogs.abouts.size(), 1);
        const QString text = dialogs.abouts[0].second;
        for (const QString &part : {QStringLiteral("Tavo 1.2"), QStringLiteral("General Public License, version 3"),
                                    QStringLiteral("Qt ") + QString::fromLatin1(qVersion()),
                                    QStringLiteral("libxkbcommon 1."), QStringLiteral("ICU ")})
            QVERIFY2(text.contains(part), qPrintable(part));

        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("man"), &catcher, "open");
        TriggerMenuItem(form.get(), "actionHandbook");
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("man"));
        QCOMPARE(catcher.opened.size(), 1);
        QVERIFY(catcher.opened[0].scheme() == u"man" || catcher.opened[0].path().endsWith(u"README.md"));
    }
};

TAVO_TEST(TestMenuBar)
#include "tst_menubar.moc"
