// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Import of a system XKB layout (compile with libxkbcommon, read 49 keys at four levels,
// the Caps Lock check, the dead keys' pairs from the system's compose table, which is read
// once per process) and of a KLC file (read, decode, parse), each with its apply to the
// key table as the editor does it.
#include "klcfile.h"
#include "klcimport.h"
#include "xkbimport.h"
#include "xkbkeymap.h"
#include "xkbregistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

template <typename Run>
double MedianMilliseconds(Run run, int runs)
{
    std::vector<double> times;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    KeyTableArray table;
    ClearKeyTable(table);
    LoadDefaults(table);

    const int xkbRuns = 50;
    std::printf("median of %d runs each:\n", xkbRuns);
    for (const char *name : {"us", "ru", "de", "de(neo)"}) {
        const XkbLayoutInfo info = *ParseXkbLayoutName(QString::fromLatin1(name));
        const double xkb = MedianMilliseconds([&] {
            ApplyLayoutImport(table, ImportXkbLayout(info.layout, info.variant).table);
        }, xkbRuns);
        // The share of libxkbcommon's compile, and the reading of the compiled keymap.
        const double compile = MedianMilliseconds([&] { CompileXkbLayout(info.layout, info.variant); }, xkbRuns);
        const XkbKeymapPtr keymap = CompileXkbLayout(info.layout, info.variant);
        const double read = MedianMilliseconds([&] {
            ApplyLayoutImport(table, ImportXkbKeymap(keymap.get(), info.fullName()).table);
        }, xkbRuns);
        int deadKeys = 0;
        for (const s_key &key : table) {
            for (const ShiftState state : AllShiftStates)
                deadKeys += DeadOf(key, state) ? 1 : 0;
        }
        std::printf("  system layout %-8s import + apply: %6.2f ms (target < 20); libxkbcommon's "
                    "compile alone %6.2f ms, reading the keymap + apply %5.2f ms; %d dead keys\n",
                    name, xkb, compile, read, deadKeys);
    }

    // A KLC file as the export writes it, from the layout just imported.
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("layout00.klc"));
    SaveKlcFile(table, KlcProperties(), path);
    const int klcRuns = 500;
    const double klc = MedianMilliseconds([&] { ApplyLayoutImport(table, ImportKlcFile(path).table); }, klcRuns);
    std::printf("  KLC file (%d runs)    read + import + apply: %6.2f ms (target < 20)\n", klcRuns, klc);
    return 0;
}
