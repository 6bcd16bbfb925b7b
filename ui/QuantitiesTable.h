// SPDX-License-Identifier: GPL-3.0-or-later
// The "Cell quantities" table of the output cells page: one column per cell that the last
// calculation took in, one row per quantity (log10 pO2, the sensor's EMF, water fed and at
// equilibrium, the dew point, H2O/H2 and CO2/CO). It holds nothing of its own: every rebuild
// reads the current results. Copy Table (its context menu, and Ctrl+C when it has the focus)
// puts it on the clipboard as tab-separated text, every value in full.
#pragma once

#include "analysis/CellQuantities.h"

#include <QTableWidget>

#include <vector>

class QAction;

class TQuantitiesTable : public QTableWidget {
    Q_OBJECT

public:
    explicit TQuantitiesTable(QWidget* parent = nullptr);

    // Rebuilds the table from the current results with these settings.
    void ShowQuantities(const QuantityOptions& options);
    // The cells shown, in column order.
    const std::vector<int>& ShownCells() const { return FCells; }
    void CopyTableClick();

    QAction* CopyTable1 = nullptr;

private:
    std::vector<int> FCells;
    QuantityOptions FOptions;
};
