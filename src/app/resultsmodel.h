// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shows a results::ResultsGrid to a QTableView: view row i is grid row i + 1 (rows 1..99), the
// horizontal header shows grid row 0. Read-only; the window changes the grid through its own
// operations and then calls refresh(). Tooltips are the view's: only a cell that does not show
// its whole text has one.
#include <QAbstractTableModel>

#include "results/resultsgrid.h"

namespace app {

class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultsModel(const results::ResultsGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Tells the view that any cell or header text may have changed; keeps the view's selection.
    void refresh();

private:
    const results::ResultsGrid& m_grid;
};

} // namespace app
