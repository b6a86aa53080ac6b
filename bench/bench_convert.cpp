// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One whole `tavo-convert --to klc` run, next to `cat` of the same input in the same run:
// process start, Qt start-up, reading the layout and writing the file.
#include "keytable.h"
#include "ukbfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double MedianMilliseconds(const QString &program, const QStringList &arguments, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        process.waitForFinished(-1);
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (process.exitCode() != 0) {
            std::fprintf(stderr, "%s failed\n", qPrintable(program));
            return -1;
        }
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // A full layout: every state of every key holds a character.
    KeyTableArray table;
    LoadDefaults(table);
    for (s_key &key : table) {
        for (ShiftState state : AllShiftStates) {
            const char16_t unit = char16_t(0x0410 + key.cell + int(state));
            CharOf(key, state) = QString(QChar(unit));
            CodeOf(key, state) = QStringLiteral("%1").arg(int(unit), 4, 16, QLatin1Char('0')).toUpper();
        }
    }
    const QString input = dir.filePath(QStringLiteral("full.ukb"));
    QFile file(input);
    file.open(QIODevice::WriteOnly);
    file.write(UkbFileBytes(table));
    file.close();

    const QString convert = QCoreApplication::applicationDirPath() + QStringLiteral("/tavo-convert");
    const int runs = 100;
    const double cat = MedianMilliseconds(QStringLiteral("cat"), {input}, runs);
    const double klc = MedianMilliseconds(
        convert, {QStringLiteral("--to"), QStringLiteral("klc"), input, dir.filePath(QStringLiteral("out.klc"))}, runs);
    std::printf("one whole run, median of %d:\n", runs);
    std::printf("  cat full.ukb:                  %7.2f ms\n", cat);
    std::printf("  tavo-convert --to klc:         %7.2f ms (target < 20 ms)\n", klc);
    std::printf("  ratio tavo-convert/cat:        %7.2f\n", klc / cat);
    return 0;
}
