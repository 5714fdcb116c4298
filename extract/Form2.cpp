#include "extract/Form2.h"

#include "app/BusyState.h"
#include "app/ErrorReport.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "app/PathHelpers.h"
#include "app/Settings.h"
#include "app/Skin.h"
#include "extract/PropertySet.h"
#include "platform/CursorFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"

#include <QMouseEvent>
#include <QScreen>

namespace extract {

namespace {

struct BoxPlace {
    QCheckBox* Form2::*member;
    const char* name;
    int left, top, width;
};

// Two columns: the information-dictionary texts on the left; page count, dates and
// version on the right.
const BoxPlace places[] = {
    {&Form2::Check1, "Check1", 225, 180, 2310},   {&Form2::Check2, "Check2", 225, 540, 2310},
    {&Form2::Check3, "Check3", 225, 900, 2310},   {&Form2::Check4, "Check4", 225, 1260, 2310},
    {&Form2::Check5, "Check5", 225, 1620, 2310},  {&Form2::Check6, "Check6", 225, 1980, 1590},
    {&Form2::Check7, "Check7", 1980, 180, 1830},  {&Form2::Check8, "Check8", 1980, 540, 1590},
    {&Form2::Check9, "Check9", 1980, 900, 1590},  {&Form2::Check10, "Check10", 1980, 1260, 1710},
    {&Form2::Check12, "Check12", 1980, 1620, 1710},
};

// The order in which the stored choices are put into the boxes.
const char* const loadOrder[] = {"Column1", "Column2", "Column11", "Column3", "Column4", "Column5",
                                 "Column6", "Column7", "Column8",  "Column9", "Column10"};

const Property& propertyOfBox(const char* checkBox) {
    for (const Property& property : properties())
        if (qstrcmp(property.checkBox, checkBox) == 0)
            return property;
    Q_UNREACHABLE();
}

} // namespace

Form2::Form2(QWidget* parent) : QDialog(parent) {
    buildLayout();
}

void Form2::buildLayout() {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("PDF Properties"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(app::twips(3960), app::twips(2880));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Button, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    QFont dialogFont(QStringLiteral("Arial"));
    dialogFont.setPointSizeF(9);
    dialogFont.setBold(true);
    setFont(dialogFont);

    for (const BoxPlace& place : places) {
        const Property& property = propertyOfBox(place.name);
        auto* box = new QCheckBox(QString::fromUtf8(property.caption), this);
        box->setObjectName(QLatin1String(place.name));
        box->setGeometry(app::twips(place.left), app::twips(place.top), app::twips(place.width),
                         app::twips(240));
        box->setAutoFillBackground(true);
        this->*place.member = box;
        // Every change, by the user or by the load, stores the choice at once.
        const QString key = QLatin1String(property.key);
        connect(box, &QCheckBox::stateChanged, this, [key](int state) {
            app::runHandler([&] {
                app::WriteSetting(key, state == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0"));
            });
        });
    }
    PushButton11 = new QPushButton(QStringLiteral("Close"), this);
    PushButton11->setObjectName(QStringLiteral("PushButton11"));
    QFont buttonFont = dialogFont;
    buttonFont.setPointSizeF(11.25);
    PushButton11->setFont(buttonFont);
    PushButton11->setGeometry(app::twips(120), app::twips(2340), app::twips(3720), app::twips(405));
    PushButton11->setDefault(true);
    connect(PushButton11, &QPushButton::clicked, this, [this] {
        app::runHandler([this] {
            app::ErrorReport errors(QStringLiteral("Form2.Pushbutton11_Click"));
            errors.step([this] { close(); });
        });
    });
    QWidget* tabOrder[] = {Check1, Check2, Check3, Check4, Check5, Check6,
                           Check7, Check8, Check9, Check10, Check12, PushButton11};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    for (QWidget* watched : {static_cast<QWidget*>(this), static_cast<QWidget*>(Check6),
                             static_cast<QWidget*>(PushButton11)}) {
        watched->setMouseTracking(true);
        watched->installEventFilter(this);
    }
}

QCheckBox* Form2::boxForKey(const QString& key) const {
    for (const BoxPlace& place : places)
        if (QLatin1String(propertyOfBox(place.name).key) == key)
            return this->*place.member;
    return nullptr;
}

void Form2::Form_Load() {
    app::ErrorReport errors(QStringLiteral("Form2.Form_Load"));
    errors.step([this] { app::ApplyWindowColours(this); });
    errors.step([this] {
        const QString cursorPath = platform::programFolder() + QStringLiteral("/HAND-M.CUR");
        if (app::FileIsPresent(cursorPath))
            handCursor = platform::cursorFromFile(cursorPath);
    });
    for (const char* key : loadOrder) {
        errors.step([&] {
            const QString stored = app::ReadSetting(QLatin1String(key), QStringLiteral("1"));
            // Only the exact text "1" ticks a box; ticking it stores "1" again.
            if (stored == QLatin1String("1"))
                boxForKey(QLatin1String(key))->setChecked(true);
        });
    }
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove || app::isBusy(this))
        return QDialog::eventFilter(watched, event);
    const auto* widget = static_cast<QWidget*>(watched);
    if (widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()) == nullptr) {
        if (watched == PushButton11 && handCursor)
            setCursor(*handCursor);
        else
            setCursor(Qt::ArrowCursor);
    }
    return QDialog::eventFilter(watched, event);
}

void PushButton6_Click(app::Form1& window) {
    Q_UNUSED(window);
    app::ErrorReport errors(QStringLiteral("Form1.PushButton6_Click"));
    errors.step([] {
        Form2 dialog;
        dialog.Form_Load();
        if (const QScreen* screen = dialog.screen())
            dialog.move(screen->availableGeometry().center() - dialog.rect().center());
        dialog.setWindowModality(Qt::ApplicationModal);
        platform::prompts().showModal(dialog);
    });
}

} // namespace extract
