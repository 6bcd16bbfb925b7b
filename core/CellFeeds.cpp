#include "core/CellFeeds.h"

#include "core/MixerNetwork.h"
#include "core/SetupTables.h"

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
    for (int c = 1; c <= CellCount; ++c) {
        auto& feed = CellFeed[c];
        const int node = CellNode(c);
        if (node == 0) {
            for (GasFraction& slot : feed) {
                slot.Gas.Set("");
                slot.Fraction = 0;
            }
            continue;
        }
        const MixtureRecord& mixture = Mixtures[NodeMixture(node)];
        double sum = 0;
        for (int j = 1; j <= MaxGases; ++j) {
            feed[j].Gas = mixture.Gas[j].Gas;
            feed[j].Fraction = mixture.Gas[j].Fraction;
            const double leak = Leak(Cells[c], feed[j].Gas);
            if (leak != 0)
                feed[j].Fraction = Sum(feed[j].Fraction, leak);
            sum = Sum(sum, feed[j].Fraction);
        }
        for (GasFraction& slot : feed)
            slot.Fraction =
                sum == 0 ? 0 : static_cast<double>(static_cast<long double>(slot.Fraction) / sum);
    }
}
