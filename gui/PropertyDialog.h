#pragma once

#include <QCursor>
#include <QDialog>
#include <QHash>

#include <optional>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace base {
struct PropertyInfo;
}

namespace base {
class ErrorReport;
class ErrorSink;
} // namespace base

namespace gui {

// The property dialog "PDF Properties": one check box per property of the registry, each
// storing its choice at every click, the described ones in one group and any further ones in
// "More properties", and "Close". It never touches the results; the next run reads the
// choices.
class PropertyDialog : public QDialog {
    Q_OBJECT
public:
    // programFolder holds the hand cursor; a setting that cannot be stored is reported to
    // errors.
    PropertyDialog(const QString& programFolder, base::ErrorSink& errors,
                   QWidget* parent = nullptr);

    // Colours, hand cursor, and the boxes set from the stored choices.
    void load();

    // The check box of a property's settings key ("Column1" to "Column11", and the further
    // properties' keys).
    QCheckBox* boxForKey(const QString& key) const { return boxes.value(key); }
    QPushButton* closeButton() const { return close; }
    const std::optional<QCursor>& customCursor() const { return handCursor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    // A group of boxes in two columns, appended to keyboardOrder down the left, then the
    // right.
    QGroupBox* addGroup(const QString& title,
                        const std::pair<QList<const base::PropertyInfo*>,
                                        QList<const base::PropertyInfo*>>& columns,
                        QList<QWidget*>& keyboardOrder);

    QString programFolder;
    base::ErrorSink& errors;
    QHash<QString, QCheckBox*> boxes;
    QHash<QString, QString> defaults; // each key's choice when none is stored
    QPushButton* close = nullptr;
    std::optional<QCursor> handCursor;
};

class ModalWindows;

// "2. Choose PDF Properties To Extract": shows the property dialog modally.
void showPropertyDialog(ModalWindows& windows, const QString& programFolder,
                        const base::ErrorReport& errors);

} // namespace gui
