// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MixerNetwork.h"

#include "core/Calibration.h"
#include "core/ConditioningStages.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "equilibrium/ChemicalData.h"

#include <string>

namespace {
bool IsTrimmed(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
}
} // namespace

std::string_view TrimName(std::string_view name) {
    while (!name.empty() && IsTrimmed(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && IsTrimmed(name.back()))
        name.remove_suffix(1);
    return name;
}

void CheckInputMixture(int n) {
    if (!InputMixtures.Contains(n))
        return;
    MixtureRecord& mixture = InputMixtures[n];
    bool ready = true;
    int positive = 0;
    for (int j = 1; j <= MaxGases; ++j) {
        GasFraction& component = mixture.Gas[j];
        const std::string_view trimmed = TrimName(component.Gas.View());
        // An unchanged name is left alone, so that a file read and saved again keeps its bytes.
        if (trimmed.size() != component.Gas.Length)
            component.Gas.Set(std::string(trimmed));
        if (component.Gas.Empty())
            continue;
        if (CountCompoundsWithFormula(component.Gas.View()) != 1) {
            ready = false;
            ShowStatusError("Input mix " + std::to_string(n) + " not properly defined", 1.0);
        }
        if (component.Fraction > 0)
            ++positive;
    }
    mixture.Ready = (ready && positive >= 1) ? 1 : 0;
}

int NetworkSweeps = 0;
IndexedTable<IndexedTable<int, 1, MaxGases>, 1, FlowmeterCount> FlowmeterCurves{};

void ResetMixerNetwork() {
    NetworkSweeps = 0;
    FlowmeterCurves = {};
}

int CellNode(int c) {
    if (!Cells.Contains(c))
        return 0;
    const int node = Cells[c].Mix;
    return (node >= 1 && node <= NodeCount) ? node : 0;
}

int FlowmeterNode(int f) {
    if (!Flowmeters.Contains(f))
        return 0;
    const int node = Flowmeters[f].Output;
    return (node >= 1 && node <= NodeCount) ? node : 0;
}

int FlowmeterSource(int f) {
    if (!Flowmeters.Contains(f))
        return 0;
    const int mixture = Flowmeters[f].Input;
    return Mixtures.Contains(mixture) ? mixture : 0;
}

bool InputMixtureFlows(int s) {
    for (int f = 1; f <= FlowmeterCount; ++f)
        if (Flowmeters[f].Input == s && Flowmeters[f].Reading > 0)
            return true;
    return false;
}

namespace {
// An input mixture is used when a flowmeter draws from it.
bool IsUsedInputMixture(int s) {
    for (int f = 1; f <= FlowmeterCount; ++f)
        if (Flowmeters[f].Input == s)
            return true;
    return false;
}

// Adds a gas to the list unless it is there already. Returns false when the list is full.
bool AddGas(std::string_view gas) {
    for (int c = 1; c <= GasCount; ++c)
        if (GasList[c] == gas)
            return true;
    if (GasCount == MaxGases)
        return false;
    ++GasCount;
    GasList[GasCount].Set(gas);
    return true;
}

bool CollectGases() {
    for (int s = 1; s <= InputMixtureCount; ++s) {
        if (!IsUsedInputMixture(s))
            continue;
        for (const GasFraction& component : Mixtures[s].Gas) {
            const std::string_view name = TrimName(component.Gas.View());
            if (component.Fraction > 0 && !name.empty() && !AddGas(name))
                return false;
        }
    }
    for (const FlowmeterRecord& meter : Flowmeters) {
        const std::string_view gas = TrimName(meter.FixGas.View());
        if (meter.FixGasUsed == 1 && !gas.empty() && !AddGas(gas))
            return false;
    }
    for (int c = 1; c <= CellCount; ++c) {
        if (CellNode(c) == 0)
            continue;
        const CellRecord& cell = Cells[c];
        if ((cell.LeakO2 > 0 && !AddGas("O2")) || (cell.LeakN2 > 0 && !AddGas("N2")) ||
            (cell.LeakH2 > 0 && !AddGas("H2")) || (cell.LeakH2O > 0 && !AddGas("H2O")))
            return false;
    }
    return true;
}

// Puts the components of a mixture in gas-list order: slot c holds list entry c with the
// fraction of the last component of that name. Components whose gas is not in the list are
// dropped, and so are components without a name: they name no gas, and matching them against
// the empty entries beyond the list would spread their fraction over those entries.
void LayOutMixture(MixtureRecord& mixture) {
    const auto aside = mixture.Gas;
    for (GasFraction& slot : mixture.Gas) {
        slot.Gas.Set("");
        slot.Fraction = 0;
    }
    for (const GasFraction& component : aside) {
        for (int c = 1; c <= MaxGases; ++c) {
            if (!component.Gas.Empty() && component.Gas == GasList[c])
                mixture.Gas[c].Fraction = component.Fraction;
            mixture.Gas[c].Gas = GasList[c];
        }
    }
}
} // namespace

bool BuildGasList() {
    for (Text<12>& entry : GasList)
        entry.Set("");
    GasCount = 0;
    if (!CollectGases())
        return true;

    for (int s = 1; s <= InputMixtureCount; ++s)
        if (IsUsedInputMixture(s))
            LayOutMixture(Mixtures[s]);
    for (int node = 1; node <= NodeCount; ++node) {
        for (int c = 1; c <= MaxGases; ++c) {
            Mixtures[NodeMixture(node)].Gas[c].Gas = GasList[c];
            Mixtures[NodeMixture(node)].Gas[c].Fraction = 0;
        }
    }
    return false;
}

namespace {
// The flow of flowmeter f from its reading and the stream in WorkGas, each gas weighted by its
// fraction. Every slot is looked up, also empty ones and those with fraction 0 (as
// CalibratedFlow does it); the curves of the gases that flow are noted.
double MeasuredFlow(int f) {
    const double reading = Flowmeters[f].Reading;
    FlowmeterCurves[f] = {};
    double flow = 0;
    for (int j = 1; j <= MaxGases; ++j) {
        const GasFraction& slot = WorkGas[j];
        double gasFlow = 0;
        if (reading > 0) {
            const int curve = ChosenCurve(f, slot.Gas.View());
            gasFlow = CurveFlow(curve, reading);
            if (slot.Fraction > 0 && !slot.Gas.Empty())
                FlowmeterCurves[f][j] = curve;
        }
        flow = static_cast<double>(static_cast<long double>(slot.Fraction) * gasFlow + flow);
    }
    return flow;
}

// Adds the stream through flowmeter f to node mixture n.
void ProcessFlowmeter(int f, MixtureRecord& node) {
    const MixtureRecord& source = Mixtures[FlowmeterSource(f)];
    for (int j = 1; j <= MaxGases; ++j)
        WorkGas[j] = source.Gas[j];
    ApplyStageBefore(f);
    double flow = MeasuredFlow(f);
    ApplyStageAfter(f, flow);
    Flowmeters[f].Flow = flow;
    node.Flow = node.Flow + flow;
    for (int j = 1; j <= MaxGases; ++j)
        node.Gas[j].Fraction = static_cast<double>(
            static_cast<long double>(flow) * WorkGas[j].Fraction + node.Gas[j].Fraction);
}

// One attempt to resolve node k (1..16). Returns false when a flowmeter with a positive reading
// cannot be used yet; the node then keeps the partial sums of this attempt.
bool ResolveNode(int k) {
    MixtureRecord& node = Mixtures[NodeMixture(k)];
    bool usable = true;
    node.Flow = 0;
    for (GasFraction& slot : node.Gas)
        slot.Fraction = 0;
    for (int f = 1; f <= FlowmeterCount; ++f) {
        if (FlowmeterNode(f) != k)
            continue;
        const int source = FlowmeterSource(f);
        if (usable && source != 0 && Mixtures[source].Ready == 1) {
            ProcessFlowmeter(f, node);
        } else if (Flowmeters[f].Reading > 0) {
            usable = false;
            Beep();
            ShowStatusError("Inappropriate number of gases (too many / flow for nonexistent "
                            "flowmeter)",
                            ErrorPause);
        }
    }
    if (!usable)
        return false;
    if (node.Flow > 0)
        for (GasFraction& slot : node.Gas)
            slot.Fraction =
                static_cast<double>(static_cast<long double>(slot.Fraction) / node.Flow);
    node.Ready = 1;
    return true;
}
} // namespace

bool SolveNetwork() {
    NetworkSweeps = 0;
    FlowmeterCurves = {};
    bool complete = false;
    do {
        ++NetworkSweeps;
        complete = true;
        bool progress = false;
        for (int k = 1; k <= NodeCount; ++k) {
            if (Mixtures[NodeMixture(k)].Ready == 1)
                continue;
            if (ResolveNode(k))
                progress = true;
            else
                complete = false;
        }
        // A sweep that resolves no node changes nothing that the next sweep reads: every later
        // sweep would repeat it exactly, warnings included, and end in the same state.
        if (!complete && !progress)
            break;
    } while (!complete && NetworkSweeps < MaxNetworkSweeps);
    return complete;
}
