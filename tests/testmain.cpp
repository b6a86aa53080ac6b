// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main function of every test program: the application object its folder needs, then
// the registered test classes, one named by the first argument or all in turn. Further
// arguments go to Qt Test (-o, test function names).

#include "testregistry.h"

#include <QTest>

#include <map>
#include <string>
#include <vector>

#if defined(TAVO_TEST_WIDGETS)
#include "tavoapplication.h"
#include <QStyleHints>
#include <QFile>
#include <QTemporaryDir>
#elif defined(TAVO_TEST_GUI)
#include <QGuiApplication>
#else
#include <QCoreApplication>
#endif

namespace {

std::map<std::string, TestClassFactory> &Registry()
{
    static std::map<std::string, TestClassFactory> registry;
    return registry;
}

std::map<std::string, TestChildMode> &ChildModes()
{
    static std::map<std::string, TestChildMode> modes;
    return modes;
}

} // namespace

bool RegisterTestClass(const char *name, TestClassFactory make)
{
    Registry().emplace(name, make);
    return true;
}

bool RegisterTestChildMode(const char *flag, TestChildMode run)
{
    ChildModes().emplace(flag, run);
    return true;
}

int main(int argc, char *argv[])
{
    if (argc > 1 && ChildModes().count(argv[1]))
        return ChildModes().at(argv[1])(argc, argv);

#if defined(TAVO_TEST_WIDGETS)
    // The windows keep settings (the recent files) under $XDG_CONFIG_HOME: never the real
    // one's. Settings find their folder once, at their first use, which is after this.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    TavoApplication app(argc, argv);
    // Tests click at machine speed, right after a window appears, while the character
    // table drops presses that come within the double-click interval of its showing; the
    // interval is therefore zero here, and the test of that rule sets its own.
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(0);
#elif defined(TAVO_TEST_GUI)
    QGuiApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif

    std::vector<char *> args(argv, argv + argc);
    std::vector<std::string> names;
    if (argc > 1 && Registry().count(argv[1])) {
        names.push_back(argv[1]);
        args.erase(args.begin() + 1);
    } else {
        for (const auto &[name, make] : Registry())
            names.push_back(name);
    }
    int failures = 0;
    for (const std::string &name : names) {
        const std::unique_ptr<QObject> test = Registry().at(name)();
        failures += QTest::qExec(test.get(), int(args.size()), args.data());
    }
    return failures;
}
