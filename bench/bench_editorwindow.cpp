// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's start-up against a bare Qt window with the same captions, as a user sees it:
// each is a process of its own that starts, shows its window and is measured until the
// window is exposed and painted. The bare window shows the editor's texts in its fonts and
// places as plain labels (bench_barewindow), so the ratio is what the editor costs beyond
// what any window that shows those texts must pay. Prints the medians of the time from the
// start of the process, its CPU time and its peak resident memory, and the editor's ratios
// to the bare window. Run it on a real window system, for example under xvfb-run.
//
//   bench_editorwindow [RUNS]       runs both RUNS times (21 unless given), alternately
//   bench_editorwindow --child      the editor's start as tavo does it, ending once exposed
//   bench_editorwindow --captions   prints the editor's caption and texts for bench_barewindow
#include "atomicfile.h"
#include "editorwindow.h"
#include "exposurereport.h"
#include "startup.h"
#include "keycell.h"
#include "tavoapplication.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

extern char **environ;

namespace {

struct Start {
    double ms = 0;     // from before the process was spawned until its window was exposed
    double cpuMs = 0;  // user and system time of the process until then
    double peakMiB = 0;
};

// Runs a program to its end; its standard output and the CLOCK_MONOTONIC time before it
// was spawned, in nanoseconds. False when it could not be run or failed.
bool RunProcess(const std::string &program, const std::vector<std::string> &arguments,
                std::string &output, long long &spawnedAtNs)
{
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);

    timespec before{};
    clock_gettime(CLOCK_MONOTONIC, &before);
    spawnedAtNs = before.tv_sec * 1000000000LL + before.tv_nsec;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return false;
    }
    output.clear();
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs one child program and reads its report.
bool RunChild(const std::string &program, const std::vector<std::string> &arguments, Start &start)
{
    std::string report;
    long long spawnedAtNs = 0;
    if (!RunProcess(program, arguments, report, spawnedAtNs))
        return false;
    long long exposedNs = 0;
    long long cpuUs = 0;
    long peakKb = 0;
    const size_t line = report.find("exposed ");
    if (line == std::string::npos
        || std::sscanf(report.c_str() + line, "exposed %lld %lld %ld", &exposedNs, &cpuUs, &peakKb) != 3)
        return false;
    start.ms = (exposedNs - spawnedAtNs) / 1e6;
    start.cpuMs = cpuUs / 1e3;
    start.peakMiB = peakKb / 1024.0;
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Medians {
    double ms;
    double cpuMs;
    double peakMiB;
};

Medians MediansOf(const std::vector<Start> &starts)
{
    std::vector<double> ms, cpu, peak;
    for (const Start &s : starts) {
        ms.push_back(s.ms);
        cpu.push_back(s.cpuMs);
        peak.push_back(s.peakMiB);
    }
    return {Median(ms), Median(cpu), Median(peak)};
}

std::string Beside(const char *self, const char *name)
{
    std::string path = self;
    const size_t slash = path.rfind('/');
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + name;
}

int RunEditorChild(int argc, char *argv[])
{
    // What tavo's main does, with the exposure report.
    InitFileWriting();
    TavoApplication app(argc, argv);
    const std::unique_ptr<TForm1> editor = StartEditor(QString());
    new ExposureReporter(editor.get());
    return app.exec();
}

// The window's caption, then each text it shows as "x y w h<TAB>font<TAB>text", with line
// breaks written as "\\n".
int PrintEditorCaptions(int argc, char *argv[])
{
    TavoApplication app(argc, argv);
    TForm1 editor;
    std::string out = editor.windowTitle().toStdString() + '\n';
    const auto add = [&](QWidget *parent, QRect rect, const QFont &font, QString text) {
        if (text.isEmpty())
            return;
        rect.moveTopLeft(parent->mapTo(&editor, rect.topLeft()));
        out += QStringLiteral("%1 %2 %3 %4\t%5\t%6\n")
                   .arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())
                   .arg(font.toString(), text.replace(u'\n', QStringLiteral("\\n")))
                   .toStdString();
    };
    for (QWidget *widget : editor.findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(&editor))
            continue;
        QWidget *parent = widget->parentWidget();
        if (auto *label = qobject_cast<QLabel *>(widget))
            add(parent, widget->geometry(), widget->font(), label->text());
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            add(parent, widget->geometry(), widget->font(), button->text());
        else if (auto *box = qobject_cast<QGroupBox *>(widget))
            add(parent, widget->geometry(), widget->font(), box->title());
        for (KeyCell *cell : widget->findChildren<KeyCell *>(Qt::FindDirectChildrenOnly)) {
            const QString lines = cell->upperLine() + u'\n' + cell->lowerLine();
            add(widget, cell->geometry(), cell->font(), lines.trimmed());
        }
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return RunEditorChild(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--captions") == 0)
        return PrintEditorCaptions(argc, argv);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::string self = Beside(argv[0], "bench_editorwindow");
    const std::string bare = Beside(argv[0], "bench_barewindow");
    std::string captions;
    long long unused = 0;
    char captionsFile[] = "/tmp/bench_editorwindow-XXXXXX";
    const int fd = mkstemp(captionsFile);
    if (fd < 0 || !RunProcess(self, {"--captions"}, captions, unused)
        || write(fd, captions.data(), captions.size()) != ssize_t(captions.size())) {
        std::fprintf(stderr, "bench_editorwindow: cannot write the editor's captions\n");
        return 1;
    }
    close(fd);
    const std::vector<std::string> bareArguments{captionsFile};
    std::vector<Start> bareStarts, editorStarts;
    // One of each to warm the disk cache and the window system, then both in turn, so that
    // load from other processes falls on both alike.
    Start warm;
    if (!RunChild(bare, bareArguments, warm) || !RunChild(self, {"--child"}, warm)) {
        std::fprintf(stderr, "bench_editorwindow: a child gave no report (is there a window system?)\n");
        return 1;
    }
    for (int i = 0; i < runs; ++i) {
        Start b, e;
        if (!RunChild(bare, bareArguments, b) || !RunChild(self, {"--child"}, e)) {
            std::fprintf(stderr, "bench_editorwindow: a child gave no report\n");
            return 1;
        }
        bareStarts.push_back(b);
        editorStarts.push_back(e);
    }
    unlink(captionsFile);
    const Medians b = MediansOf(bareStarts);
    const Medians e = MediansOf(editorStarts);
    std::printf("start until the window is exposed, %s, median of %d processes each:\n",
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "default platform" : qgetenv("QT_QPA_PLATFORM").constData(),
                runs);
    std::printf("                    %10s %10s %12s\n", "time", "cpu", "peak memory");
    std::printf("  bare window       %7.1f ms %7.1f ms %8.1f MiB\n", b.ms, b.cpuMs, b.peakMiB);
    std::printf("  editor            %7.1f ms %7.1f ms %8.1f MiB\n", e.ms, e.cpuMs, e.peakMiB);
    std::printf("  ratio editor/bare %10.2f %10.2f %12.2f   (target <= 1.05 for time and memory)\n",
                e.ms / b.ms, e.cpuMs / b.cpuMs, e.peakMiB / b.peakMiB);
    return 0;
}
