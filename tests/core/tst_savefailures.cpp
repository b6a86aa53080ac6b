// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileformats.h"
#include "testhelpers.h"
#include "testlayouts.h"
#include "testregistry.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

// How each format reports a failed write. Which failures there are and that none of them
// loses the old file is the rule of WriteFileAtomically; here each format shows that it
// writes through it, with its own message.
class TestSaveFailures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // One row per format of the table, so that a new format is covered as it is added.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("message");
        for (const FileFormat &format : FileFormats()) {
            const QString fileName = QStringLiteral("ru.%1").arg(format.suffix);
            // The .ukb and KLC writers name the file as it was given; the others give the
            // system's error.
            const bool namesTheFile = format.name == u"ukb" || format.name == u"klc";
            QTest::newRow(format.name.toUtf8().constData())
                << format.name.toString() << fileName
                << (namesTheFile ? QStringLiteral("Cannot create file ") + fileName : QStringLiteral("Disk full"));
        }
    }

    // A file-size limit below the new file's size makes the write fail halfway, for root
    // as for anyone. The path is relative, as the KLC export gives it.
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, format);
        QFETCH(QString, fileName);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto restore = qScopeGuard([&previous] { QDir::setCurrent(previous); });
        QVERIFY(WriteAll(fileName, "old content"));
        KeyTableArray table = DefaultTable();
        const FileFormat *writer = FileFormatNamed(format);
        QVERIFY(writer);

        QString error;
        {
            const FileSizeLimit limit(1000);
            QVERIFY(limit.isActive());
            error = ErrorOf([&] { writer->save(table, ExportOptions(), fileName); });
        }
        QCOMPARE(error, message);
        QCOMPARE(ReadAll(fileName), QByteArray("old content"));
        QCOMPARE(Entries(dir.path()), QStringList{fileName});
    }
};

TAVO_TEST(TestSaveFailures)
#include "tst_savefailures.moc"
