// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "fakedialogs.h"
#include "operationerror.h"
#include "keyboardtest.h"
#include "klcdialog.h"
#include "klcfile.h"
#include "layoutxml.h"
#include "operation.h"
#include "testhelpers.h"
#include "testregistry.h"
#include "ukbfile.h"
#include "xkbsymbols.h"

#include <QApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// The core's save behind a menu item.
void CoreSave(const QString &item, KeyTableArray &table, const QString &path)
{
    if (item == u"saveukb1")
        SaveUkbFile(table, path);
    else if (item == u"saveasXML1")
        SaveLayoutClassic(table, path);
    else if (item == u"saveaslayout3041")
        SaveLayoutNew(table, path);
    else if (item == u"saveasklc1")
        SaveKlcFile(table, KlcProperties{}, path);
    else if (item == u"saveasxkb1")
        SaveXkbFile(table, path);
    else
        QFAIL("no such item");
}

} // namespace

class TestErrorHandler : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void failureIsShownWithItsFullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("create") << "Cannot create file /x/a.ukb" << "Cannot create file /x/a.ukb.";
        QTest::newRow("ends in a stop") << "I/O error." << "I/O error.";
        QTest::newRow("ends in a bracket") << "save (x)" << "save (x)";
    }

    void failureIsShownWithItsFullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        FakeDialogs dialogs;
        bool reachedAfterThrow = false;
        const bool succeeded = RunOperation(nullptr, [&] {
            throw OperationError(message);
            reachedAfterThrow = true;
        });
        QVERIFY(!succeeded);
        QVERIFY(!reachedAfterThrow);
        QCOMPARE(dialogs.errors, QStringList{shown});
        QVERIFY(dialogs.messages.isEmpty());
    }

    void successShowsNothing()
    {
        FakeDialogs dialogs;
        int runs = 0;
        QVERIFY(RunOperation(nullptr, [&] { ++runs; }));
        QCOMPARE(runs, 1);
        QVERIFY(dialogs.errors.isEmpty());
    }

    void failedSaveFromTheMenu_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("ukb") << "saveukb1" << "a.ukb";
        QTest::newRow("layout, classic") << "saveasXML1" << "a.layout";
        QTest::newRow("layout, new") << "saveaslayout3041" << "a.layout";
        QTest::newRow("klc") << "saveasklc1" << "layout00.klc";
        QTest::newRow("xkb") << "saveasxkb1" << "ru.xkb";
    }

    // A folder stands where the file should go, so the save fails for root too. The menu
    // operation ends in the error box with what the core's save says, and nothing else:
    // no confirmation, no dialog left open, the layout still unsaved.
    void failedSaveFromTheMenu()
    {
        QFETCH(QString, item);
        QFETCH(QString, fileName);
        FakeDialogs dialogs;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto restore = qScopeGuard([&previous] { QDir::setCurrent(previous); });
        QVERIFY(QDir().mkdir(fileName));
        TForm1 form;
        form.setLayoutModified(true);

        // The KLC export has no file dialog: its own dialog is answered with OK, which
        // writes the default name into the current folder.
        const bool klc = item == u"saveasklc1";
        const QString path = klc ? fileName : dir.filePath(fileName);
        if (!klc)
            dialogs.filePaths = {path};
        QTimer answerKlc;
        answerKlc.setInterval(1);
        connect(&answerKlc, &QTimer::timeout, &answerKlc, [&answerKlc] {
            if (auto *klcDialog = qobject_cast<TForm3 *>(QApplication::activeModalWidget())) {
                answerKlc.stop();
                QTest::mouseClick(Child<QPushButton>(klcDialog, QStringLiteral("Button1")), Qt::LeftButton);
            }
        });
        if (klc)
            answerKlc.start();

        TriggerMenuItem(&form, qPrintable(item));

        KeyTableArray table = KeyTable;
        const QString coreError = ErrorOf([&] { CoreSave(item, table, path); });
        QVERIFY(!coreError.isEmpty());
        QCOMPARE(dialogs.errors, QStringList{WithFullStop(coreError)});
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(form.isLayoutModified());
        QVERIFY(form.findChildren<QDialog *>().isEmpty());
        QCOMPARE(Entries(dir.path()), QStringList{fileName});
    }
};

TAVO_TEST(TestErrorHandler)
#include "tst_errorhandler.moc"
