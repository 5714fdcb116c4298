#pragma once

#include <QString>

namespace platform {

// The desktop's spreadsheet application: LibreOffice Calc when it is on the PATH, otherwise
// whatever the desktop opens .xlsx files with.
class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;
    // Whether there is an application that opens workbooks.
    virtual bool isInstalled() = 0;
    // Shows the workbook at path: LibreOffice as a new, unsaved document; another
    // application opens the file itself, so the caller hands it over read-only.
    // False with a reason when it cannot be opened.
    virtual bool open(const QString& path, QString& error) = 0;
};

// The desktop's: LibreOffice when it is there, else the default application for workbooks.
class DesktopSpreadsheet final : public SpreadsheetApplication {
public:
    bool isInstalled() override;
    bool open(const QString& path, QString& error) override;
};

} // namespace platform
