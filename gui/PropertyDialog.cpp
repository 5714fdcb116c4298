#include "gui/PropertyDialog.h"

#include "gui/ModalWindows.h"

#include "base/ErrorReport.h"
#include "base/PathHelpers.h"
#include "base/Properties.h"
#include "base/Settings.h"
#include "gui/CursorFile.h"
#include "gui/Twips.h"
#include "gui/WindowColours.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace gui {

namespace {

// Where each property's box sits, in twips: the information-dictionary texts on the left;
// page count, dates and version on the right. In keyboard order.
struct BoxPlace {
    const char* key;
    int left, top, width;
};
const BoxPlace places[] = {
    {"Column2", 225, 180, 2310},    {"Column3", 225, 540, 2310},   {"Column4", 225, 900, 2310},
    {"Column5", 225, 1260, 2310},   {"Column6", 225, 1620, 2310},  {"Column7", 225, 1980, 1590},
    {"Column8", 1980, 180, 1830},   {"Column9", 1980, 540, 1590},  {"Column10", 1980, 900, 1590},
    {"Column11", 1980, 1260, 1710}, {"Column1", 1980, 1620, 1710},
};

// The order in which the stored choices are put into the boxes.
const char* const loadOrder[] = {"Column1", "Column2", "Column11", "Column3", "Column4", "Column5",
                                 "Column6", "Column7", "Column8",  "Column9", "Column10"};

const base::PropertyInfo& propertyOfKey(const char* key) {
    for (const base::PropertyInfo& property : base::properties())
        if (qstrcmp(property.settingsKey, key) == 0)
            return property;
    Q_UNREACHABLE();
}

} // namespace

PropertyDialog::PropertyDialog(const QString& folder, base::ErrorSink& sink, QWidget* parent)
    : QDialog(parent), programFolder(folder), errors(sink) {
    buildLayout();
}

void PropertyDialog::buildLayout() {
    using gui::twips;
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("PDF Properties"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twips(3960), twips(2880));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Button, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    QFont dialogFont(QStringLiteral("Arial"));
    dialogFont.setPointSizeF(9);
    dialogFont.setBold(true);
    setFont(dialogFont);

    QList<QWidget*> keyboardOrder;
    for (const BoxPlace& place : places) {
        const base::PropertyInfo& property = propertyOfKey(place.key);
        auto* box = new QCheckBox(QString::fromUtf8(property.caption), this);
        box->setObjectName(QLatin1String(property.checkBox));
        box->setGeometry(twips(place.left), twips(place.top), twips(place.width), twips(240));
        box->setAutoFillBackground(true);
        const QString key = QLatin1String(property.settingsKey);
        boxes.insert(key, box);
        keyboardOrder.append(box);
        // Every change, by the user or by the load, stores the choice at once.
        connect(box, &QCheckBox::stateChanged, this, [this, key, box](int state) {
            const base::ErrorReport report(errors,
                                           QStringLiteral("Form2.%1_Click").arg(box->objectName()));
            report.step([&] {
                base::writeSetting(key, state == Qt::Checked ? QStringLiteral("1")
                                                             : QStringLiteral("0"));
            });
        });
    }
    close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("PushButton11"));
    QFont buttonFont = dialogFont;
    buttonFont.setPointSizeF(11.25);
    close->setFont(buttonFont);
    close->setGeometry(gui::twipsRect(120, 2340, 3720, 405));
    close->setDefault(true);
    keyboardOrder.append(close);
    connect(close, &QPushButton::clicked, this, [this] {
        const base::ErrorReport report(errors, QStringLiteral("Form2.Pushbutton11_Click"));
        report.step([this] { QDialog::close(); });
    });
    for (qsizetype i = 1; i < keyboardOrder.size(); ++i)
        setTabOrder(keyboardOrder[i - 1], keyboardOrder[i]);

    // The hand over "Close"; the default cursor over the background and the Keywords box.
    for (QWidget* watched : {static_cast<QWidget*>(this), static_cast<QWidget*>(boxes["Column7"]),
                             static_cast<QWidget*>(close)}) {
        watched->setMouseTracking(true);
        watched->installEventFilter(this);
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
    for (const char* key : loadOrder) {
        report.step([&] {
            const QString stored = base::readSetting(QLatin1String(key), QStringLiteral("1"));
            // Only the exact text "1" ticks a box; ticking it stores "1" again.
            if (stored == QLatin1String("1"))
                boxForKey(QLatin1String(key))->setChecked(true);
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
        if (const QScreen* screen = dialog.screen())
            dialog.move(screen->availableGeometry().center() - dialog.rect().center());
        dialog.setWindowModality(Qt::ApplicationModal);
        windows.showModal(dialog);
    });
}

} // namespace gui
