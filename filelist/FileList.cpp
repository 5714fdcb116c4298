#include "filelist/FileList.h"

#include "app/BusyState.h"
#include "app/ClickHandler.h"
#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "filelist/DragReorder.h"
#include "filelist/DropIntake.h"
#include "filelist/FolderScan.h"
#include "filelist/PathCleanup.h"
#include "filelist/SampleFiles.h"
#include "platform/Prompts.h"

namespace filelist {

void appendRows(QTreeWidget* list, const QStringList& paths) {
    QList<QTreeWidgetItem*> rows;
    rows.reserve(paths.size());
    for (const QString& path : paths)
        rows.append(new QTreeWidgetItem(QStringList{path}));
    list->addTopLevelItems(rows);
}

QStringList rowsForChosenFiles(const QStringList& chosen) {
    if (chosen.size() == 1)
        return chosen;
    QStringList rows;
    rows.reserve(chosen.size());
    for (const QString& path : chosen)
        rows.append(CollapseDoubleBackslashes(path));
    return rows;
}

void PushButton7_Click(app::Form1& window) {
    app::ErrorReport errors(QStringLiteral("Form1.PushButton7_Click"));
    QStringList chosen;
    errors.step([&] {
        chosen = platform::prompts().openFiles(
            QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"),
            QStringLiteral("All Files (*.pdf)"));
    });
    chosen.removeAll(QString());
    if (chosen.isEmpty())
        return;
    errors.step([&] { appendRows(window.ListView1, rowsForChosenFiles(chosen)); });
}

void ListView1_DblClick(app::Form1& window) {
    if (app::isBusy(&window) || window.ListView1->topLevelItemCount() == 0)
        return;
    // The selected row goes, not necessarily the one under the cursor.
    const QList<QTreeWidgetItem*> selected = window.ListView1->selectedItems();
    if (!selected.isEmpty())
        delete selected.constFirst();
}

void PushButton8_Click(app::Form1& window) {
    app::ErrorReport errors(QStringLiteral("Form1.PushButton8_Click"));
    if (app::isBusy(&window))
        return;
    errors.step([&] { window.ListView1->clear(); });
}

void attachFileList(app::Form1& window) {
    app::onClick(window.PushButton7, window, PushButton7_Click);
    app::onClick(window.PushButton8, window, PushButton8_Click);
    app::onClick(window.PushButton4, window, PushButton4_Click);
    app::onClick(window.PushButton9, window, PushButton9_Click);
    window.RecordSampleFiles = [] { RecordSampleFiles(); };
    // Files and folders dropped from the desktop; internal row drags never become drops,
    // since reordering moves texts and starts no drag.
    new DropIntake(window.ListView1);
    // A double-click anywhere on the list, rows or the empty area below them.
    new DragReorder(window, [&window] { app::runHandler([&] { ListView1_DblClick(window); }); });
}

} // namespace filelist
