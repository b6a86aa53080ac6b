// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "fakedialogs.h"
#include "goldenfile.h"
#include "keyboardtest.h"
#include "keyhint.h"
#include "linebuffer.h"
#include "testhelpers.h"
#include "testregistry.h"
#include "ukbfile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

const QString DataDir = QStringLiteral(TAVO_TEST_DATA "/ukb/");
const QString Question = QStringLiteral("The layout has unsaved changes. Save them first?");

} // namespace

class TestUkbMenu : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm1> form;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<QTemporaryDir> dir;

    KeyCell *cell(int number) const { return KeyCellOf(form.get(), number); }
    void trigger(const char *item) { TriggerMenuItem(form.get(), item); }
    QString path(const QString &name) const { return dir->filePath(name); }
    // An edit that is not saved yet.
    void editKey14()
    {
        KeyByNumber(KeyTable, 14).norm_char = QStringLiteral("\u0439");
        KeyByNumber(KeyTable, 14).norm_code = QStringLiteral("0439");
        form->setLayoutModified(true);
    }
    QStringList dialogTitles() const
    {
        QStringList titles;
        for (const FileDialogSettings &settings : dialogs->fileDialogs)
            titles << (settings.mode == FileDialogSettings::Mode::Save ? QStringLiteral("save ") : QStringLiteral("open "))
                + settings.title;
        return titles;
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        dialogs = std::make_unique<FakeDialogs>();
        dir = std::make_unique<QTemporaryDir>();
        form = std::make_unique<TForm1>();
        QVERIFY(ShowOnScreen(form.get()));
    }
    void cleanup()
    {
        form.reset();
        dir.reset();
        dialogs.reset();
    }

    // ---- Save

    void saveWritesTheFileAndConfirms()
    {
        const QString file = path(QStringLiteral("default.ukb"));
        dialogs->filePaths = {file};
        trigger("saveukb1");

        QCOMPARE(dialogs->fileDialogs.size(), 1);
        const FileDialogSettings &asked = dialogs->fileDialogs[0];
        QCOMPARE(asked.mode, FileDialogSettings::Mode::Save);
        QCOMPARE(asked.defaultSuffix, u"ukb");
        QCOMPARE(asked.filter, u"keyboard (*.ukb)");
        QCOMPARE(asked.title, u"Keyboard");
        TAVO_COMPARE_GOLDEN(ReadAll(file), QStringLiteral("default.ukb"));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("save (") + file + QStringLiteral(")!")});
        QVERIFY(dialogs->errors.isEmpty());
    }

    void saveReplacesAndOffersTheLastName()
    {
        const QString file = path(QStringLiteral("a.ukb"));
        QVERIFY(WriteAll(file, "old"));
        dialogs->filePaths = {file, file};
        trigger("saveukb1");
        KeyByNumber(KeyTable, 1).spare2 = QStringLiteral("x");
        trigger("saveukb1");

        QCOMPARE(dialogs->fileDialogs.size(), 2);
        QVERIFY(dialogs->fileDialogs[0].fileName.isEmpty());
        QCOMPARE(dialogs->fileDialogs[1].fileName, file);
        QCOMPARE(ReadAll(file), UkbFileBytes(KeyTable));
        QCOMPARE(dialogs->messages.size(), 2);
        QVERIFY(dialogs->saveChangesQuestions.isEmpty());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"a.ukb"});
    }

    void cancelledSaveDoesNothing()
    {
        editKey14();
        dialogs->filePaths = {QString()};
        trigger("saveukb1");
        QCOMPARE(dialogs->fileDialogs.size(), 1);
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(QDir(dir->path()).isEmpty());
        QVERIFY(form->isLayoutModified());
    }

    void saveAsksBeforeReplacingAFile_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("No keeps the file") << false;
        QTest::newRow("Yes replaces it") << true;
    }

    // The save dialog offers the name last chosen by any save, so the file it offers may be
    // one just exported: Qt's real dialog asks before replacing it.
    void saveAsksBeforeReplacingAFile()
    {
        QFETCH(bool, replace);
        dialogs.reset();  // the real dialogs from here on
        const QString file = path(QStringLiteral("ru.xkb"));
        QVERIFY(WriteAll(file, "exported"));

        bool asksBeforeReplacing = false;
        bool accepting = false;
        QStringList boxes;  // the texts of the message boxes, in order
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, &poll, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes << box->text();
                if (QAbstractButton *answer = box->button(replace ? QMessageBox::Yes : QMessageBox::No))
                    answer->click();
                else
                    box->accept();
            } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                if (!accepting) {
                    asksBeforeReplacing = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
                    accepting = true;
                    dialog->selectFile(file);
                    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
                } else if (!boxes.isEmpty()) {
                    dialog->reject();  // still open after No
                }
            }
        });
        poll.start();
        trigger("saveukb1");
        poll.stop();

        QVERIFY(asksBeforeReplacing);
        const QString question = QStringLiteral("ru.xkb already exists.\nDo you want to replace it?");
        if (replace) {
            QCOMPARE(boxes, (QStringList{question, QStringLiteral("save (") + file + QStringLiteral(")!")}));
            QCOMPARE(ReadAll(file), UkbFileBytes(KeyTable));
        } else {
            QCOMPARE(boxes, QStringList{question});
            QCOMPARE(ReadAll(file), QByteArray("exported"));
        }
    }

    // ---- Load

    void loadFillsKeysHintsAndCells()
    {
        const QString file = DataDir + "sample-utf8.ukb";
        dialogs->filePaths = {file};
        trigger("loadukb1");

        QCOMPARE(dialogs->fileDialogs.size(), 1);
        const FileDialogSettings &asked = dialogs->fileDialogs[0];
        QCOMPARE(asked.mode, FileDialogSettings::Mode::Open);
        QCOMPARE(asked.defaultSuffix, u"ukb");
        QCOMPARE(asked.filter, u"keyboard (*.ukb)");
        QCOMPARE(asked.title, u"Keyboard");
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(dialogs->errors.isEmpty());

        QCOMPARE(UkbFileBytes(KeyTable), ReadAll(GoldenFilePath(QStringLiteral("russian.ukb"))));
        for (int number = 1; number <= KeyCount; ++number)
            QCOMPARE(cell(number)->hint(), BuildKeyHint(KeyByNumber(KeyTable, number)));
        QVERIFY(cell(14)->hint().contains(u"0439     \u0439"));
        // Redrawn for the chosen view: Shift over Norm.
        QCOMPARE(cell(14)->caption(), QStringLiteral("\u0419") + CellBreak + QStringLiteral("\u0439"));
        QCOMPARE(cell(2)->caption(), QStringLiteral("!") + CellBreak + QStringLiteral("1"));
    }

    void loadOffersTheLastName()
    {
        const QString file = GoldenFilePath(QStringLiteral("default.ukb"));
        dialogs->filePaths = {file, file};
        trigger("loadukb1");
        trigger("loadukb1");
        QCOMPARE(dialogs->fileDialogs.size(), 2);
        QCOMPARE(dialogs->fileDialogs[1].fileName, file);
    }

    void saveThenLoadGivesTheLayoutBack()
    {
        const QString file = path(QStringLiteral("round.ukb"));
        s_key &key = KeyByNumber(KeyTable, 20);
        key.norm_char = QStringLiteral("\u2028");
        key.shift_char = QStringLiteral("&&");
        key.altgr_char = QString(QChar(0xDBFF));
        key.spare3 = QStringLiteral("kept");
        const KeyTableArray saved = KeyTable;
        dialogs->filePaths = {file, file};
        trigger("saveukb1");

        ClearKeyTable(KeyTable);
        LoadDefaults(KeyTable);
        form->RefreshKeys();
        trigger("loadukb1");
        QVERIFY(KeyTable == saved);
        QCOMPARE(cell(20)->caption(), QStringLiteral("&&") + CellBreak + QStringLiteral("\u2028"));
        QCOMPARE(cell(20)->hint(), BuildKeyHint(saved[19]));
    }

    void loadOfAShortFileTouchesOnlyItsKeys()
    {
        for (int number = 1; number <= KeyCount; ++number)
            cell(number)->setHint(QStringLiteral("old"));
        KeyByNumber(KeyTable, 3).norm_char = QStringLiteral("3");
        KeyByNumber(KeyTable, 48).caps = QStringLiteral("1");
        const QString file = path(QStringLiteral("short.ukb"));
        QVERIFY(WriteAll(file, Utf16LeFileBytes({QStringLiteral("1\t0041\tA\t"), QString()})));
        dialogs->filePaths = {file};
        trigger("loadukb1");

        QCOMPARE(KeyByNumber(KeyTable, 1).norm_char, u"A");
        QCOMPARE(cell(1)->hint(), BuildKeyHint(KeyByNumber(KeyTable, 1)));
        QCOMPARE(cell(2)->hint(), BuildKeyHint(KeyByNumber(KeyTable, 2)));
        QCOMPARE(KeyByNumber(KeyTable, 3).norm_char, u"3");
        for (int number = 3; number <= KeyCount; ++number)
            QCOMPARE(cell(number)->hint(), u"old");
        QCOMPARE(KeyByNumber(KeyTable, 48).caps, u"0");  // the space bar's fixed values still follow
        QCOMPARE(cell(1)->caption(), CellBreak + QStringLiteral("A"));
        QCOMPARE(cell(3)->caption(), CellBreak + QStringLiteral("3"));
    }

    void spaceBarHintShowsTheFileValues()
    {
        QStringList lines;
        for (int line = 1; line < 48; ++line)
            lines << QString();
        lines << QStringLiteral("1\t0041\tA\t");
        const QString file = path(QStringLiteral("space.ukb"));
        QVERIFY(WriteAll(file, Utf16LeFileBytes(lines)));
        dialogs->filePaths = {file};
        trigger("loadukb1");

        QVERIFY(cell(48)->hint().contains(u"Caps Lock (1)"));
        QVERIFY(!cell(48)->hint().contains(u"0020"));
        QCOMPARE(KeyByNumber(KeyTable, 48).caps, u"0");
        QCOMPARE(KeyByNumber(KeyTable, 48).norm_code, u"0020");
        QCOMPARE(cell(48)->caption(), CellBreak + QStringLiteral("A"));
    }

    void cancelledLoadDoesNothing()
    {
        editKey14();
        const KeyTableArray before = KeyTable;
        dialogs->filePaths = {QString()};
        trigger("loadukb1");
        QVERIFY(KeyTable == before);
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(dialogs->errors.isEmpty());
    }

    void failedLoadChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << "missing.ukb";
        QTest::newRow("a directory") << "folder";
    }

    void failedLoadChangesNothing()
    {
        QFETCH(QString, name);
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("folder")));
        KeyByNumber(KeyTable, 5).norm_char = QStringLiteral("5");
        KeyByNumber(KeyTable, 48).caps = QStringLiteral("1");
        form->RefreshKeys();
        cell(5)->setHint(QStringLiteral("old"));
        const KeyTableArray before = KeyTable;
        const QString file = path(name);
        dialogs->filePaths = {file};
        trigger("loadukb1");
        QCOMPARE(dialogs->errors, QStringList{QStringLiteral("Cannot open file %1.").arg(file)});
        QVERIFY(KeyTable == before);
        QCOMPARE(cell(5)->hint(), u"old");
        QCOMPARE(cell(5)->caption(), CellBreak + QStringLiteral("5"));
    }

    // ---- The modified flag

    void saveAndLoadClearTheFlag()
    {
        editKey14();
        dialogs->filePaths = {path(QStringLiteral("a.ukb"))};
        trigger("saveukb1");
        QVERIFY(!form->isLayoutModified());

        form->setLayoutModified(true);
        dialogs->saveChangesAnswers = {SaveChangesAnswer::Discard};
        dialogs->filePaths = {GoldenFilePath(QStringLiteral("default.ukb"))};
        trigger("loadukb1");
        QVERIFY(!form->isLayoutModified());
    }

    void nothingAsksWithoutChanges()
    {
        dialogs->filePaths = {DataDir + "sample-ansi.ukb"};
        trigger("loadukb1");
        QVERIFY(form->close());
        QVERIFY(dialogs->saveChangesQuestions.isEmpty());
        QCOMPARE(dialogTitles(), QStringList{"open Keyboard"});
    }

    void closeAsksFirst_data()
    {
        QTest::addColumn<SaveChangesAnswer>("answer");
        QTest::addColumn<QString>("savePath");  // empty: the save dialog is cancelled
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("Save") << SaveChangesAnswer::Save << "a.ukb" << true << true << QStringList();
        QTest::newRow("Save, dialog cancelled") << SaveChangesAnswer::Save << "" << false << false << QStringList();
        QTest::newRow("Save fails") << SaveChangesAnswer::Save << "missing/a.ukb" << false << false
                                    << QStringList{"Cannot create file %1."};
        QTest::newRow("Discard") << SaveChangesAnswer::Discard << "" << true << false << QStringList();
        QTest::newRow("Cancel") << SaveChangesAnswer::Cancel << "" << false << false << QStringList();
    }

    void closeAsksFirst()
    {
        QFETCH(SaveChangesAnswer, answer);
        QFETCH(QString, savePath);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        QFETCH(QStringList, errors);
        editKey14();
        dialogs->saveChangesAnswers = {answer};
        const QString file = savePath.isEmpty() ? QString() : path(savePath);
        if (answer == SaveChangesAnswer::Save)
            dialogs->filePaths = {file};

        QCOMPARE(form->close(), closes);
        QCOMPARE(form->isVisible(), !closes);
        QCOMPARE(dialogs->saveChangesQuestions, QStringList{Question});
        QCOMPARE(dialogTitles(), answer == SaveChangesAnswer::Save ? QStringList{"save Keyboard"} : QStringList());
        QCOMPARE(QFile::exists(path(QStringLiteral("a.ukb"))), saved);
        if (saved) {
            QCOMPARE(ReadAll(file), UkbFileBytes(KeyTable));
            QCOMPARE(dialogs->messages, QStringList{QStringLiteral("save (") + file + QStringLiteral(")!")});
        }
        for (QString &error : errors)
            error = error.arg(file);
        QCOMPARE(dialogs->errors, errors);
        QCOMPARE(form->isLayoutModified(), !saved);
    }

    void loadAsksFirst_data()
    {
        QTest::addColumn<SaveChangesAnswer>("answer");
        QTest::addColumn<QString>("savePath");
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Save") << SaveChangesAnswer::Save << "a.ukb"
                              << QStringList{"save Keyboard", "open Keyboard"} << true << true;
        QTest::newRow("Save, dialog cancelled") << SaveChangesAnswer::Save << ""
                                                << QStringList{"save Keyboard"} << false << false;
        QTest::newRow("Save fails") << SaveChangesAnswer::Save << "missing/a.ukb"
                                    << QStringList{"save Keyboard"} << false << false;
        QTest::newRow("Discard") << SaveChangesAnswer::Discard << ""
                                 << QStringList{"open Keyboard"} << true << false;
        QTest::newRow("Cancel") << SaveChangesAnswer::Cancel << "" << QStringList() << false << false;
    }

    void loadAsksFirst()
    {
        QFETCH(SaveChangesAnswer, answer);
        QFETCH(QString, savePath);
        QFETCH(QStringList, dialogs);
        QFETCH(bool, loaded);
        QFETCH(bool, saved);
        editKey14();
        const KeyTableArray edited = KeyTable;
        this->dialogs->saveChangesAnswers = {answer};
        const QString file = savePath.isEmpty() ? QString() : path(savePath);
        if (answer == SaveChangesAnswer::Save)
            this->dialogs->filePaths.push_back(file);
        this->dialogs->filePaths.push_back(DataDir + "sample-utf16be.ukb");

        trigger("loadukb1");
        QCOMPARE(this->dialogs->saveChangesQuestions, QStringList{Question});
        QCOMPARE(dialogTitles(), dialogs);
        QCOMPARE(QFile::exists(path(QStringLiteral("a.ukb"))), saved);
        if (saved)
            QCOMPARE(ReadAll(file), UkbFileBytes(edited));
        if (loaded) {
            QCOMPARE(UkbFileBytes(KeyTable), ReadAll(GoldenFilePath(QStringLiteral("russian.ukb"))));
            QVERIFY(!form->isLayoutModified());
        } else {
            QVERIFY(KeyTable == edited);
            QVERIFY(form->isLayoutModified());
        }
        if (savePath == u"missing/a.ukb")
            QCOMPARE(this->dialogs->errors, QStringList{QStringLiteral("Cannot create file %1.").arg(file)});
        else
            QVERIFY(this->dialogs->errors.isEmpty());
    }
};

TAVO_TEST(TestUkbMenu)
#include "tst_ukbmenu.moc"
