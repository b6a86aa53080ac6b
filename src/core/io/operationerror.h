// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Why an operation of the user's failed: a file that cannot be read or written, a layout
// that does not compile, a name that cannot be used, a desktop setting that cannot be
// changed. The core throws it; RunOperation in the windows and the converter's main
// catch it and show the message.
class OperationError : public std::exception
{
public:
    explicit OperationError(QString message);
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

OperationError CannotCreateFile(const QString &path);
OperationError CannotOpenFile(const QString &path);

// The message of a system error number: "File not found", "Invalid filename",
// "Too many open files", "File access denied", "Disk full", else "I/O error %d".
QString IoErrorMessage(int errorNumber);

// The message as the error box shows it: a full stop added when its last character
// comes after "." in character order.
QString WithFullStop(const QString &message);
