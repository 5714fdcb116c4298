#pragma once

#include <QString>

namespace testsupport {

// Gives the test process settings, runtime and cache folders of its own, so no test ever
// touches the real user's settings. Call before the application object exists.
void isolateEnvironment();

// Removes every stored setting of the program.
void clearSettings();

// The whole settings file as the store wrote it.
QString settingsFileText();

// The project's source folder.
QString sourceDir();

} // namespace testsupport
