#pragma once

namespace platform {
class Clipboard;
class DesktopShell;
class Folders;
class Prompts;
class SpreadsheetApplication;
} // namespace platform

namespace base {

class ErrorSink;

// The services of the desktop the program uses, made once in main and handed to what needs
// them; tests hand in doubles of their own.
struct Services {
    platform::Prompts& prompts;
    platform::Clipboard& clipboard;
    platform::DesktopShell& shell;
    platform::SpreadsheetApplication& spreadsheet;
    platform::Folders& folders;
    ErrorSink& errors;
};

} // namespace base
