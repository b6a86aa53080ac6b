// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and loading a full layout: the file's bytes and atomic write, then the read,
// parse and apply of the same file.
#include "keytable.h"
#include "ukbfile.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Every slot of every key filled, so the file is as large as the editor makes it.
KeyTableArray FullLayout()
{
    KeyTableArray table;
    ClearKeyTable(table);
    LoadDefaults(table);
    char16_t next = 0x0410;
    for (s_key &key : table) {
        key.caps = QStringLiteral("1");
        for (ShiftState state : AllShiftStates) {
            CharOf(key, state) = QString(QChar(next));
            CodeOf(key, state) = QString::number(next, 16).toUpper().rightJustified(4, u'0');
            ++next;
        }
        key.spare1 = QStringLiteral("s1");
        key.spare2 = QStringLiteral("s2");
        key.spare3 = QStringLiteral("s3");
    }
    SetSpaceBarFixedValues(KeyByNumber(table, SpaceKey));  // as every load leaves it
    return table;
}

template <typename Run>
double MedianMicroseconds(Run run, int runs)
{
    std::vector<double> times;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures {
    double save;
    double load;
};

Figures SaveAndLoad(const QString &folder, const KeyTableArray &layout, int runs)
{
    const QString path = QDir(folder).filePath(QStringLiteral("full.ukb"));
    SaveUkbFile(layout, path);  // warm the file system and the code paths
    const double save = MedianMicroseconds([&] { SaveUkbFile(layout, path); }, runs);
    KeyTableArray table = layout;
    const double load = MedianMicroseconds([&] { ApplyUkb(table, ReadUkbFile(path)); }, runs);
    if (!(table == layout))
        std::printf("warning: the loaded layout differs from the saved one\n");
    return {save, load};
}

} // namespace

int main()
{
    const KeyTableArray layout = FullLayout();
    const int runs = 2000;
    const double bytes = MedianMicroseconds([&] { (void)UkbFileBytes(layout); }, runs);
    KeyTableArray table = layout;
    const QByteArray file = UkbFileBytes(layout);
    const double parse = MedianMicroseconds([&] {
        QByteArray data = file;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        ApplyUkb(table, ReadUkb(buffer, QStringLiteral("memory")));
    }, runs);

    std::printf("full layout, every slot filled, %lld bytes; median of %d runs:\n",
                static_cast<long long>(file.size()), runs);
    std::printf("  file bytes alone:                 %7.1f us\n", bytes);
    std::printf("  read + parse + apply from memory: %7.1f us\n", parse);

    // The atomic write syncs the new file to disk before it replaces the old one, so on a
    // disk the save is mostly the disk's sync; a folder in memory shows the program's part.
    QTemporaryDir onDisk;
    const Figures disk = SaveAndLoad(onDisk.path(), layout, runs);
    std::printf("in %s:\n", qPrintable(QDir::tempPath()));
    std::printf("  save (bytes + atomic write):      %7.1f us (target < 200)\n", disk.save);
    std::printf("  load (read + parse + apply):      %7.1f us (target < 200)\n", disk.load);
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
        QTemporaryDir inMemory(QStringLiteral("/dev/shm/bench_ukb-XXXXXX"));
        const Figures memory = SaveAndLoad(inMemory.path(), layout, runs);
        std::printf("in /dev/shm (memory, the sync costs nothing):\n");
        std::printf("  save (bytes + atomic write):      %7.1f us (target < 200)\n", memory.save);
        std::printf("  load (read + parse + apply):      %7.1f us (target < 200)\n", memory.load);
    }
    return 0;
}
