#pragma once

#include <QGroupBox>

namespace gui {

// A frame with its caption on the top border line, filled with the window colour of its
// palette, so that a frame given the button face (the skin file) is painted in it whole.
// (A style's own group box may tint its inside.)
class CaptionFrame : public QGroupBox {
    Q_OBJECT
public:
    CaptionFrame(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace gui
