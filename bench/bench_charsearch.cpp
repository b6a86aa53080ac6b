// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The character search: opening the character table (which must not read the names),
// giving its search field the focus (which reads ICU's names, once the focus is drawn), the
// first keystroke and later ones, and the search alone over all 65,504 codes with a fresh
// finder.
//
// Each figure is wall time and, in brackets, the CPU time of the thread: on a busy
// machine the wall time also holds the time other processes ran. With --cold-search it
// prints only the first search of the process, without a window.
#include "charsearch.h"
#include "charsearchfield.h"
#include "chartablewindow.h"
#include "tavoapplication.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

struct Time {
    double wall = 0;  // ms
    double cpu = 0;   // ms
};

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

template <typename Work>
Time Measure(Work work)
{
    const double cpuBefore = ThreadCpuMs();
    QElapsedTimer timer;
    timer.start();
    work();
    return {timer.nsecsElapsed() / 1e6, ThreadCpuMs() - cpuBefore};
}

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The median by wall time of each, wall and CPU apart.
Time Median(std::vector<Time> times)
{
    std::vector<double> wall, cpu;
    for (const Time &t : times) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

Time Slowest(const std::vector<Time> &times)
{
    Time slowest;
    for (const Time &t : times) {
        slowest.wall = std::max(slowest.wall, t.wall);
        slowest.cpu = std::max(slowest.cpu, t.cpu);
    }
    return slowest;
}

const char *Shown(Time t)
{
    static char text[64];
    std::snprintf(text, sizeof text, "%8.2f ms (%6.2f ms cpu)", t.wall, t.cpu);
    return text;
}

const char Typed[] = "cyr small i";

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TavoApplication app(argc, argv);

    if (app.arguments().contains(QStringLiteral("--cold-search"))) {
        // The search alone, first in the process: ICU's name data are touched only now.
        CharFinder finder;
        const Time t = Measure([&] { finder.find(QStringLiteral("c")); });
        std::printf("first search in the process, core only (reads the names): %s\n", Shown(t));
        return 0;
    }

    std::unique_ptr<TForm2> form;
    const auto open = [](std::unique_ptr<TForm2> &window) {
        return Measure([&] {
            window = std::make_unique<TForm2>();
            window->show();
            Settle();
        });
    };
    const Time firstOpening = open(form);
    std::vector<Time> openings;
    for (int i = 0; i < 11; ++i) {
        std::unique_ptr<TForm2> other;
        openings.push_back(open(other));
    }
    auto *field = form->findChild<CharSearchField *>(QStringLiteral("SearchEdit"));
    std::printf("opening the character table (create, show, first paint):\n");
    std::printf("  first in the process       %s\n", Shown(firstOpening));
    std::printf("  median of %zu later         %s\n", openings.size(), Shown(Median(openings)));
    std::printf("  names read by opening:     %s\n", field->finder().isIndexed() ? "yes (wrong)" : "no");

    form->activateWindow();
    (void)QTest::qWaitForWindowActive(form.get());
    const Time focus = Measure([&] {
        field->setFocus(Qt::MouseFocusReason);
        Settle();
    });
    std::printf("\ngiving the search field the focus: %s   names read: %s\n", Shown(focus),
                field->finder().isIndexed() ? "yes" : "no (wrong)");
    std::printf("\ntyping \"%s\" into the search field (search, list, paint):\n", Typed);
    std::vector<Time> later;
    Time firstKey;
    for (const char *key = Typed; *key; ++key) {
        const Time t = Measure([&] {
            QTest::keyClick(field, *key);
            Settle();
        });
        std::printf("  %-14s %s%s\n", qPrintable(QLatin1String(Typed, key - Typed + 1)), Shown(t),
                    key == Typed ? "   the first keystroke" : "");
        (key == Typed ? firstKey : later.emplace_back()) = t;
    }
    std::printf("  first keystroke            %s   (target under 15 ms cpu)\n", Shown(firstKey));
    std::printf("  later keystrokes, median   %s\n", Shown(Median(later)));
    std::printf("  later keystrokes, slowest  %s\n", Shown(Slowest(later)));

    std::printf("\none search over all 65,504 codes, core only:\n");
    std::vector<Time> fresh;
    for (int i = 0; i < 11; ++i) {
        CharFinder finder;
        fresh.push_back(Measure([&] { finder.find(QStringLiteral("c")); }));
    }
    std::printf("  first search of a new finder (reads the names), median of %zu:\n    %s\n",
                fresh.size(), Shown(Median(fresh)));
    CharFinder finder;
    finder.find(QStringLiteral("c"));
    const char *const queries[] = {"c", "e", "cyr", "cyr small i", "letter", "cjk", "euro",
                                   "latin small letter a with", "no-break", "U+20AC", "20ac", "xyzzy"};
    std::vector<Time> searches;
    for (const char *query : queries) {
        std::vector<Time> runs;
        qsizetype rows = 0;
        for (int i = 0; i < 21; ++i)
            runs.push_back(Measure([&] { rows = finder.find(QString::fromLatin1(query)).matches.size(); }));
        searches.push_back(Median(runs));
        std::printf("  %-27s %s  %4lld rows\n", query, Shown(searches.back()), qlonglong(rows));
    }

    const Time worst = Slowest({firstKey, Slowest(later), Median(fresh), Slowest(searches)});
    std::printf("\ntarget under 15 ms a keystroke, the first one included: %s by wall time, %s by CPU time\n",
                worst.wall < 15.0 ? "met" : "missed", worst.cpu < 15.0 ? "met" : "missed");
    return 0;
}
