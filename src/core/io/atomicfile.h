// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// How a failed write is reported.
enum class WriteFailure {
    CannotCreate,  // "Cannot create file %s" with the path
    SystemError,   // the message of the system error
};

// Writes the whole file or nothing: an existing file is replaced only once the new
// content is safely on disk, and a failure leaves the old file and no partial file. The
// new file keeps the owner, group and permission bits of the one it replaces, where the
// process may set them. Two exceptions write into the existing file itself: a node that
// is not a regular file (a device, a FIFO), and a file whose folder refuses new files
// while the file may be written. A directory is an error. Throws OperationError.
void WriteFileAtomically(const QString &path, const QByteArray &content, WriteFailure failure);

// Prepares the process for WriteFileAtomically; every program calls it once at start.
// A write past the file-size limit then fails and is reported, where by default
// SIGXFSZ would end the process.
void InitFileWriting();
