// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the built tavo-convert (TAVO_CONVERT) as a child process.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

struct Run {
    int exitCode = -1;  // -1 when the converter did not start or did not exit normally
    QByteArray out;
    QByteArray err;
};

struct RunOptions {
    QByteArray input;               // written to its standard input, unless inputFile is set
    QString inputFile;              // a file given as its standard input
    std::function<void()> childSetup;  // runs in the child, its standard streams in place
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

inline Run Convert(const QStringList &arguments, const RunOptions &options = {})
{
    QProcess process;
    process.setProcessEnvironment(options.environment);
    if (options.childSetup)
        process.setChildProcessModifier(options.childSetup);
    if (!options.inputFile.isEmpty())
        process.setStandardInputFile(options.inputFile);
    process.start(QStringLiteral(TAVO_CONVERT), arguments);
    if (!process.waitForStarted())
        return {};
    if (options.inputFile.isEmpty()) {
        process.write(options.input);
        process.closeWriteChannel();
    }
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

inline Run Convert(const QStringList &arguments, const QByteArray &input)
{
    RunOptions options;
    options.input = input;
    return Convert(arguments, options);
}
