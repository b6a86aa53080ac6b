// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xkbfolderlock.h"

#include "operationerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString LockFileName = QStringLiteral(".tavo-lock");

} // namespace

QStringList XkbFolderLock::makeFolders(const QString &path)
{
    QStringList missing;
    for (QString p = QDir::cleanPath(path); !QFileInfo(p).isDir(); p = QFileInfo(p).path()) {
        missing.prepend(p);
        if (p == QFileInfo(p).path())
            break;
    }
    QStringList created;
    const auto fail = [&created](const QString &message) {
        for (qsizetype i = created.size() - 1; i >= 0; --i)
            QDir().rmdir(created.at(i));
        return OperationError(message);
    };
    for (const QString &p : std::as_const(missing)) {
        const QFileInfo info(p);
        if (info.isSymLink() && !info.exists()) {
            throw fail(QStringLiteral("Cannot create folder %1: it is a symbolic link to %2, which does not exist")
                           .arg(p, info.symLinkTarget()));
        }
        if (info.exists() && !info.isDir())
            throw fail(QStringLiteral("Cannot create folder %1: a file of that name is in the way").arg(p));
        if (::mkdir(QFile::encodeName(p).constData(), 0777) == 0)
            created.append(p);
        else if (errno != EEXIST || !QFileInfo(p).isDir())
            throw fail(QStringLiteral("Cannot create folder %1: %2").arg(p, IoErrorMessage(errno)));
    }
    return created;
}

namespace {

bool SameFile(int descriptor, const QString &path)
{
    struct stat held = {};
    struct stat named = {};
    return ::fstat(descriptor, &held) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0
        && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace

XkbFolderLock::XkbFolderLock(const QString &rulesFolder, bool createFolders)
    : m_path(rulesFolder + u'/' + LockFileName)
{
    const QByteArray path = QFile::encodeName(m_path);
    for (;;) {
        if (createFolders)
            m_created += makeFolders(rulesFolder);
        else if (!QFileInfo(rulesFolder).isDir())
            return;
        // Never follow a link or wait on a FIFO someone put there.
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0 && (errno == EACCES || errno == EROFS))
            fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) {
            // A folder this user cannot write: nobody can change it through Tavo either.
            if (!createFolders && (errno == EACCES || errno == EROFS))
                return;
            throw OperationError(QStringLiteral("Cannot lock %1: %2").arg(m_path, IoErrorMessage(errno)));
        }
        struct stat info = {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            throw OperationError(QStringLiteral("Cannot lock %1: it is not a regular file").arg(m_path));
        }
        int locked;
        do {
            locked = ::flock(fd, LOCK_EX);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const int error = errno;
            ::close(fd);
            throw OperationError(QStringLiteral("Cannot lock %1: %2").arg(m_path, IoErrorMessage(error)));
        }
        if (SameFile(fd, m_path)) {
            m_descriptor = fd;
            return;
        }
        // The holder before removed it (and perhaps its folder): once more from the start.
        ::close(fd);
    }
}

XkbFolderLock::~XkbFolderLock()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

void XkbFolderLock::removeFile()
{
    if (m_descriptor >= 0)
        ::unlink(QFile::encodeName(m_path).constData());
}
