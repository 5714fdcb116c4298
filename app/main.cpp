#include "app/Form1.h"
#include "extract/ExtractionRun.h"
#include "filelist/FileList.h"
#include "output/ResultsTable.h"
#include "output/WorkbookFolder.h"
#include "platform/QtPrompts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Desktops find the program's entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.parvilon.Parvilon"));
    // Workbooks handed to the spreadsheet application are kept for two weeks.
    output::removeOldWorkbooks(QDateTime::currentDateTime());
    app::Form1 window;
    platform::setDialogParent(&window);
    filelist::attachFileList(window);
    output::attachResultsTable(window);
    extract::attachExtraction(window);
    window.Form_Load();
    window.showCentred();
    return QApplication::exec();
}
