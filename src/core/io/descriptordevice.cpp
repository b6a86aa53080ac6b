// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "descriptordevice.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {

// Waits until the descriptor is ready for events; false (errno set) when poll fails.
bool WaitFor(int descriptor, short events)
{
    pollfd entry{descriptor, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, -1);
        if (ready > 0)
            return true;  // ready, or an error or hang-up that the next call reports
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

bool MustWait(int errorNumber)
{
    return errorNumber == EAGAIN || errorNumber == EWOULDBLOCK;
}

} // namespace

DescriptorDevice::DescriptorDevice(int descriptor, OpenMode mode)
    : m_descriptor(descriptor)
{
    open(mode | Unbuffered);
}

qint64 DescriptorDevice::failed(int errorNumber)
{
    m_errorNumber = errorNumber;
    setErrorString(QString::fromLocal8Bit(std::strerror(errorNumber)));
    return -1;
}

qint64 DescriptorDevice::readData(char *data, qint64 maxSize)
{
    for (;;) {
        const ssize_t got = ::read(m_descriptor, data, size_t(maxSize));
        if (got >= 0)
            return got;
        const int error = errno;
        if (error == EINTR)
            continue;
        if (!MustWait(error))
            return failed(error);
        if (!WaitFor(m_descriptor, POLLIN))
            return failed(errno);
    }
}

qint64 DescriptorDevice::writeData(const char *data, qint64 size)
{
    qint64 written = 0;
    while (written < size) {
        const ssize_t put = ::write(m_descriptor, data + written, size_t(size - written));
        if (put > 0) {
            written += put;
            continue;
        }
        // Nothing written and no error: no progress is to be had.
        const int error = put == 0 ? EIO : errno;
        if (error == EINTR)
            continue;
        if (!MustWait(error))
            return failed(error);
        if (!WaitFor(m_descriptor, POLLOUT))
            return failed(errno);
    }
    return written;
}
