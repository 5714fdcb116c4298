#pragma once

#include "output/CompactRow.h"

#include <QTreeWidgetItem>

namespace output {

// A row of the results table that keeps its texts in a CompactRow; everything else (its
// tick, flags) is the list's own.
class ResultItem : public QTreeWidgetItem {
public:
    explicit ResultItem(const QString& path);

    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant& value) override;

    const CompactRow& texts() const { return row; }

private:
    CompactRow row;
};

} // namespace output
