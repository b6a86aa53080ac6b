// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "fakedialogs.h"
#include "goldenfile.h"
#include "keyboardtest.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <memory>

namespace {

QString Confirmation(const QString &path)
{
    return QStringLiteral("save (") + path + QStringLiteral(")!");
}

QStringList KeyTypes()
{
    QStringList types;
    for (int number = 1; number <= KeyCount; ++number)
        types << KeyByNumber(KeyTable, number).key_type;
    return types;
}

// Every key "sign" but the given ones.
QStringList TypesWithLetters(std::initializer_list<int> letterKeys)
{
    QStringList types(KeyCount, QStringLiteral("sign"));
    for (int number : letterKeys)
        types[number - 1] = QStringLiteral("letter");
    return types;
}

} // namespace

class TestLayoutExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm1> form;

    void trigger(const char *item) { TriggerMenuItem(form.get(), item); }

private Q_SLOTS:
    void init()
    {
        form = std::make_unique<TForm1>();
        QVERIFY(ShowOnScreen(form.get()));
    }
    void cleanup() { form.reset(); }

    void exportOfTheDefaultLayout_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("golden");
        QTest::addColumn<bool>("setsTypes");
        QTest::newRow("classic") << "saveasXML1" << "default.layout" << false;
        QTest::newRow("new") << "saveaslayout3041" << "default.layout-new" << true;
    }

    void exportOfTheDefaultLayout()
    {
        QFETCH(QString, item);
        QFETCH(QString, golden);
        QFETCH(bool, setsTypes);
        FakeDialogs dialogs;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("default.layout"));
        dialogs.filePaths.push_back(path);

        trigger(qPrintable(item));

        QCOMPARE(dialogs.fileDialogs.size(), 1);
        const FileDialogSettings &asked = dialogs.fileDialogs.front();
        QCOMPARE(asked.mode, FileDialogSettings::Mode::Save);
        QCOMPARE(asked.defaultSuffix, QStringLiteral("layout"));
        QCOMPARE(asked.filter, QStringLiteral("layout (*.layout)"));
        QCOMPARE(asked.title, QStringLiteral("Layout"));
        TAVO_COMPARE_GOLDEN(ReadAll(path), golden);
        QCOMPARE(dialogs.messages, QStringList{Confirmation(path)});
        QVERIFY(dialogs.errors.isEmpty());
        QCOMPARE(KeyTypes(), setsTypes ? TypesWithLetters({}) : QStringList(KeyCount, QString()));
    }

    void newExportWritesTheTypes()
    {
        FakeDialogs dialogs;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ru.layout"));
        dialogs.filePaths.push_back(path);
        SetChars(KeyTable, 2, QStringLiteral("1"), QStringLiteral("!"));
        SetChars(KeyTable, 14, QStringLiteral("\u0439"), QStringLiteral("\u0419"));
        SetChars(KeyTable, 27, QStringLiteral("a"), QStringLiteral("\u0424"));

        trigger("saveaslayout3041");

        QCOMPARE(KeyTypes(), TypesWithLetters({14, 27}));
        const QByteArray written = ReadAll(path);
        QVERIFY(written.contains("\r\n    <button vk=\"49\" type=\"sign\" value=\"1\" shiftvalue=\"!\" />\r\n"));
        QVERIFY(written.contains("\r\n    <button vk=\"81\" type=\"letter\" value=\"\xE9\" shiftvalue=\"\xC9\" />\r\n"));
        QVERIFY(written.contains("\r\n    <button vk=\"65\" type=\"letter\" value=\"a\" shiftvalue=\"\xD4\" />\r\n"));
        QCOMPARE(dialogs.messages, QStringList{Confirmation(path)});
    }

    // SD1 is shared: each export offers the name chosen last, by either of them.
    void dialogOffersTheLastChosenName()
    {
        FakeDialogs dialogs;
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first.layout"));
        const QString second = dir.filePath(QStringLiteral("second.layout"));
        dialogs.filePaths = {first, QString(), second, QString()};

        trigger("saveasXML1");
        trigger("saveaslayout3041");  // cancelled: the name stays
        trigger("saveaslayout3041");
        trigger("saveasXML1");

        QCOMPARE(dialogs.fileDialogs.size(), 4);
        QCOMPARE(dialogs.fileDialogs[0].fileName, QString());
        QCOMPARE(dialogs.fileDialogs[1].fileName, first);
        QCOMPARE(dialogs.fileDialogs[2].fileName, first);
        QCOMPARE(dialogs.fileDialogs[3].fileName, second);
        QCOMPARE(dialogs.messages, (QStringList{Confirmation(first), Confirmation(second)}));
    }

    void cancelledDialog_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("setsTypes");
        QTest::newRow("classic") << "saveasXML1" << false;
        QTest::newRow("new") << "saveaslayout3041" << true;
    }

    // Nothing is written or shown; the new export's types are set all the same.
    void cancelledDialog()
    {
        QFETCH(QString, item);
        QFETCH(bool, setsTypes);
        FakeDialogs dialogs;
        QTemporaryDir dir;
        // A file written under an empty or relative name would land here.
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto restore = qScopeGuard([&previous] { QDir::setCurrent(previous); });
        dialogs.filePaths.push_back(QString());
        SetChars(KeyTable, 15, QStringLiteral("w"), QStringLiteral("W"));

        trigger(qPrintable(item));

        QCOMPARE(dialogs.fileDialogs.size(), 1);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(dialogs.errors.isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());
        QCOMPARE(KeyTypes(), setsTypes ? TypesWithLetters({15}) : QStringList(KeyCount, QString()));
    }
};

TAVO_TEST(TestLayoutExport)
#include "tst_layoutexport.moc"
