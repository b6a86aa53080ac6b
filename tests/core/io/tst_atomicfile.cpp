// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomicfile.h"
#include "operationerror.h"
#include "testhelpers.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;

// Run as a child under another user: writes content to path and prints the message of
// the failure, if any.
int WriteAsChild(const char *path, const char *content)
{
    try {
        WriteFileAtomically(QString::fromLocal8Bit(path), QByteArray(content), WriteFailure::SystemError);
    } catch (const OperationError &error) {
        std::printf("%s", error.what());
        return 1;
    }
    return 0;
}

struct stat StatOf(const QString &path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info;
}

} // namespace

class TestAtomicFile : public QObject
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

    // A device or FIFO is the destination itself: it is written into, never replaced. A
    // socket cannot be opened so, and stays too.
    void nonRegularTargetStays_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("message");
        QTest::newRow("character device") << int(S_IFCHR) << QString();
        QTest::newRow("FIFO with a reader") << int(S_IFIFO) << QString();
        QTest::newRow("socket") << int(S_IFSOCK) << "Cannot create file %1";
    }

    void nonRegularTargetStays()
    {
        QFETCH(int, type);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("node"));
        const QByteArray name = QFile::encodeName(path);
        // The device is the one /dev/null is; making it needs root.
        if (::mknod(name.constData(), mode_t(type) | 0600, type == S_IFCHR ? makedev(1, 3) : 0) != 0)
            QSKIP("cannot make the node here");
        const int reader = type == S_IFIFO ? ::open(name.constData(), O_RDONLY | O_NONBLOCK) : -1;

        QCOMPARE(ErrorOf([&] { WriteFileAtomically(path, "layout bytes", WriteFailure::CannotCreate); }),
                 message.isEmpty() ? message : message.arg(path));

        QCOMPARE(int(StatOf(path).st_mode & S_IFMT), type);
        // Devices, FIFOs and sockets are "system" entries to QDir.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("node")});
        if (reader >= 0) {
            char buffer[64] = {};
            const ssize_t got = ::read(reader, buffer, sizeof buffer);
            ::close(reader);
            QCOMPARE(QByteArray(buffer, int(qMax<ssize_t>(got, 0))), QByteArray("layout bytes"));
        }
    }

    // Root replaces files of any owner and mode; each keeps what it had.
    void replaceKeepsOwnerAndMode_data()
    {
        QTest::addColumn<uint>("uid");
        QTest::addColumn<uint>("gid");
        QTest::addColumn<uint>("mode");
        QTest::newRow("read-only") << 0u << 0u << 0444u;
        QTest::newRow("another user's, group-readable") << uint(Nobody) << uint(NoGroup) << 0640u;
        QTest::newRow("another user's, set-group-ID") << uint(Nobody) << 0u << 02750u;
    }

    void replaceKeepsOwnerAndMode()
    {
        QFETCH(uint, uid);
        QFETCH(uint, gid);
        QFETCH(uint, mode);
        if (::geteuid() != 0)
            QSKIP("needs root to give files away");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("layout.ukb"));
        QVERIFY(WriteAll(path, "old"));
        const QByteArray name = QFile::encodeName(path);
        QCOMPARE(::chown(name.constData(), uid, gid), 0);
        QCOMPARE(::chmod(name.constData(), mode), 0);

        WriteFileAtomically(path, "new", WriteFailure::CannotCreate);

        QCOMPARE(ReadAll(path), QByteArray("new"));
        const struct stat after = StatOf(path);
        QCOMPARE(uint(after.st_uid), uid);
        QCOMPARE(uint(after.st_gid), gid);
        QCOMPARE(uint(after.st_mode & 07777), mode);
    }

    // A user who may write a file but not its folder: the file is written in place. The
    // writer runs as nobody in a child process, since root may write every folder.
    void folderWithoutWriteAccess_data()
    {
        QTest::addColumn<bool>("ownFile");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("own file is written in place") << true << QString() << QByteArray("new");
        QTest::newRow("another's file is refused") << false << "File access denied" << QByteArray("old");
    }

    void folderWithoutWriteAccess()
    {
        QFETCH(bool, ownFile);
        QFETCH(QString, message);
        QFETCH(QByteArray, content);
        if (::geteuid() != 0)
            QSKIP("needs root to run a child as nobody");
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadOther | QFile::ExeOther));
        const QString path = dir.filePath(QStringLiteral("layout.ukb"));
        QVERIFY(WriteAll(path, "old"));
        if (ownFile)
            QCOMPARE(::chown(QFile::encodeName(path).constData(), Nobody, NoGroup), 0);

        QProcess child;
        child.start(QStringLiteral("setpriv"),
                    {QStringLiteral("--reuid=%1").arg(Nobody), QStringLiteral("--regid=%1").arg(NoGroup),
                     QStringLiteral("--clear-groups"), QFile::symLinkTarget(QStringLiteral("/proc/self/exe")),
                     QStringLiteral("--write-as-child"), path, QStringLiteral("new")});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()), message);
        QCOMPARE(child.exitCode(), message.isEmpty() ? 0 : 1);
        QCOMPARE(ReadAll(path), content);
        QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("layout.ukb")});
    }
};

TAVO_TEST(TestAtomicFile)
TAVO_TEST_CHILD_MODE("--write-as-child", [](int argc, char *argv[]) {
    return argc == 4 ? WriteAsChild(argv[2], argv[3]) : 2;
})
#include "tst_atomicfile.moc"
