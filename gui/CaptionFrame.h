#pragma once

#include <QGroupBox>

namespace gui {

// A frame with its caption on the top border line, filled with the window colour of its
// palette. (The desktop style's own group box tints its inside, which the white design
// of the window does not want.)
class CaptionFrame : public QGroupBox {
    Q_OBJECT
public:
    CaptionFrame(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace gui
