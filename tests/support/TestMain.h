#pragma once

#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestServices.h"

#include <QApplication>
#include <QTest>

// Like QTEST_MAIN, but with an isolated environment. Nothing of the program opens a real
// dialog in a test: every prompt goes through the services the test hands in.
#define PARVILON_TEST_MAIN(TestClass)                                                              \
    int main(int argc, char* argv[]) {                                                             \
        testsupport::isolateEnvironment();                                                         \
        QApplication application(argc, argv);                                                      \
        application.setQuitOnLastWindowClosed(false);                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
