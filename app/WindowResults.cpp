// The results of the main window as a view: the filter, the status line, the columns and
// their menu, the context menus, and what the keys do on them.
#include "app/MainWindow.h"
#include "base/ErrorReport.h"
#include "base/Properties.h"
#include "base/Settings.h"
#include "gui/ListView.h"
#include "gui/ResultsDelegate.h"
#include "gui/ResultsProxy.h"
#include "platform/DesktopShell.h"
#include "platform/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

#include <algorithm>

namespace app {

namespace {

// No column fitted to its contents takes more than this share of the view.
constexpr double fittedColumnShare = 0.4;

QString counted(int count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// The settings key a column is remembered by: its property's, or "Filename".
QString columnKey(const base::ResultsModel& results, int column) {
    if (column <= 0)
        return base::filenameHeader;
    return QLatin1String(base::infoOf(results.columns().value(column - 1)).settingsKey);
}

} // namespace

void MainWindow::setUpResults() {
    shown = new gui::ResultsProxy(resultsModel, this);
    auto* view = static_cast<gui::ListView*>(ui.results);
    view->setModel(shown);
    view->setItemDelegate(new gui::ResultsDelegate(view));
    view->setFittedColumnShare(fittedColumnShare);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->header()->setStretchLastSection(true);
    view->header()->setSectionsMovable(false);
    view->setAccessibleName(QStringLiteral("Results"));
    view->setAccessibleDescription(
        QStringLiteral("One row per file read, ticked rows go out. Space ticks the current row, "
                       "Ctrl+C copies the selected rows, Delete removes them."));
    // Clicking a header sorts the results by it; the sort is remembered for the next run.
    view->header()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    connect(&resultsModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const base::ErrorReport errors(services.errors,
                                       QStringLiteral("Form1.ListView2_ColumnsReplaced"));
        errors.step([this] { rememberHeader(); });
    });
    connect(&resultsModel, &QAbstractItemModel::modelReset, this, [this] {
        columnsFollowView = false;
        applyRememberedHeader();
    });
    view->installEventFilter(this); // Delete, Ctrl+C, Space
    resultsViewport = view->viewport();
    resultsViewport->installEventFilter(this); // its width, for the fitted columns
    connect(view->header(), &QHeaderView::sectionResized, this, [this] {
        // A divider dragged by the user: the widths are the user's from now on.
        if (!fittingColumns && QApplication::mouseButtons() != Qt::NoButton)
            columnsFollowView = false;
    });
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &MainWindow::showResultsMenu);
    view->header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view->header(), &QWidget::customContextMenuRequested, this,
            &MainWindow::showColumnMenu);
    connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        openFiles({resultsModel.path(shown->sourceRow(index.row()))});
    });
    ui.fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.fileList, &QWidget::customContextMenuRequested, this, &MainWindow::showFileListMenu);

    ui.filter->setAccessibleName(QStringLiteral("Filter the results"));
    ui.filter->setAccessibleDescription(
        QStringLiteral("Shows only the rows with a value containing this text"));
    connect(ui.filter, &QLineEdit::textChanged, this,
            [this](const QString& text) { shown->setFilterText(text); });
    connect(ui.onlyUnread, &QCheckBox::toggled, this,
            [this](bool only) { shown->setOnlyUnread(only); });
    ui.status->setAccessibleName(QStringLiteral("Status"));

    // The status line follows every change, a few times a second at most.
    statusTimer.setSingleShot(true);
    statusTimer.setInterval(100);
    connect(&statusTimer, &QTimer::timeout, this, &MainWindow::showStatus);
    for (QAbstractItemModel* model :
         {static_cast<QAbstractItemModel*>(&files), static_cast<QAbstractItemModel*>(shown)}) {
        connect(model, &QAbstractItemModel::rowsInserted, this, [this] { scheduleStatus(); });
        connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { scheduleStatus(); });
        connect(model, &QAbstractItemModel::modelReset, this, [this] { scheduleStatus(); });
        connect(model, &QAbstractItemModel::layoutChanged, this, [this] { scheduleStatus(); });
    }
    connect(&resultsModel, &QAbstractItemModel::dataChanged, this, [this] { scheduleStatus(); });
    showStatus();
}

