// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIODevice>

// An open file descriptor as a sequential QIODevice, for standard input and output and
// for files that are not regular (a FIFO, a terminal, a device). The descriptor is not
// closed by the device.
//
// A descriptor left non-blocking by whoever opened it is waited on (poll) instead of
// failing with EAGAIN, so an empty pipe is read once data arrive and a full one is
// written once it drains. An interrupted call is repeated. A read or write error gives
// -1, with errorNumber() and errorString() saying why; the end of the input gives 0.
class DescriptorDevice : public QIODevice
{
public:
    explicit DescriptorDevice(int descriptor, OpenMode mode);

    bool isSequential() const override { return true; }
    // The errno of the last failed read or write; 0 if none failed.
    int errorNumber() const { return m_errorNumber; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    qint64 failed(int errorNumber);

    int m_descriptor;
    int m_errorNumber = 0;
};
