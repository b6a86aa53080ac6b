// Creating and showing the editor window, next to a bare window of the same size.
#include "editorwindow.h"
#include "tavoapplication.h"

#include <QElapsedTimer>
#include <QTest>

#include <cstdio>

namespace {

template <typename Make>
double MedianMicroseconds(Make make, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        {
            auto window = make();
            window->show();
            QCoreApplication::processEvents();  // first layout and paint
        }
        times.push_back(timer.nsecsElapsed() / 1000.0);
        QCoreApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    TavoApplication app(argc, argv);
    const int runs = 200;
    // Warm both paths once (fonts, style, platform plugin).
    MedianMicroseconds([] { return std::make_unique<TForm1>(); }, 5);
    const double bare = MedianMicroseconds([] {
        auto w = std::make_unique<QWidget>();
        w->setFixedSize(570, 304);
        return w;
    }, runs);
    const double editor = MedianMicroseconds([] { return std::make_unique<TForm1>(); }, runs);
    std::printf("create+show, median of %d runs:\n", runs);
    std::printf("  bare QWidget 570x304: %9.1f us\n", bare);
    std::printf("  editor window:        %9.1f us\n", editor);
    std::printf("  ratio editor/bare:    %9.2f (target <= 1.30)\n", editor / bare);
    return 0;
}
