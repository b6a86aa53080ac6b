// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomicfile.h"

#include "descriptordevice.h"
#include "operationerror.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes into an existing node that is not a regular file (a device, a FIFO): such a
// node is the destination itself, and replacing it with a regular file would break
// whatever reads it. A FIFO without a reader waits for one, as a shell redirection does.
// Returns 0, or the errno of the failure.
int WriteInPlace(const QString &path, const QByteArray &content)
{
    // No O_CREAT: if the node went away meanwhile, nothing is created in its place.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return errno;
    DescriptorDevice device(descriptor, QIODevice::WriteOnly);
    int errorNumber = device.write(content) == content.size() ? 0 : device.errorNumber();
    if (::close(descriptor) != 0 && errorNumber == 0 && errno != EINTR)
        errorNumber = errno;
    return errorNumber;
}

// Gives the new file the owner, group and permission bits of the file it replaces, as
// far as the process may set them: root keeps another user's file theirs, anyone keeps
// a group they belong to and any mode of their own file. The owner goes first, since a
// change of owner clears the set-user-ID and set-group-ID bits.
void KeepOwnerAndMode(int descriptor, const struct stat &old)
{
    if (::fchown(descriptor, old.st_uid, old.st_gid) != 0) {
        // Not the owner: the group may still be kept. A failure leaves the writer's group.
        [[maybe_unused]] const int keptGroup = ::fchown(descriptor, uid_t(-1), old.st_gid);
    }
    (void)::fchmod(descriptor, old.st_mode & 07777);
}

} // namespace

void InitFileWriting()
{
    // Past a file-size limit (ulimit -f) a write then fails with EFBIG, which the save
    // reports; by default the signal would end the process without a word.
    std::signal(SIGXFSZ, SIG_IGN);
}

void WriteFileAtomically(const QString &path, const QByteArray &content, WriteFailure failure)
{
    const auto fail = [&](int errorNumber) {
        if (failure == WriteFailure::CannotCreate)
            return CannotCreateFile(path);
        // QSaveFile leaves errno as the failing call set it; a refusal of its own
        // (the path names a directory, say) leaves none.
        return OperationError(IoErrorMessage(errorNumber != 0 ? errorNumber : EINVAL));
    };

    struct stat old {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode)) {
        if (const int errorNumber = WriteInPlace(path, content))
            throw fail(errorNumber);
        return;
    }

    QSaveFile file(path);
    // Where the folder refuses a new file but the file itself may be written, it is
    // written in place. That one case cannot keep the old content should the write fail.
    file.setDirectWriteFallback(true);
    errno = 0;
    // Unbuffered, so that a short write (disk full, a size limit) shows in write()'s
    // count: a buffered QSaveFile can commit a truncated file as if all were well.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw fail(errno);
    if (exists && S_ISREG(old.st_mode))
        KeepOwnerAndMode(file.handle(), old);
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
