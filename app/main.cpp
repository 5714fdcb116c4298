#include "app/MainWindow.h"
#include "base/Services.h"
#include "gui/ErrorBoxes.h"
#include "gui/QtPrompts.h"
#include "output/WorkbookFolder.h"
#include "platform/Clipboard.h"
#include "platform/DesktopShell.h"
#include "platform/Folders.h"
#include "platform/OpenFileLimit.h"
#include "platform/SpreadsheetApplication.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QDateTime>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    platform::raiseOpenFileLimit();
    // Desktops find the program's entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.parvilon.Parvilon"));
    // Workbooks handed to the spreadsheet application are kept for two weeks.
    output::removeOldWorkbooks(QDateTime::currentDateTime());

    // The desktop's services, made once here and handed to what needs them.
    gui::QtPrompts prompts;
    platform::DesktopClipboard clipboard;
    platform::QtDesktopShell shell;
    platform::DesktopSpreadsheet spreadsheet;
    platform::SystemFolders folders;
    gui::ErrorBoxes errors;
    const base::Services services{prompts, clipboard, shell, spreadsheet, folders, errors};

    app::MainWindow window(services, prompts);
    prompts.setParentWindow(&window);
    errors.setParentWindow(&window);
    window.load();
    window.showCentred();
    // Asked to end from outside, the program ends as closing the window ends it.
    platform::onTerminationSignals([&window](int) { window.close(); });
    return QApplication::exec();
}
