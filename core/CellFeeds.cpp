// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/CellFeeds.h"

#include "core/MixerNetwork.h"
#include "core/SetupTables.h"

#include <cmath>

namespace {
double Sum(double a, double b) {
    return static_cast<double>(static_cast<long double>(a) + b);
}

// The leak of the cell's surroundings for one gas of the list.
double Leak(const CellRecord& cell, const Text<12>& gas) {
    if (gas == "O2")
        return cell.LeakO2;
    if (gas == "N2")
        return cell.LeakN2;
    if (gas == "H2")
        return cell.LeakH2;
    if (gas == "H2O")
        return cell.LeakH2O;
    return 0;
}
} // namespace

void ComputeCellFeeds() {
    ComputeCellFeeds(GlobalRigTables());
}

void ComputeCellFeeds(const RigTables& tables) {
    for (int c = 1; c <= CellCount; ++c) {
        auto& feed = tables.CellFeed[c];
        const int node = CellNode(tables.Cells, c);
        if (node == 0) {
            for (GasFraction& slot : feed) {
                slot.Gas.Set("");
                slot.Fraction = 0;
            }
            continue;
        }
        const MixtureRecord& mixture = tables.Mixtures[NodeMixture(node)];
        double sum = 0;
        for (int j = 1; j <= MaxGases; ++j) {
            feed[j].Gas = mixture.Gas[j].Gas;
            feed[j].Fraction = mixture.Gas[j].Fraction;
            const double leak = Leak(tables.Cells[c], feed[j].Gas);
            if (leak != 0)
                feed[j].Fraction = Sum(feed[j].Fraction, leak);
            sum = Sum(sum, feed[j].Fraction);
        }
        // A NaN or infinite fraction, or fractions too large to add up, would carry non-finite
        // numbers into the solver's logarithms: such a feed is treated like one whose sum is 0.
        bool usable = sum != 0 && std::isfinite(sum);
        for (GasFraction& slot : feed) {
            if (usable)
                slot.Fraction = static_cast<double>(static_cast<long double>(slot.Fraction) / sum);
            usable = usable && std::isfinite(slot.Fraction);
        }
        if (!usable)
            for (GasFraction& slot : feed)
                slot.Fraction = 0;
    }
}
