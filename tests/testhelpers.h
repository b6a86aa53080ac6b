// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small helpers that the core, widget and converter tests share: whole files in and out,
// UTF-16LE bytes, the message of an OperationError, and a file-size limit.

#include "operationerror.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <csignal>
#include <functional>
#include <sys/resource.h>

// ---- Files

// The whole content of a file; empty if it cannot be read.
inline QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Creates or replaces a file with these bytes; false if that failed.
inline bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Everything in a folder but "." and "..".
inline QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

// The UTF-16LE code units of a text as held (lone surrogates too), without a byte-order mark.
inline QByteArray Utf16LeUnits(const QString &text)
{
    QByteArray bytes;
    for (QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

// The message of the OperationError the operation throws; empty if it throws none.
inline QString ErrorOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const OperationError &error) {
        return error.message();
    }
    return QString();
}

// Lowers the file-size limit for its lifetime, so a write fails halfway for root as for
// anyone. SIGXFSZ is ignored meanwhile: the write then fails with EFBIG instead of ending
// the process. Both are put back by the destructor, even when a check fails in between.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
        : m_saved()
        , m_savedOk(getrlimit(RLIMIT_FSIZE, &m_saved) == 0)
        , m_oldHandler(signal(SIGXFSZ, SIG_IGN))
    {
        struct rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_active = m_savedOk && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_savedOk)
            setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // Whether the lower limit is in force.
    bool isActive() const { return m_active; }

private:
    struct rlimit m_saved;
    bool m_savedOk;
    bool m_active = false;
    void (*m_oldHandler)(int);
};
