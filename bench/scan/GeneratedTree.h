#pragma once

#include <QString>

// What the benchmark tree holds, counted while it was written.
struct TreeCounts {
    int folders = 0; // below the root, links not counted
    int files = 0;   // regular files
    int pdfNames = 0;
    int hiddenFiles = 0;
    int tildeFiles = 0;
    int links = 0;
};

// Writes under root a tree of 2,000 folders (three levels, some hidden) holding 100,000 empty
// files, a third of them named *.pdf or *.PDF, some hidden, some starting with "~", plus a
// few symbolic links: two cycles back up the tree, a link to another folder of the tree, a
// link to a file and a dangling link.
TreeCounts generateTree(const QString& root);