void MainWindow::scheduleStatus() {
    statusNote.clear();
    if (!statusTimer.isActive())
        statusTimer.start();
}

void MainWindow::showStatus() {
    if (!statusNote.isEmpty()) {
        ui.status->setText(statusNote);
        return;
    }
    int unread = 0;
    for (int row = 0; row < resultsModel.count(); ++row)
        unread += resultsModel.unreadReason(row).isEmpty() ? 0 : 1;
    ui.status->setText(QStringLiteral("%1, %2 read, %3 could not be read, %4 shown")
                           .arg(counted(files.count(), "file", "files"))
                           .arg(resultsModel.count() - unread)
                           .arg(unread)
                           .arg(shown->rowCount()));
}

void MainWindow::fitResultColumns() {
    QHeaderView* header = ui.results->header();
    fittingColumns = true;
    // The last column takes the room left.
    for (int column = 0; column + 1 < header->count(); ++column)
        ui.results->resizeColumnToContents(column);
    fittingColumns = false;
    columnsFollowView = true;
}

QList<int> MainWindow::selectedResultRows() const {
    QList<int> rows;
    for (const QModelIndex& index : ui.results->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void MainWindow::deleteSelectedResults() {
    if (isBusy() || resultsModel.count() == 0)
        return;
    QList<int> rows;
    for (const int row : selectedResultRows())
        rows.append(shown->sourceRow(row));
    // From the last, so the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (const int row : rows)
        resultsModel.removeAt(row);
}

void MainWindow::toggleCurrentTick() {
    const QModelIndex current = ui.results->currentIndex();
    if (!current.isValid())
        return;
    const int row = shown->sourceRow(current.row());
    resultsModel.setTicked(row, !resultsModel.isTicked(row));
}

void MainWindow::setShownTicks(bool ticked) {
    for (int row = 0; row < shown->rowCount(); ++row)
        resultsModel.setTicked(shown->sourceRow(row), ticked);
}

void MainWindow::openFiles(const QStringList& paths) {
    for (const QString& path : paths)
        if (!services.shell.openFile(path))
            services.prompts.message(
                QStringLiteral("No application could be started to open %1.").arg(path), {},
                platform::MessageIcon::Warning);
}

void MainWindow::openContainingFolders(const QStringList& paths) {
    QStringList folders;
    for (const QString& path : paths) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    for (const QString& folder : folders)
        if (!services.shell.openFolder(folder))
            services.prompts.message(
                QStringLiteral("No file manager could be started to show %1.").arg(folder), {},
                platform::MessageIcon::Warning);
}

void MainWindow::showResultsMenu(const QPoint& position) {
    QStringList paths;
    for (const int row : selectedResultRows())
        paths.append(resultsModel.path(shown->sourceRow(row)));
    const bool any = !paths.isEmpty();
    QMenu menu(this);
    menu.addAction(QStringLiteral("&Open"), this, [this, paths] { openFiles(paths); })
        ->setEnabled(any);
    menu.addAction(QStringLiteral("Open Containing &Folder"), this,
                   [this, paths] { openContainingFolders(paths); })
        ->setEnabled(any);
    menu.addSeparator();
    QAction* copy = menu.addAction(QStringLiteral("&Copy"), this, [this] {
        copySelectedResults(
            base::ErrorReport(services.errors, QStringLiteral("Form1.ListView2_Copy")));
        showBusyState();
    });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(any && !output);
    QAction* remove =
        menu.addAction(QStringLiteral("&Remove"), this, [this] { deleteSelectedResults(); });
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    remove->setEnabled(any && !isBusy());
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Tick All"), this, [this] { setShownTicks(true); });
    menu.addAction(QStringLiteral("&Untick All"), this, [this] { setShownTicks(false); });
    menu.exec(ui.results->viewport()->mapToGlobal(position));
}

void MainWindow::showFileListMenu(const QPoint& position) {
    const QModelIndex at = ui.fileList->indexAt(position);
    if (at.isValid())
        ui.fileList->setCurrentIndex(at);
    const QString path = files.path(ui.fileList->currentIndex().row());
    const bool any = !path.isEmpty();
    QMenu menu(this);
    menu.addAction(QStringLiteral("&Open"), this, [this, path] { openFiles({path}); })
        ->setEnabled(any);
    menu.addAction(QStringLiteral("Open Containing &Folder"), this,
                   [this, path] { openContainingFolders({path}); })
        ->setEnabled(any);
    menu.addSeparator();
    QAction* remove =
        menu.addAction(QStringLiteral("&Remove"), this, [this] { removeSelectedFile(); });
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    remove->setEnabled(any && !isBusy());
    menu.exec(ui.fileList->viewport()->mapToGlobal(position));
}

void MainWindow::showColumnMenu(const QPoint& position) {
    // The same choice as the property dialog: the next run's columns, and the columns of
    // these results shown or hidden at once.
    const base::ErrorReport errors(services.errors, QStringLiteral("Form1.ListView2_ColumnMenu"));
    const base::Columns chosen = base::chosenColumns(errors);
    QMenu menu(this);
    QMenu* more = nullptr;
    for (const base::PropertyInfo& property : base::properties()) {
        QMenu* into = &menu;
        if (property.group == base::Group::More) {
            if (!more)
                more = menu.addMenu(QStringLiteral("More properties"));
            into = more;
        }
        QAction* action = into->addAction(QString::fromUtf8(property.caption));
        action->setCheckable(true);
        action->setChecked(chosen.contains(property.id));
        const base::Property id = property.id;
        const QString key = QLatin1String(property.settingsKey);
        connect(action, &QAction::toggled, this, [this, id, key, errors](bool on) {
            errors.step(
                [&] { base::writeSetting(key, on ? QStringLiteral("1") : QStringLiteral("0")); });
            if (const int column = resultsModel.columnOf(id); column > 0)
                ui.results->header()->setSectionHidden(column, !on);
        });
    }
    menu.exec(ui.results->header()->mapToGlobal(position));
}

void MainWindow::applyRememberedHeader() {
    const QJsonObject remembered =
        QJsonDocument::fromJson(
            base::readSetting(QStringLiteral("ResultsHeaderState"), QString()).toUtf8())
            .object();
    QHeaderView* header = ui.results->header();
    const QJsonObject widths = remembered.value(QStringLiteral("widths")).toObject();
    int sortColumn = -1;
    for (int column = 0; column < resultsModel.columnCount(); ++column) {
        const QString key = columnKey(resultsModel, column);
        // Until a run ends and the columns fit their contents, each is as wide as it was
        // left, or as its header.
        if (const int width = widths.value(key).toInt(); width > 0)
            header->resizeSection(column, width);
        else
            header->resizeSection(column, header->sectionSizeHint(column));
        if (key == remembered.value(QStringLiteral("sort")).toString())
            sortColumn = column;
    }
    const Qt::SortOrder order =
        remembered.value(QStringLiteral("order")).toString() == QLatin1String("descending")
            ? Qt::DescendingOrder
            : Qt::AscendingOrder;
    // A new table is sorted as the last one was, when it has that column.
    header->setSortIndicator(sortColumn, order);
}

void MainWindow::rememberHeader() {
    if (resultsModel.columnCount() == 0)
        return;
    QJsonObject remembered =
        QJsonDocument::fromJson(
            base::readSetting(QStringLiteral("ResultsHeaderState"), QString()).toUtf8())
            .object();
    QJsonObject widths = remembered.value(QStringLiteral("widths")).toObject();
    const QHeaderView* header = ui.results->header();
    for (int column = 0; column + 1 < resultsModel.columnCount(); ++column)
        if (!header->isSectionHidden(column))
            widths.insert(columnKey(resultsModel, column), header->sectionSize(column));
    remembered.insert(QStringLiteral("widths"), widths);
    if (header->sortIndicatorSection() >= 0) {
        remembered.insert(QStringLiteral("sort"),
                          columnKey(resultsModel, header->sortIndicatorSection()));
        remembered.insert(QStringLiteral("order"),
                          header->sortIndicatorOrder() == Qt::DescendingOrder
                              ? QStringLiteral("descending")
                              : QStringLiteral("ascending"));
    }
    base::writeSetting(QStringLiteral("ResultsHeaderState"),
                       QString::fromUtf8(QJsonDocument(remembered).toJson(QJsonDocument::Compact)));
}

} // namespace app
