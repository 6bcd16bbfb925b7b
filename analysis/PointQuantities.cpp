// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PointQuantities.h"

CellSnapshot SnapshotOf(const CellPoint& cell) {
    CellSnapshot snapshot;
    snapshot.TemperatureC = cell.Temperature;
    snapshot.Pressure = cell.Pressure;
    for (const FeedShare& share : cell.Feed)
        snapshot.Feed.emplace_back(share.Gas, share.Fraction);
    for (const SpeciesPressure& species : cell.Equilibrium)
        snapshot.Equilibrium.emplace_back(species.Species, static_cast<double>(species.Pressure));
    return snapshot;
}

CellQuantities QuantitiesOf(const CellPoint& cell, const QuantityOptions& options) {
    return ComputeCellQuantities(SnapshotOf(cell), options);
}
