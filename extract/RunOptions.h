#pragma once

#include <QString>

#include <chrono>
#include <functional>

namespace extract {

struct RunLimits {
    // A tool that hangs (some damaged PDFs make tools loop for ever) is stopped after this.
    std::chrono::milliseconds toolLimit = std::chrono::seconds(180);
    // The waiting text and the nudges of the progress count passes of this length.
    std::chrono::milliseconds pass = std::chrono::milliseconds(100);
};

struct RunOptions {
    // Asked before each file whether to ask for its password: the user may change the
    // option while a run goes on.
    std::function<bool()> askForPasswords = [] { return false; };
    RunLimits limits;
    // How many tools work at once on the next files; 1 reads one file after the other.
    int parallelTools = defaultParallelTools();
    // The tool to start, and the private folder its output files go to.
    QString toolPath;
    QString temporaryFolder;
    // A process of the tool for every file, even when it can serve one file after another.
    bool processPerFile = false;
    // A tool serving files is replaced after this many, or once it holds this much memory:
    // whatever a file left behind in it goes with it.
    int filesPerWorker = 1000;
    qint64 workerMemoryLimit = qint64{256} << 20;

    // As many as the machine has processors.
    static int defaultParallelTools();
};

struct RunSummary {
    int rows = 0;         // results rows made
    int unreadFiles = 0;  // of them, files the tool could not read
    bool stopped = false; // the run was stopped before its last file
    // What the run could not do that is no file's fault (the tool cannot report the audit's
    // columns); empty when nothing.
    QString note;
};

} // namespace extract
