#pragma once

#include <QProgressBar>

namespace gui {

// A progress bar that shows a text of the program's own (QProgressBar would expand %p, %v
// and %m inside a file name) and keeps any value it is given while drawing it within 0..100.
// It draws the text itself, in the colours that read on the part of the bar under it, in
// either direction (a style may lose it in a mirrored bar).
class TextProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit TextProgressBar(QWidget* parent = nullptr);

    QString text() const override;
    void setText(const QString& text);

    // The value as last set, which may lie outside the bar's range.
    int rawValue() const { return raw; }
    void setRawValue(int value);

signals:
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString shown;
    int raw = 0;
};

} // namespace gui
