#include "app/MainWindow.h"
#include "base/EventPump.h"
#include "gui/ModalWindows.h"
#include "gui/QtPrompts.h"
#include "output/WorkbookFolder.h"
#include "platform/OpenFileLimit.h"
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
    gui::QtPrompts prompts;
    platform::installPrompts(&prompts);
    gui::installModalWindows(&prompts);
    app::MainWindow window;
    gui::setDialogParent(&window);
    window.load();
    window.showCentred();
    // Asked to end from outside, the program ends as closing the window ends it.
    platform::onTerminationSignals([] { base::endProgram(); });
    return QApplication::exec();
}
