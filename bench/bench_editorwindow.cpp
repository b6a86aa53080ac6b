// Creating and showing the editor window, next to a bare window of the same size.
// Run it on a real window system (for example under xvfb-run); on the offscreen platform a
// bare window costs next to nothing and only the editor's own work is measured.
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
            // Until the window system has the window on screen and it was painted.
            (void)QTest::qWaitForWindowExposed(window.get());
            QCoreApplication::processEvents();
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
    std::printf("create+show on \"%s\", median of %d runs:\n", qPrintable(QGuiApplication::platformName()), runs);
    std::printf("  bare QWidget 570x304: %9.1f us\n", bare);
    std::printf("  editor window:        %9.1f us\n", editor);
    std::printf("  ratio editor/bare:    %9.2f (target <= 1.30)\n", editor / bare);
    return 0;
}
