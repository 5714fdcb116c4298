#pragma once

#include "base/EventPump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QTest>

// Like QTEST_MAIN, but with an isolated environment, and with a prompts double installed
// for the whole run, so that a prompt no test scripted can never open a real dialog.
#define PARVILON_TEST_MAIN(TestClass)                                                              \
    int main(int argc, char* argv[]) {                                                             \
        testsupport::isolateEnvironment();                                                         \
        QApplication application(argc, argv);                                                      \
        application.setQuitOnLastWindowClosed(false);                                              \
        testsupport::ScriptedPrompts fallback;                                                     \
        TestClass test;                                                                            \
        const int failures = QTest::qExec(&test, argc, argv);                                      \
        if (fallback.unexpected > 0) {                                                             \
            qWarning("%d prompt(s) were shown that no test answered", fallback.unexpected);        \
            return failures + 1;                                                                   \
        }                                                                                          \
        return failures;                                                                           \
    }
