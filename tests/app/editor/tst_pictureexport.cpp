// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"
#include "fakedialogs.h"
#include "goldenfile.h"
#include "keyboardpicture.h"
#include "keyboardtest.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"

#include <QTemporaryDir>

#include <memory>

Q_DECLARE_METATYPE(PictureFormat)

class TestPictureExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm1> form;
    std::unique_ptr<FakeDialogs> dialogs;

private Q_SLOTS:
    void init()
    {
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>();
        KeyTable = EdgeLayout();
    }
    void cleanup()
    {
        form.reset();
        dialogs.reset();
    }

    void savesThePicture_data()
    {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<PictureFormat>("format");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("filter");
        QTest::newRow("svg") << QByteArray("saveassvg1") << PictureFormat::Svg << "svg" << "SVG picture (*.svg)";
        QTest::newRow("png") << QByteArray("saveaspng1") << PictureFormat::Png << "png" << "PNG picture (*.png)";
        QTest::newRow("pdf") << QByteArray("saveaspdf1") << PictureFormat::Pdf << "pdf" << "PDF document (*.pdf)";
    }

    void savesThePicture()
    {
        QFETCH(QByteArray, item);
        QFETCH(PictureFormat, format);
        QFETCH(QString, suffix);
        QFETCH(QString, filter);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ru.") + suffix);
        dialogs->filePaths = {path};
        TriggerMenuItem(form.get(), item.constData());

        QCOMPARE(dialogs->fileDialogs.size(), 1);
        const FileDialogSettings &asked = dialogs->fileDialogs[0];
        QCOMPARE(asked.mode, FileDialogSettings::Mode::Save);
        QCOMPARE(asked.defaultSuffix, suffix);
        QCOMPARE(asked.filter, filter);
        QCOMPARE(asked.title, u"Picture");
        // A layout never saved or loaded has no name yet.
        QCOMPARE(ReadAll(path), KeyboardPictureBytes(KeyTable, QStringLiteral("Untitled"), format));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("save (") + path + QStringLiteral(")!")});
        QVERIFY(dialogs->errors.isEmpty());
    }

    void titledWithTheLayoutFile()
    {
        QTemporaryDir dir;
        const QString layout = dir.filePath(QStringLiteral("edge.ukb"));
        const QString picture = dir.filePath(QStringLiteral("edge.svg"));
        dialogs->filePaths = {layout, picture};
        TriggerMenuItem(form.get(), "saveukb1");
        TriggerMenuItem(form.get(), "saveassvg1");
        TAVO_COMPARE_GOLDEN(ReadAll(picture), QStringLiteral("edge.svg"));
        QVERIFY(ReadAll(picture).contains("<title>edge.ukb</title>"));
    }
};

TAVO_TEST(TestPictureExport)
#include "tst_pictureexport.moc"
