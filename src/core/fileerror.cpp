#include "fileerror.h"

#include <QSaveFile>

#include <cerrno>

FileError::FileError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8())
{
}

FileError CannotCreateFile(const QString &path)
{
    return FileError(QStringLiteral("Cannot create file %1").arg(path));
}

FileError CannotOpenFile(const QString &path)
{
    return FileError(QStringLiteral("Cannot open file %1").arg(path));
}

QString IoErrorMessage(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
        return QStringLiteral("File not found");
    case ENOTDIR:
    case EISDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return QStringLiteral("File access denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(errorNumber);
    }
}

QString WithFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void WriteFileAtomically(const QString &path, const QByteArray &content, WriteFailure failure)
{
    const auto fail = [&](int errorNumber) {
        if (failure == WriteFailure::CannotCreate)
            return CannotCreateFile(path);
        // QSaveFile leaves errno as the failing call set it; a refusal of its own
        // (the path names a directory, say) leaves none.
        return FileError(IoErrorMessage(errorNumber != 0 ? errorNumber : EINVAL));
    };
    QSaveFile file(path);
    errno = 0;
    // Unbuffered, so that a short write (disk full, a size limit) shows in write()'s
    // count: a buffered QSaveFile can commit a truncated file as if all were well.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw fail(errno);
    errno = 0;
    if (file.write(content) != content.size()) {
        const int errorNumber = errno;
        file.cancelWriting();
        throw fail(errorNumber);
    }
    errno = 0;
    if (!file.commit())
        throw fail(errno);
}
