// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The test classes of one test program. Each folder of tests is one program; a source file
// registers its class with TAVO_TEST(TestClass), and testmain.cpp runs one class, named by
// the first argument (as CTest does, so that every class runs in a process of its own), or
// all of them.

#include <QObject>

#include <memory>

using TestClassFactory = std::unique_ptr<QObject> (*)();
bool RegisterTestClass(const char *name, TestClassFactory make);

#define TAVO_TEST(TestClass)                                                                  \
    static const bool TestClass##Registered = RegisterTestClass(                              \
        #TestClass, []() -> std::unique_ptr<QObject> { return std::make_unique<TestClass>(); });

// A way for a test to run its own program as a helper process: `program FLAG ARGS...` calls
// run(argc, argv) with argv[1] the flag, before any application object exists.
using TestChildMode = int (*)(int argc, char *argv[]);
bool RegisterTestChildMode(const char *flag, TestChildMode run);

#define TAVO_TEST_CHILD_MODE(flag, ...)                                                       \
    static const bool TestChildModeRegistered = RegisterTestChildMode(flag, __VA_ARGS__);
