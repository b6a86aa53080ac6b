// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Golden files: what Tavo writes for a sample layout, kept in tests/data/golden and compared
// byte for byte. After a deliberate change of a format, run the tests with
// TAVO_UPDATE_GOLDEN=1: they then rewrite the files instead, and the change shows as a diff.

#include "testhelpers.h"

#include <QByteArray>
#include <QString>
#include <QTest>

inline QString GoldenFilePath(const QString &name)
{
    return QStringLiteral(TAVO_TEST_DATA "/golden/") + name;
}

// Compares the bytes with the golden file NAME, or writes them to it when TAVO_UPDATE_GOLDEN
// is 1; a difference or a missing file fails the running test at file and line.
inline bool CompareGoldenFile(const QByteArray &actual, const QString &name, const char *file, int line)
{
    const QString path = GoldenFilePath(name);
    const auto fail = [&](const QString &message) {
        QTest::qFail(qPrintable(message), file, line);
        return false;
    };
    if (qEnvironmentVariable("TAVO_UPDATE_GOLDEN") == u"1") {
        qInfo("Writing golden test output to: %s", qPrintable(path));
        return WriteAll(path, actual) || fail(QStringLiteral("Cannot write %1").arg(path));
    }
    if (!QFile::exists(path))
        return fail(QStringLiteral("No golden file %1; run the test with TAVO_UPDATE_GOLDEN=1 to write it").arg(path));
    const QByteArray expected = ReadAll(path);
    if (actual == expected)
        return true;
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return fail(QStringLiteral("%1 differs from what was written at byte %2 (it holds %3 bytes, %4 were "
                               "written); if the change is meant, run the test with TAVO_UPDATE_GOLDEN=1 "
                               "and review the diff")
                    .arg(path).arg(at).arg(expected.size()).arg(actual.size()));
}

#define TAVO_COMPARE_GOLDEN(actual, name)                                                      \
    do {                                                                                       \
        if (!CompareGoldenFile((actual), (name), __FILE__, __LINE__))                          \
            return;                                                                            \
    } while (false)
