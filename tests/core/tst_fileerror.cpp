#include "fileerror.h"
#include "testhelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

class TestFileError : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void ioErrorMessage_data()
    {
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<QString>("message");
        QTest::newRow("ENOENT") << ENOENT << "File not found";
        QTest::newRow("ENOTDIR") << ENOTDIR << "Invalid filename";
        QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << "Invalid filename";
        QTest::newRow("EISDIR") << EISDIR << "Invalid filename";
        QTest::newRow("EINVAL") << EINVAL << "Invalid filename";
        QTest::newRow("EMFILE") << EMFILE << "Too many open files";
        QTest::newRow("ENFILE") << ENFILE << "Too many open files";
        QTest::newRow("EACCES") << EACCES << "File access denied";
        QTest::newRow("EPERM") << EPERM << "File access denied";
        QTest::newRow("EROFS") << EROFS << "File access denied";
        QTest::newRow("ENOSPC") << ENOSPC << "Disk full";
        QTest::newRow("EDQUOT") << EDQUOT << "Disk full";
        QTest::newRow("EIO") << EIO << QStringLiteral("I/O error %1").arg(EIO);
        QTest::newRow("EXDEV") << EXDEV << QStringLiteral("I/O error %1").arg(EXDEV);
    }

    void ioErrorMessage()
    {
        QFETCH(int, errorNumber);
        QFETCH(QString, message);
        QCOMPARE(IoErrorMessage(errorNumber), message);
    }

    void fullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Disk full" << "Disk full.";
        QTest::newRow("path ending in a letter") << "Cannot create file /a/b.ukb" << "Cannot create file /a/b.ukb.";
        QTest::newRow("digit") << "I/O error 5" << "I/O error 5.";
        QTest::newRow("slash comes after the stop") << "Cannot open file /a/" << "Cannot open file /a/.";
        QTest::newRow("already a stop") << "Done." << "Done.";
        QTest::newRow("exclamation comes before") << "Stop!" << "Stop!";
        QTest::newRow("closing parenthesis comes before") << "(x)" << "(x)";
        QTest::newRow("hyphen comes before") << "a-" << "a-";
        QTest::newRow("cyrillic letter") << "\u0424" << "\u0424.";
        QTest::newRow("empty") << "" << "";
    }

    void fullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(WithFullStop(message), shown);
    }

    void writeCreatesAndReplaces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.txt"));
        WriteFileAtomically(path, "first", WriteFailure::CannotCreate);
        QCOMPARE(ReadAll(path), QByteArray("first"));
        WriteFileAtomically(path, "second", WriteFailure::CannotCreate);
        QCOMPARE(ReadAll(path), QByteArray("second"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.txt")});
    }

    // Paths that fail for root too.
    void failures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("systemMessage");
        QTest::newRow("missing folder") << "missing/x.out" << "File not found";
        QTest::newRow("parent is a file") << "file/x.out" << "Invalid filename";
        QTest::newRow("name over 255 bytes") << QString(300, u'n') << "Invalid filename";
        QTest::newRow("a directory") << "." << "Invalid filename";
        QTest::newRow("under /proc") << "/proc/1/x.out" << "File access denied";
    }

    void failures()
    {
        QFETCH(QString, path);
        QFETCH(QString, systemMessage);
        QTemporaryDir dir;
        QVERIFY(WriteAll(dir.filePath(QStringLiteral("file")), QByteArray()));
        const QString full = path.startsWith(u'/') ? path : dir.filePath(path);

        QCOMPARE(ErrorOf([&] { WriteFileAtomically(full, "content", WriteFailure::CannotCreate); }),
                 QStringLiteral("Cannot create file %1").arg(full));
        QCOMPARE(ErrorOf([&] { WriteFileAtomically(full, "content", WriteFailure::SystemError); }),
                 systemMessage);
        // Nothing was left behind.
        QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("file")});
    }

    void failedReplaceKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("layout.ukb"));
        WriteFileAtomically(path, "old bytes", WriteFailure::SystemError);

        // A file-size limit makes the write itself fail, for root as for anyone.
        QString message;
        {
            const FileSizeLimit limit(4);
            QVERIFY(limit.isActive());
            message = ErrorOf([&] { WriteFileAtomically(path, QByteArray(4096, 'n'), WriteFailure::SystemError); });
        }
        QCOMPARE(message, QStringLiteral("Disk full"));
        QCOMPARE(ReadAll(path), QByteArray("old bytes"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("layout.ukb")});
    }
};

QTEST_APPLESS_MAIN(TestFileError)
#include "tst_fileerror.moc"
