// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// For the start-up benchmark's child processes: once the window has been exposed and
// painted, prints one line, "exposed NS CPU_US PEAK_KB" (CLOCK_MONOTONIC at that moment,
// the process's user and system CPU time, its peak resident memory), and ends the process
// without tearing the window down.

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

inline long PeakResidentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

[[noreturn]] inline void ReportExposedAndExit()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long long cpuUs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL
        + usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    std::printf("exposed %lld %lld %ld\n", now.tv_sec * 1000000000LL + now.tv_nsec, cpuUs, PeakResidentKb());
    std::fflush(stdout);
    std::_Exit(0);
}

// Reports once the window's first expose event has been handled, that is painted: the
// event is delivered here and the report follows at once, before anything the program
// queued for later.
class ExposureReporter : public QObject
{
public:
    explicit ExposureReporter(QWidget *window) : QObject(window)
    {
        window->windowHandle()->installEventFilter(this);
        if (window->windowHandle()->isExposed())
            ReportExposedAndExit();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Expose || !static_cast<QWindow *>(watched)->isExposed())
            return false;
        watched->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        ReportExposedAndExit();
    }
};
