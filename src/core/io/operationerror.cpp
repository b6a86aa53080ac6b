// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "operationerror.h"

#include <cerrno>

OperationError::OperationError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8())
{
}

OperationError CannotCreateFile(const QString &path)
{
    return OperationError(QStringLiteral("Cannot create file %1").arg(path));
}

OperationError CannotOpenFile(const QString &path)
{
    return OperationError(QStringLiteral("Cannot open file %1").arg(path));
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
