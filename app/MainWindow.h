#pragma once

#include "app/MainWindowLayout.h"
#include "base/FileListModel.h"
#include "base/Progress.h"
#include "base/ResultsModel.h"
#include "base/Services.h"
#include "extract/RunOptions.h"

#include <QCursor>
#include <QPointer>
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
    // Shows the window centred on the screen.
    void showCentred();

    base::FileListModel& fileList() { return files; }
    base::ResultsModel& results() { return resultsModel; }
    const MainWindowControls& controls() const { return ui; }
    // Whether long work is going on (the window shows the hourglass).
    bool isBusy() const;
    // The hand cursor loaded at start-up, if any.
    const std::optional<QCursor>& customCursor() const { return handCursor; }
    // The limits the run gives each tool; tests shorten them.
    extract::RunLimits runLimits;
    // How many tools read files at once; tests pin it to make timings predictable.
    int parallelTools = extract::RunOptions::defaultParallelTools();

signals:
    // Long work has begun or ended; the window is busy or idle again.
    void busyChanged(bool busy);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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
    void deleteSelectedResult();
    void removeSelectedFile();
    void clearFileList(const base::ErrorReport& errors);

    // The folder scan (WindowScan.cpp).
    void scanFolder(const base::ErrorReport& errors);
    void scanEnded();
    // The run (WindowRun.cpp).
    void startExtraction(const base::ErrorReport& errors);
    void askForPassword(const QString& path, const QString& prompt);
    void runEnded(const base::ErrorReport& errors);
    // The ways out (WindowOutputs.cpp).
    void saveResultsText(const base::ErrorReport& errors);
    void exportWorkbook(const base::ErrorReport& errors);
    void copyResults(const base::ErrorReport& errors);
    // Starts an output's work in a thread of its own, progress in the bar; done is called
    // with its result once it has ended.
    void startOutput(std::unique_ptr<base::BackgroundWork> work,
                     std::function<void(const base::Status&)> done);

    const base::Services services;
    gui::ModalWindows& modalWindows;
    base::FileListModel files;
    base::ResultsModel resultsModel;
    MainWindowControls ui;
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
