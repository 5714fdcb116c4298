#pragma once

#include "platform/TextProgressBar.h"

#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <optional>

namespace app {

// The main window. It owns every control of the program; the subsystems attach their
// handlers to the controls, which keep the names of the window's layout.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    // The start-up sequence, run once before the window is first shown.
    void Form_Load();
    // Shows the window centred on the screen.
    void showCentred();

    // The hand cursor loaded at start-up, if any.
    const std::optional<QCursor>& customCursor() const { return handCursor; }
    QList<QPushButton*> pushButtons() const;

    // Records the bundled sample files; installed by the file-list subsystem and called
    // by the start-up sequence when none are recorded yet.
    std::function<void()> RecordSampleFiles;

    QTreeWidget* ListView1 = nullptr;
    QPushButton* PushButton7 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton8 = nullptr;
    QPushButton* PushButton9 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QTreeWidget* ListView2 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton13 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton5 = nullptr;
    platform::TextProgressBar* ProgressBar1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override; // Form_Unload
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void followCursorRules();
    void Check1_Click();
    void setCheck1FromSettings();

    std::optional<QCursor> handCursor;
};

// 1440 twips make a logical inch: 15 twips to the pixel at 96 dots per inch.
int twips(int value);

} // namespace app
