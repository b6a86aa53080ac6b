#pragma once

#include "tavoapplication.h"

#include <QTest>

// Like QTEST_MAIN, but with the program's own application object, so the tests see the
// same top-level error handling as the program.
#define TAVO_TEST_MAIN(TestObject)                                                       \
    int main(int argc, char *argv[])                                                     \
    {                                                                                    \
        TavoApplication app(argc, argv);                                                 \
        TestObject test;                                                                 \
        return QTest::qExec(&test, argc, argv);                                          \
    }
