// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The time of one picture export of a full layout, in memory: drawing and encoding, no disk.
#include "keyboardpicture.h"
#include "keytable.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Figures {
    double median;
    double best;
    qsizetype bytes;
};

Figures Measure(const KeyTableArray &table, PictureFormat format, int runs)
{
    // The first export loads the fonts; it is not counted.
    qsizetype bytes = KeyboardPictureBytes(table, QStringLiteral("full.ukb"), format).size();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        bytes = KeyboardPictureBytes(table, QStringLiteral("full.ukb"), format).size();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), bytes};
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // A full layout: every state of every key holds a character.
    KeyTableArray table;
    LoadDefaults(table);
    for (s_key &key : table) {
        key.caps = QStringLiteral("0");
        for (ShiftState state : AllShiftStates)
            CharOf(key, state) = QString(QChar(char16_t(0x0410 + key.cell + int(state))));
    }

    const Figures svg = Measure(table, PictureFormat::Svg, 50);
    std::printf("SVG export: %.2f ms median, %.2f ms best of 50 (%lld bytes; target under 30 ms)\n",
                svg.median, svg.best, static_cast<long long>(svg.bytes));
    const Figures png = Measure(table, PictureFormat::Png, 10);
    std::printf("PNG export: %.2f ms median of 10 (%lld bytes)\n", png.median, static_cast<long long>(png.bytes));
    const Figures pdf = Measure(table, PictureFormat::Pdf, 10);
    std::printf("PDF export: %.2f ms median of 10 (%lld bytes)\n", pdf.median, static_cast<long long>(pdf.bytes));
    return 0;
}
