#include "gui/PropertyDialog.h"

#include "gui/ModalWindows.h"

#include "base/ErrorReport.h"
#include "base/PathHelpers.h"
#include "base/Properties.h"
#include "base/Settings.h"
#include "gui/CaptionFrame.h"
#include "gui/CursorFile.h"
#include "gui/Mnemonics.h"
#include "gui/WindowColours.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace gui {

namespace {

using PropertyList = QList<const base::PropertyInfo*>;

// The described properties in two columns: the texts of the document's information on the
// left; page count, dates and the version on the right, in keyboard order.
std::pair<PropertyList, PropertyList> describedColumns() {
    PropertyList left, right, rightLast;
    for (const base::PropertyInfo& property : base::properties()) {
        if (property.group != base::Group::Described)
            continue;
        if (property.type == base::ValueType::Text && property.source == base::Source::ToolDump)
            left.append(&property);
        else if (property.type != base::ValueType::Text)
            right.append(&property);
        else
            rightLast.append(&property);
    }
    return {left, right + rightLast};
}

// The further properties in two columns, in registry order down the left, then the right.
std::pair<PropertyList, PropertyList> moreColumns() {
    PropertyList more;
    for (const base::PropertyInfo& property : base::properties())
        if (property.group == base::Group::More)
            more.append(&property);
    const qsizetype half = (more.size() + 1) / 2;
    return {more.mid(0, half), more.mid(half)};
}

} // namespace

PropertyDialog::PropertyDialog(const QString& folder, base::ErrorSink& sink, QWidget* parent)
    : QDialog(parent), programFolder(folder), errors(sink) {
    buildLayout();
}

QGroupBox* PropertyDialog::addGroup(const QString& title,
                                    const std::pair<PropertyList, PropertyList>& columns,
                                    QList<QWidget*>& keyboardOrder) {
    auto* group = new CaptionFrame(title, this);
    auto* grid = new QGridLayout(group);
    int column = 0;
    for (const PropertyList& properties : {columns.first, columns.second}) {
        int row = 0;
        for (const base::PropertyInfo* property : properties) {
            auto* box = new QCheckBox(QString::fromUtf8(property->caption), group);
            box->setObjectName(QLatin1String(property->checkBox));
            const QString key = QLatin1String(property->settingsKey);
            boxes.insert(key, box);
            defaults.insert(key, property->defaultSetting());
            keyboardOrder.append(box);
            grid->addWidget(box, row++, column);
            // Every change, by the user or by the load, stores the choice at once.
            connect(box, &QCheckBox::stateChanged, this, [this, key, box](int state) {
                const base::ErrorReport report(
                    errors, QStringLiteral("Form2.%1_Click").arg(box->objectName()));
                report.step([&] {
                    base::writeSetting(key, state == Qt::Checked ? QStringLiteral("1")
                                                                 : QStringLiteral("0"));
                });
            });
        }
        ++column;
    }
    return group;
}

void PropertyDialog::buildLayout() {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("PDF Properties"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    QFont dialogFont(QStringLiteral("Arial"));
    dialogFont.setPointSizeF(9);
    dialogFont.setBold(true);
    setFont(dialogFont);

    auto* layout = new QVBoxLayout(this);
    // The dialog is as large as its boxes need, however many properties there are.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    QList<QWidget*> keyboardOrder;
    layout->addWidget(
        addGroup(QStringLiteral("Document properties"), describedColumns(), keyboardOrder));
    const auto more = moreColumns();
    if (!more.first.isEmpty())
        layout->addWidget(addGroup(QStringLiteral("More properties"), more, keyboardOrder));

    close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("PushButton11"));
    QFont buttonFont = dialogFont;
    buttonFont.setPointSizeF(11.25);
    close->setFont(buttonFont);
    close->setDefault(true);
    layout->addWidget(close);
    keyboardOrder.append(close);
    connect(close, &QPushButton::clicked, this, [this] {
        const base::ErrorReport report(errors, QStringLiteral("Form2.Pushbutton11_Click"));
        report.step([this] { QDialog::close(); });
    });
    // A mnemonic for every box and the button, none twice.
    QStringList captions;
    for (QWidget* widget : keyboardOrder)
        captions.append(static_cast<QAbstractButton*>(widget)->text());
    const QStringList marked = withMnemonics(captions);
    for (qsizetype i = 0; i < keyboardOrder.size(); ++i)
        static_cast<QAbstractButton*>(keyboardOrder[i])->setText(marked[i]);
    for (qsizetype i = 1; i < keyboardOrder.size(); ++i)
        setTabOrder(keyboardOrder[i - 1], keyboardOrder[i]);

    // The hand over "Close"; the default cursor over the background and the Keywords box.
    QList<QWidget*> watched = {this, close};
    if (QCheckBox* keywords = boxes.value(QStringLiteral("Column7")))
        watched.append(keywords);
    for (QWidget* widget : watched) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

void PropertyDialog::load() {
    const base::ErrorReport report(errors, QStringLiteral("Form2.Form_Load"));
    report.step([this] { gui::applyWindowColours(this); });
    report.step([this] {
        const QString cursorPath = programFolder + QStringLiteral("/HAND-M.CUR");
        if (base::fileIsPresent(cursorPath))
            handCursor = gui::cursorFromFile(cursorPath);
    });
    // The stored choices go into the boxes in the order of their keys as text.
    QStringList keys = boxes.keys();
    std::sort(keys.begin(), keys.end());
    for (const QString& key : keys) {
        report.step([&] {
            const QString stored = base::readSetting(key, defaults.value(key));
            // Only the exact text "1" ticks a box; ticking it stores "1" again.
            if (stored == QLatin1String("1"))
                boxForKey(key)->setChecked(true);
        });
    }
}

bool PropertyDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove || cursor().shape() == Qt::WaitCursor)
        return QDialog::eventFilter(watched, event);
    const auto* widget = static_cast<QWidget*>(watched);
    if (widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()) == nullptr) {
        if (watched == close && handCursor)
            setCursor(*handCursor);
        else
            setCursor(Qt::ArrowCursor);
    }
    return QDialog::eventFilter(watched, event);
}

void showPropertyDialog(ModalWindows& windows, const QString& programFolder,
                        const base::ErrorReport& errors) {
    errors.step([&] {
        PropertyDialog dialog(programFolder, errors.sink());
        dialog.load();
        dialog.adjustSize();
        if (const QScreen* screen = dialog.screen())
            dialog.move(screen->availableGeometry().center() - dialog.rect().center());
        dialog.setWindowModality(Qt::ApplicationModal);
        windows.showModal(dialog);
    });
}

} // namespace gui
