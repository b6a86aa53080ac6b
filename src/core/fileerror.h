#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// A failed file operation; it ends the user's operation and reaches the application's
// top-level handler, which shows the message.
class FileError : public std::exception
{
public:
    explicit FileError(QString message);
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

FileError CannotCreateFile(const QString &path);
FileError CannotOpenFile(const QString &path);

// The message of a system error number: "File not found", "Invalid filename",
// "Too many open files", "File access denied", "Disk full", else "I/O error %d".
QString IoErrorMessage(int errorNumber);

// The message as the error box shows it: a full stop added when its last character
// comes after "." in character order.
QString WithFullStop(const QString &message);

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
// while the file may be written. A directory is an error. Throws FileError.
void WriteFileAtomically(const QString &path, const QByteArray &content, WriteFailure failure);

// Prepares the process for WriteFileAtomically; every program calls it once at start.
// A write past the file-size limit then fails and is reported, where by default
// SIGXFSZ would end the process.
void InitFileWriting();
