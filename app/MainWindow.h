#pragma once

#include "app/MainWindowLayout.h"
#include "base/BusyState.h"
#include "base/FileListModel.h"
#include "base/Progress.h"
#include "base/ResultsModel.h"
#include "extract/ExtractionRun.h"

#include <QCursor>
#include <QWidget>

#include <functional>
#include <optional>

namespace base {
class ErrorReport;
}

namespace app {

// The main window: the file list, the buttons that fill it, the property and run buttons,
// the password option, the results and their ways out, and a progress bar. It holds the two
// models and hands each button's work to its subsystem; every control stays usable during a
// long operation, and the handlers that must not act then are refused by the busy state.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // The start-up sequence, run once before the window is first shown.
    void load();
    // Shows the window centred on the screen.
    void showCentred();

    base::FileListModel& fileList() { return files; }
    base::ResultsModel& results() { return resultsModel; }
    const MainWindowControls& controls() const { return ui; }
    bool isBusy() const { return busy.isBusy(); }
    base::BusyState& busyState() { return busy; }
    // The hand cursor loaded at start-up, if any.
    const std::optional<QCursor>& customCursor() const { return handCursor; }
    // The limits the run gives each tool; tests shorten them.
    extract::RunLimits runLimits;
    // How many tools read files at once; tests pin it to make timings predictable.
    int parallelTools = extract::RunOptions::defaultParallelTools();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The busy state shown as the hourglass cursor of the window.
    class HourglassBusyState final : public base::BusyState {
    public:
        explicit HourglassBusyState(QWidget& shownOn) : window(shownOn) {}
        void remind() override;

    protected:
        void show(bool busy) override;

    private:
        QWidget& window;
    };
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
    void startExtraction(const base::ErrorReport& errors);
    void deleteSelectedResult();

    base::FileListModel files;
    base::ResultsModel resultsModel;
    MainWindowControls ui;
    HourglassBusyState busy{*this};
    BarProgress progress{ui.progress};
    std::optional<QCursor> handCursor;
};

} // namespace app
