// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "fakedialogs.h"
#include "keyboardtest.h"
#include "keyhint.h"
#include "klcdialog.h"
#include "klcfile.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"
#include "ukbfile.h"
#include "xkbimport.h"
#include "xkblayoutdialog.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <memory>

namespace {

XkbLayoutInfo Layout(const char *layout, const char *variant = "", const char *description = "",
                     QStringList languages = {})
{
    return {QString::fromLatin1(layout), QString::fromLatin1(variant), QString::fromUtf8(description), languages};
}

const QList<XkbLayoutInfo> SomeLayouts = {
    Layout("us", "", "English (US)", {"eng"}),
    Layout("de", "", "German", {"deu"}),
    Layout("de", "neo", "German (Neo 2)", {"deu"}),
    Layout("ru", "", "Russian", {"rus"}),
    Layout("ru", "phonetic", "Russian (phonetic)", {"rus"}),
};

} // namespace

class TestImportMenu : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    std::unique_ptr<TForm1> form;

    void editKey14()
    {
        KeyByNumber(KeyTable, 14).norm_char = QStringLiteral("\u0439");
        KeyByNumber(KeyTable, 14).norm_code = QStringLiteral("0439");
        form->setLayoutModified(true);
    }

    // The texts the KLC dialog of the next export starts with; the dialog is closed
    // without OK.
    KlcProperties nextKlcDialogTexts()
    {
        KlcProperties shown;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, &poll, [&] {
            auto *dialog = qobject_cast<TForm3 *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll.stop();
            shown = dialog->properties();
            dialog->close();
        });
        poll.start();
        TriggerMenuItem(form.get(), "saveasklc1");
        return shown;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        // The session's own layout must not decide what the tests see.
        qputenv("XKB_DEFAULT_LAYOUT", "ru");
    }

    void init()
    {
        dialogs = std::make_unique<FakeDialogs>();
        dir = std::make_unique<QTemporaryDir>();
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        form = std::make_unique<TForm1>();
        QVERIFY(ShowOnScreen(form.get()));
    }

    void cleanup()
    {
        form.reset();
        QDir::setCurrent(previousDir);
        dir.reset();
        dialogs.reset();
    }

    void menuItemsComeAfterTheExports()
    {
        QMenu *menu = Child<QMenu>(form.get(), "PM1");
        const QList<QAction *> actions = menu->actions();
        const auto *xkb = Child<QAction>(menu, "importsystemlayout1");
        const auto *klc = Child<QAction>(menu, "importklc1");
        QCOMPARE(xkb->text(), u"import   system layout");
        QCOMPARE(klc->text(), u"import   *.klc");
        const qsizetype lastExport = actions.indexOf(Child<QAction>(menu, "saveasxkb1"));
        QVERIFY(actions.indexOf(xkb) > lastExport);
        QCOMPARE(actions.indexOf(klc), actions.indexOf(xkb) + 1);
    }

    void systemLayoutReplacesTheLayout()
    {
        editKey14();
        dialogs->saveChangesAnswers = {SaveChangesAnswer::Discard};
        dialogs->xkbLayoutChoices = {Layout("de")};
        TriggerMenuItem(form.get(), "importsystemlayout1");

        QCOMPARE(dialogs->saveChangesQuestions.size(), 1);
        QCOMPARE(dialogs->xkbLayoutLists.size(), 1);
        QVERIFY(dialogs->xkbLayoutLists[0].contains(Layout("de", "neo", "German (Neo 2)", {"deu"})));
        QCOMPARE(dialogs->xkbLayoutPreselections[0]->fullName(), u"ru");
        // German: Q on AD01, Y where US has Z, and a dead circumflex left of 1.
        const s_key &key14 = KeyByNumber(KeyTable, 14);
        QCOMPARE(key14.norm_char, u"q");
        QCOMPARE(key14.caps, u"1");
        QCOMPARE(KeyByNumber(KeyTable, 38).norm_char, u"y");
        QCOMPARE(KeyCellOf(form.get(), 14)->hint(), BuildKeyHint(key14));
        QVERIFY(KeyCellOf(form.get(), 38)->caption().contains(u'Y'));
        QVERIFY(form->isLayoutModified());
        // The dead circumflex is carried: nothing to report.
        QCOMPARE(DeadOf(KeyByNumber(KeyTable, 1), ShiftState::Norm)->keysym, u"dead_circumflex");
        QCOMPARE(dialogs->reports.size(), 0);
        QCOMPARE(dialogs->errors, QStringList());
    }

    void cancelledQuestionChangesNothing()
    {
        editKey14();
        const KeyTableArray before = KeyTable;
        dialogs->saveChangesAnswers = {SaveChangesAnswer::Cancel};
        TriggerMenuItem(form.get(), "importsystemlayout1");
        QCOMPARE(dialogs->xkbLayoutLists.size(), 0);
        QVERIFY(KeyTable == before);
        QVERIFY(form->isLayoutModified());
    }

    void cancelledLayoutDialogChangesNothing()
    {
        const KeyTableArray before = KeyTable;
        dialogs->xkbLayoutChoices = {std::nullopt};
        TriggerMenuItem(form.get(), "importsystemlayout1");
        QCOMPARE(dialogs->xkbLayoutLists.size(), 1);
        QVERIFY(KeyTable == before);
        QVERIFY(!form->isLayoutModified());
    }

    void klcFileReplacesTheLayoutAndPrefillsTheNextExport()
    {
        KeyTableArray table = DefaultTable();
        SetImportedCharacter(KeyByNumber(table, 14), ShiftState::Norm, u'й');
        SetImportedCharacter(KeyByNumber(table, 14), ShiftState::Shift, u'Й');
        KeyByNumber(table, 14).caps = QStringLiteral("1");
        KlcProperties header;
        header.name = QStringLiteral("ru_typed");
        header.description = QStringLiteral("Russian (typed)");
        header.company = QStringLiteral("Someone");
        header.copyright = QStringLiteral("(c) 2025 Someone");
        header.localeId = QStringLiteral("00000422");
        const QString path = dir->filePath(QStringLiteral("typed.klc"));
        QVERIFY(WriteAll(path, KlcFileBytes(table, header)));

        QCOMPARE(nextKlcDialogTexts().description, KlcProperties().description);
        dialogs->filePaths = {path};
        TriggerMenuItem(form.get(), "importklc1");

        QCOMPARE(dialogs->fileDialogs.size(), 1);
        QCOMPARE(dialogs->fileDialogs[0].mode, FileDialogSettings::Mode::Open);
        QCOMPARE(dialogs->fileDialogs[0].filter, u"KLC (*.klc)");
        QCOMPARE(KeyByNumber(KeyTable, 14).shift_char, u"Й");
        QCOMPARE(KeyCellOf(form.get(), 14)->hint(), BuildKeyHint(KeyByNumber(KeyTable, 14)));
        QVERIFY(form->isLayoutModified());
        QCOMPARE(dialogs->reports.size(), 0);

        const KlcProperties shown = nextKlcDialogTexts();
        QCOMPARE(shown.name, header.name);
        QCOMPARE(shown.description, header.description);
        QCOMPARE(shown.company, header.company);
        QCOMPARE(shown.copyright, header.copyright);
        QCOMPARE(shown.localeId, header.localeId);
    }

    void refusedFileChangesNothing()
    {
        const QString path = dir->filePath(QStringLiteral("layout.klc"));
        QVERIFY(WriteAll(path, UkbFileBytes(DefaultTable())));
        editKey14();
        const KeyTableArray before = KeyTable;
        dialogs->saveChangesAnswers = {SaveChangesAnswer::Discard};
        dialogs->filePaths = {path};
        TriggerMenuItem(form.get(), "importklc1");
        QCOMPARE(dialogs->errors, QStringList{path + QStringLiteral(" is not a KLC file: it does not start with KBD.")});
        QVERIFY(KeyTable == before);
        QVERIFY(form->isLayoutModified());
    }

    // ---- The layout dialog

    void dialogPreselectsAndFilters()
    {
        XkbLayoutDialog dialog(SomeLayouts, Layout("de", "neo"));
        QAbstractItemModelTester tester(Child<QTreeView>(&dialog, "layoutView")->model());
        QVERIFY(ShowOnScreen(&dialog));
        QCOMPARE(dialog.selectedLayout()->fullName(), u"de(neo)");

        auto *filter = Child<QLineEdit>(&dialog, "filterEdit");
        QCOMPARE(QApplication::focusWidget(), filter);
        QTest::keyClicks(filter, QStringLiteral("RUS phon"));
        QCOMPARE(Child<QTreeView>(&dialog, "layoutView")->model()->rowCount(), 1);
        QCOMPARE(dialog.selectedLayout()->fullName(), u"ru(phonetic)");

        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void dialogFallsBackToTheLayout_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<QString>("selected");
        QTest::newRow("unknown variant") << "de(tavo)" << "de";
        QTest::newRow("unknown layout") << "tavo" << "";
    }

    void dialogFallsBackToTheLayout()
    {
        QFETCH(QString, session);
        QFETCH(QString, selected);
        XkbLayoutDialog dialog(SomeLayouts, ParseXkbLayoutName(session));
        const std::optional<XkbLayoutInfo> chosen = dialog.selectedLayout();
        QCOMPARE(chosen ? chosen->fullName() : QString(), selected);
        QCOMPARE(Child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok)->isEnabled(),
                 chosen.has_value());
    }

    void exactNameRanksFirst()
    {
        // us(intl) comes first, is the session's layout and matches "de" by its "dead keys".
        const QList<XkbLayoutInfo> layouts = {Layout("us", "intl", "English (US, intl., with dead keys)"),
                                              Layout("de", "neo", "German (Neo 2)"), Layout("de", "", "German")};
        XkbLayoutDialog dialog(layouts, Layout("us", "intl"));
        QVERIFY(ShowOnScreen(&dialog));
        QTest::keyClicks(Child<QLineEdit>(&dialog, "filterEdit"), QStringLiteral("DE"));
        const QAbstractItemModel *rows = Child<QTreeView>(&dialog, "layoutView")->model();
        QCOMPARE(rows->index(1, 0).data().toString(), u"de(neo)");  // then the layout's variants
        QCOMPARE(dialog.selectedLayout()->fullName(), u"de");
    }

    void filterWithoutMatchesDisablesOk()
    {
        XkbLayoutDialog dialog(SomeLayouts, std::nullopt);
        QTest::keyClicks(Child<QLineEdit>(&dialog, "filterEdit"), QStringLiteral("klingon"));
        QVERIFY(!dialog.selectedLayout());
        QVERIFY(!Child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok)->isEnabled());
    }
};

TAVO_TEST(TestImportMenu)
#include "tst_importmenu.moc"
