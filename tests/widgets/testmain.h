#pragma once

#include "tavoapplication.h"

#include <QStyleHints>
#include <QTest>

// Like QTEST_MAIN, but with the program's own application object. Tests click at machine
// speed, right after a window appears, while the character table drops presses that come
// within the double-click interval of its showing; the interval is therefore zero here,
// and the test of that rule sets its own.
#define TAVO_TEST_MAIN(TestObject)                                                       \
    int main(int argc, char *argv[])                                                     \
    {                                                                                    \
        TavoApplication app(argc, argv);                                                 \
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(0);                   \
        TestObject test;                                                                 \
        return QTest::qExec(&test, argc, argv);                                          \
    }
