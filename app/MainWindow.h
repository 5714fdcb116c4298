#pragma once

#include "app/MainWindowLayout.h"
#include "app/SaveTypes.h"
#include "base/FileListModel.h"
#include "base/Progress.h"
#include "base/ResultsModel.h"
#include "base/Services.h"
#include "extract/RunOptions.h"

#include <QCursor>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace base {
class BackgroundWork;
class ErrorReport;
} // namespace base

namespace extract {
class ExtractionRun;
}

namespace filelist {
class DroppedPathsIntake;
class FolderTreeScan;
} // namespace filelist

namespace gui {
class ModalWindows;
class PaintPacer;
class ResultsProxy;
} // namespace gui

namespace app {

// The main window: the file list, the buttons that fill it, the property and run buttons,
// the password option, the results and their ways out, and a progress bar. It holds the two
// models and hands each button's work to its subsystem.
//
// Long work (a folder scan, the run, a save, an export, a copy) goes on while the window
// answers; what may happen meanwhile is decided here, by what is going on: the file list
// does not shrink and no second run starts while anything goes on, one scan and one output
// go at a time, and closing the window ends everything at once, leaving no tool and no
// temporary file behind.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(const base::Services& services, gui::ModalWindows& modalWindows,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence, run once before the window is first shown.
    void load();
    // Shows the window where it was last, or centred at its designed size, and within the
    // screen's available area.
    void showCentred();

    base::FileListModel& fileList() { return files; }
    base::ResultsModel& results() { return resultsModel; }
    // The results as shown: filtered and in the order shown.
    gui::ResultsProxy& shownResults() { return *shown; }
    const MainWindowControls& controls() const { return ui; }
    // Whether long work is going on (the window shows the hourglass).
    bool isBusy() const;
    // The hand cursor loaded at start-up, if any.
    const std::optional<QCursor>& customCursor() const { return handCursor; }
    // The limits the run gives each tool; tests shorten them.
    extract::RunLimits runLimits;
    // How many tools read files at once; tests pin it to make timings predictable.
    int parallelTools = extract::RunOptions::defaultParallelTools();
    // A process of the tool for every file even when it can serve many: benchmarks compare both.
    bool processPerFile = false;

signals:
    // Long work has begun or ended; the window is busy or idle again.
    void busyChanged(bool busy);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Which rows of the results the user means: the selected ones, in the order shown.
    QList<int> selectedResultRows() const;
    // Progress shown in the window's progress bar.
    class BarProgress final : public base::Progress {
    public:
        explicit BarProgress(gui::TextProgressBar*& shownIn) : bar(shownIn) {}
        void setValue(int value) override;
        int value() const override;
        void setText(const QString& text) override;
        QString text() const override;

    private:
        gui::TextProgressBar*& bar;
    };

    // Connects a button to its handler; location names the handler in error reports.
    void onClick(QPushButton* button, const char* location,
                 std::function<void(const base::ErrorReport&)> handler);
    void connectHandlers();
    void setUpViews();
    void followCursorRules();
    void setPasswordOptionFromSettings();
    void showBusyState();
    void deleteSelectedResults();
    void removeSelectedFile();
    void clearFileList(const base::ErrorReport& errors);
    void connectShortcuts();
    // Stops what the progress bar shows: the run or the folder scan (Stop, Escape).
    void stopWork();
    void rememberPlacement();

    // The results view (WindowResults.cpp): filter, status line, columns, menus.
    void setUpResults();
    void scheduleStatus();
    void showStatus();
    void fitResultColumns();
    void showResultsMenu(const QPoint& position);
    void showFileListMenu(const QPoint& position);
    void showColumnMenu(const QPoint& position);
    void openFiles(const QStringList& paths);
    void openContainingFolders(const QStringList& paths);
    void setShownTicks(bool ticked);
    void toggleCurrentTick();
    void copySelectedResults(const base::ErrorReport& errors);
    void applyRememberedHeader();
    void rememberHeader();

    // The folder scan (WindowScan.cpp).
    void scanFolder(const base::ErrorReport& errors);
    void scanEnded();
    // The run (WindowRun.cpp).
    void startExtraction(const base::ErrorReport& errors);
    void askForPassword(const QString& path, const QString& prompt);
    void runEnded(const base::ErrorReport& errors, const extract::RunSummary& summary);
    // The ways out (WindowOutputs.cpp).
    // The save dialog, titled as the button that asked, offering the type given first; then
    // the save.
    void saveResults(const base::ErrorReport& errors, SaveFormat offered, const QString& title);
    // The rows and columns shown, as the ways out take them.
    base::ResultsSnapshot outputSnapshot() const;
    // Saves the snapshot at target in its form; the status line tells the end.
    void saveResultsAs(const base::ResultsSnapshot& snapshot, const SaveTarget& target,
                       const base::ErrorReport& errors);
    void exportWorkbook(const base::ErrorReport& errors);
    void copyResults(const base::ErrorReport& errors);
    // Puts the ticked rows of snapshot on the clipboard, as text and as an HTML table; told
    // says so in a box.
    void copyToClipboard(const base::ResultsSnapshot& snapshot, const base::ErrorReport& errors,
                         bool told);
    // Starts an output's work in a thread of its own, progress in the bar; done is called
    // with its result once it has ended.
    void startOutput(std::unique_ptr<base::BackgroundWork> work,
                     std::function<void(const base::Status&)> done);

    const base::Services services;
    gui::ModalWindows& modalWindows;
    base::FileListModel files;
    base::ResultsModel resultsModel;
    gui::ResultsProxy* shown = nullptr;
    MainWindowControls ui;
    // What the status line says after a save or a copy, until the table changes.
    QString statusNote;
    QTimer statusTimer;
    // The columns were fitted by the program and the user has not dragged a divider since:
    // they are fitted again when the view changes its width.
    bool columnsFollowView = false;
    QWidget* resultsViewport = nullptr; // kept: compared, never used, in the event filter
    bool fittingColumns = false;
    BarProgress progress{ui.progress};
    std::optional<QCursor> handCursor;
    std::unique_ptr<filelist::DroppedPathsIntake> drops;
    // The long work going on; none when idle.
    std::unique_ptr<filelist::FolderTreeScan> scan;
    std::unique_ptr<extract::ExtractionRun> run;
    std::unique_ptr<base::BackgroundWork> output;
    // The table and the bar are painted a few times a second during a run.
    std::unique_ptr<gui::PaintPacer> pacedTable;
    std::unique_ptr<gui::PaintPacer> pacedBar;
    bool wasBusy = false;
};

} // namespace app
