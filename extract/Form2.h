#pragma once

#include <QCheckBox>
#include <QCursor>
#include <QDialog>
#include <QPushButton>

#include <optional>

namespace app {
class Form1;
}

namespace extract {

// The property dialog "PDF Properties": one check box per property, each storing its
// choice at every click, and "Close". It never touches the results table; the next run
// reads the choices.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    // Colours, hand cursor, and the boxes set from the stored choices.
    void Form_Load();

    // The check box of a property's settings key.
    QCheckBox* boxForKey(const QString& key) const;
    const std::optional<QCursor>& customCursor() const { return handCursor; }

    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    QCheckBox* Check6 = nullptr;
    QCheckBox* Check7 = nullptr;
    QCheckBox* Check8 = nullptr;
    QCheckBox* Check9 = nullptr;
    QCheckBox* Check10 = nullptr;
    QCheckBox* Check12 = nullptr;
    QPushButton* PushButton11 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    std::optional<QCursor> handCursor;
};

// "2. Choose PDF Properties To Extract": shows the property dialog modally.
void PushButton6_Click(app::Form1& window);

} // namespace extract
