// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Switching the character table to " UCS-2 " (fill and first paint) and scrolling to the
// last row, next to the same work done by a QTableWidget that holds one item per cell.
#include "chartablemodel.h"
#include "chartablewindow.h"
#include "dialogseam.h"
#include "tavoapplication.h"

#include <QHeaderView>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>

#include <QElapsedTimer>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const QFont GridFont(QStringLiteral("Liberation Sans"), 10);

// Confirms every font dialog with the same font, so no one has to.
class BenchDialogs final : public DialogSeam
{
public:
    bool runFileDialog(QWidget *, FileDialogSettings &) override { return false; }
    std::optional<QFont> chooseFont(QWidget *, const QFont &) override { return GridFont; }
    void showMessage(QWidget *, const QString &) override {}
    void showError(QWidget *, const QString &) override {}
    SaveChangesAnswer askSaveChanges(QWidget *, const QString &) override { return SaveChangesAnswer::Cancel; }
    std::optional<QString> askText(QWidget *, const QString &, const QString &) override { return std::nullopt; }
    bool askYesNo(QWidget *, const QString &) override { return false; }
    std::optional<QString> chooseItem(QWidget *, const QString &, const QStringList &) override { return std::nullopt; }
    std::optional<XkbLayoutInfo> chooseXkbLayout(QWidget *, const QList<XkbLayoutInfo> &,
                                                 const std::optional<XkbLayoutInfo> &) override { return std::nullopt; }
    void showReport(QWidget *, const QString &, const QStringList &) override {}
    void showAbout(QWidget *, const QString &, const QString &) override {}
};

// Counts the paints of the grid, to show that the measured work included painting.
class PaintCounter final : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

long ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * 4096;
}

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

struct Run {
    double microseconds = 0;
    double heapGrowth = 0;     // bytes still allocated after the work
    double residentGrowth = 0;
    int paints = 0;
};

struct Setup {
    std::unique_ptr<QWidget> window;
    QAbstractItemView *view = nullptr;
    std::function<void()> switchToUcs2;
};

// Builds a window in its " Default " state, shown and painted, then measures the switch
// and the scroll to the bottom.
template <typename Build>
Run Measure(Build build)
{
    Setup setup = build();
    setup.window->show();
    Settle();
    PaintCounter counter;
    setup.view->viewport()->installEventFilter(&counter);

    malloc_trim(0);
    const size_t heapBefore = HeapInUse();
    const long residentBefore = ResidentBytes();
    QElapsedTimer timer;
    timer.start();
    setup.switchToUcs2();
    Settle();  // layout and first paint
    setup.view->scrollToBottom();
    Settle();  // paint of the last rows
    Run run;
    run.microseconds = timer.nsecsElapsed() / 1000.0;
    run.heapGrowth = double(HeapInUse()) - double(heapBefore);
    run.residentGrowth = double(ResidentBytes() - residentBefore);
    run.paints = counter.paints;
    if (setup.view->verticalScrollBar()->value() != setup.view->verticalScrollBar()->maximum())
        std::printf("warning: the view did not reach its last row\n");
    setup.view->viewport()->removeEventFilter(&counter);
    return run;
}

Setup CharTable()
{
    auto form = std::make_unique<TForm2>();
    Setup setup;
    setup.view = form->findChild<QTableView *>(QStringLiteral("TntSG1"));
    QRadioButton *ucs2 = form->findChild<QRadioButton *>(QStringLiteral("RB22"));
    setup.switchToUcs2 = [ucs2] { ucs2->setChecked(true); };
    setup.window = std::move(form);
    return setup;
}

Setup ItemTable()
{
    auto table = std::make_unique<QTableWidget>(CharTableRows(CharSet::Default), CharTableColumns);
    table->setFixedSize(826, 190);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->horizontalHeader()->setDefaultSectionSize(24);
    table->verticalHeader()->setDefaultSectionSize(25);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const auto fill = [](QTableWidget *t, CharSet charSet) {
        for (int row = 0; row < t->rowCount(); ++row) {
            for (int column = 0; column < CharTableColumns; ++column)
                t->setItem(row, column, new QTableWidgetItem(CellText(CellCode(row, column), charSet)));
        }
    };
    fill(table.get(), CharSet::Default);
    Setup setup;
    setup.view = table.get();
    QTableWidget *t = table.get();
    setup.switchToUcs2 = [t, fill] {
        t->setRowCount(CharTableRows(CharSet::Ucs2));
        t->setFont(GridFont);
        fill(t, CharSet::Ucs2);
    };
    setup.window = std::move(table);
    return setup;
}

template <typename Build>
Run MedianOf(int runs, Build build)
{
    std::vector<Run> all;
    for (int i = 0; i < runs; ++i)
        all.push_back(Measure(build));
    std::sort(all.begin(), all.end(), [](const Run &a, const Run &b) { return a.microseconds < b.microseconds; });
    Run median = all[all.size() / 2];
    std::vector<double> heaps;
    for (const Run &run : all)
        heaps.push_back(run.heapGrowth);
    std::sort(heaps.begin(), heaps.end());
    median.heapGrowth = heaps[heaps.size() / 2];
    return median;
}

void Print(const char *name, const Run &run)
{
    std::printf("  %-28s %10.1f us  heap %+10.1f KiB  resident %+10.1f KiB  paints %d\n", name,
                run.microseconds, run.heapGrowth / 1024.0, run.residentGrowth / 1024.0, run.paints);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TavoApplication app(argc, argv);
    BenchDialogs dialogs;
    SetDialogs(&dialogs);

    // Warm fonts, style and glyph caches on both paths.
    Measure(CharTable);
    Measure(ItemTable);

    const int ourRuns = 21, itemRuns = 5;
    const Run ours = MedianOf(ourRuns, CharTable);
    const Run items = MedianOf(itemRuns, ItemTable);

    std::printf("switch to UCS-2 (65,504 cells, fill and first paint) and scroll to the last row:\n");
    std::printf("median of %d runs (character table) and %d runs (QTableWidget)\n", ourRuns, itemRuns);
    Print("character table (model):", ours);
    Print("QTableWidget, 65,504 items:", items);
    std::printf("  ratio QTableWidget/ours: time %.1fx, heap %.1fx\n", items.microseconds / ours.microseconds,
                items.heapGrowth / std::max(ours.heapGrowth, 1.0));
    std::printf("  targets for ours: under 5 ms (%s), under 1 MiB heap growth (%s)\n",
                ours.microseconds < 5000 ? "met" : "missed",
                ours.heapGrowth < 1024.0 * 1024.0 ? "met" : "missed");
    SetDialogs(nullptr);
    return 0;
}
