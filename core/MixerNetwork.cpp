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

int NetworkSweeps = 0;
FlowmeterCurveTable FlowmeterCurves{};

RigTables GlobalRigTables() {
    return {InputMixtures, Mixtures,  Flowmeters,   Calibrations, Cells,
            GasList,       GasCount,  WorkGas,      CellFeed,     FlowmeterCurves,
            NetworkSweeps, Compounds, CompoundCount};
}

void CheckInputMixture(int n) {
    CheckInputMixture(GlobalRigTables(), n, StatusLineMessages());
}

void CheckInputMixture(const RigTables& tables, int n, CalcMessages& messages) {
    if (!tables.InputMixtures.Contains(n))
        return;
    MixtureRecord& mixture = tables.InputMixtures[n];
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
        if (CountCompoundsWithFormula(tables.Compounds, tables.CompoundCount,
                                      component.Gas.View()) != 1) {
            ready = false;
            messages.Error("Input mix " + std::to_string(n) + " not properly defined",
                           MessagePause::Short, false);
        }
        if (component.Fraction > 0)
            ++positive;
    }
    mixture.Ready = (ready && positive >= 1) ? 1 : 0;
}

void ResetMixerNetwork() {
    NetworkSweeps = 0;
    FlowmeterCurves = {};
}

int CellNode(int c) {
    return CellNode(Cells, c);
}

int CellNode(const CellRecords& cells, int c) {
    if (!cells.Contains(c))
        return 0;
    const int node = cells[c].Mix;
    return (node >= 1 && node <= NodeCount) ? node : 0;
}

int FlowmeterNode(int f) {
    return FlowmeterNode(Flowmeters, f);
}

int FlowmeterNode(const FlowmeterRecords& flowmeters, int f) {
    if (!flowmeters.Contains(f))
        return 0;
    const int node = flowmeters[f].Output;
    return (node >= 1 && node <= NodeCount) ? node : 0;
}

int FlowmeterSource(int f) {
    return FlowmeterSource(Flowmeters, f);
}

int FlowmeterSource(const FlowmeterRecords& flowmeters, int f) {
    if (!flowmeters.Contains(f))
        return 0;
    const int mixture = flowmeters[f].Input;
    return MixtureRecords::Contains(mixture) ? mixture : 0;
}

bool InputMixtureFlows(int s) {
    for (int f = 1; f <= FlowmeterCount; ++f)
        if (Flowmeters[f].Input == s && Flowmeters[f].Reading > 0)
            return true;
    return false;
}

namespace {
// An input mixture is used when a flowmeter draws from it.
bool IsUsedInputMixture(const FlowmeterRecords& flowmeters, int s) {
    for (int f = 1; f <= FlowmeterCount; ++f)
        if (flowmeters[f].Input == s)
            return true;
    return false;
}

// Adds a gas to the list unless it is there already. Returns false when the list is full.
bool AddGas(const RigTables& t, std::string_view gas) {
    for (int c = 1; c <= t.GasCount; ++c)
        if (t.GasList[c] == gas)
            return true;
    if (t.GasCount == MaxGases)
        return false;
    ++t.GasCount;
    t.GasList[t.GasCount].Set(gas);
    return true;
}

bool CollectGases(const RigTables& t) {
    for (int s = 1; s <= InputMixtureCount; ++s) {
        if (!IsUsedInputMixture(t.Flowmeters, s))
            continue;
        for (const GasFraction& component : t.Mixtures[s].Gas) {
            const std::string_view name = TrimName(component.Gas.View());
            if (component.Fraction > 0 && !name.empty() && !AddGas(t, name))
                return false;
        }
    }
    for (const FlowmeterRecord& meter : t.Flowmeters) {
        const std::string_view gas = TrimName(meter.FixGas.View());
        if (meter.FixGasUsed == 1 && !gas.empty() && !AddGas(t, gas))
            return false;
    }
    for (int c = 1; c <= CellCount; ++c) {
        if (CellNode(t.Cells, c) == 0)
            continue;
        const CellRecord& cell = t.Cells[c];
        if ((cell.LeakO2 > 0 && !AddGas(t, "O2")) || (cell.LeakN2 > 0 && !AddGas(t, "N2")) ||
            (cell.LeakH2 > 0 && !AddGas(t, "H2")) || (cell.LeakH2O > 0 && !AddGas(t, "H2O")))
            return false;
    }
    return true;
}

// Puts the components of a mixture in gas-list order: slot c holds list entry c with the
// fraction of the last component of that name. Components whose gas is not in the list are
// dropped, and so are components without a name: they name no gas, and matching them against
// the empty entries beyond the list would spread their fraction over those entries.
void LayOutMixture(const GasListTable& gasList, MixtureRecord& mixture) {
    const auto aside = mixture.Gas;
    for (GasFraction& slot : mixture.Gas) {
        slot.Gas.Set("");
        slot.Fraction = 0;
    }
    for (const GasFraction& component : aside) {
        for (int c = 1; c <= MaxGases; ++c) {
            if (!component.Gas.Empty() && component.Gas == gasList[c])
                mixture.Gas[c].Fraction = component.Fraction;
            mixture.Gas[c].Gas = gasList[c];
        }
    }
}
} // namespace

bool BuildGasList() {
    return BuildGasList(GlobalRigTables());
}

bool BuildGasList(const RigTables& t) {
    for (Text<12>& entry : t.GasList)
        entry.Set("");
    t.GasCount = 0;
    if (!CollectGases(t))
        return true;

    for (int s = 1; s <= InputMixtureCount; ++s)
        if (IsUsedInputMixture(t.Flowmeters, s))
            LayOutMixture(t.GasList, t.Mixtures[s]);
    for (int node = 1; node <= NodeCount; ++node) {
        for (int c = 1; c <= MaxGases; ++c) {
            t.Mixtures[NodeMixture(node)].Gas[c].Gas = t.GasList[c];
            t.Mixtures[NodeMixture(node)].Gas[c].Fraction = 0;
        }
    }
    return false;
}

namespace {
// The flow of flowmeter f from its reading and the stream in WorkGas, each gas weighted by its
// fraction. Every slot is looked up, also empty ones and those with fraction 0 (as
// CalibratedFlow does it); the curves of the gases that flow are noted.
double MeasuredFlow(const RigTables& t, int f) {
    const double reading = t.Flowmeters[f].Reading;
    t.FlowmeterCurves[f] = {};
    double flow = 0;
    for (int j = 1; j <= MaxGases; ++j) {
        const GasFraction& slot = t.WorkGas[j];
        double gasFlow = 0;
        if (reading > 0) {
            const int curve = ChosenCurve(t.Flowmeters, t.Calibrations, f, slot.Gas.View());
            gasFlow =
                t.Calibrations.Contains(curve) ? CurveFlow(t.Calibrations[curve], reading) : 0;
            if (slot.Fraction > 0 && !slot.Gas.Empty())
                t.FlowmeterCurves[f][j] = curve;
        }
        flow = static_cast<double>(static_cast<long double>(slot.Fraction) * gasFlow + flow);
    }
    return flow;
}

// Adds the stream through flowmeter f to node mixture n.
void ProcessFlowmeter(const RigTables& t, int f, MixtureRecord& node) {
    const MixtureRecord& source = t.Mixtures[FlowmeterSource(t.Flowmeters, f)];
    for (int j = 1; j <= MaxGases; ++j)
        t.WorkGas[j] = source.Gas[j];
    ApplyStageBefore(t.Flowmeters[f], t.WorkGas);
    double flow = MeasuredFlow(t, f);
    ApplyStageAfter(t.Flowmeters[f], t.WorkGas, flow);
    t.Flowmeters[f].Flow = flow;
    node.Flow = node.Flow + flow;
    for (int j = 1; j <= MaxGases; ++j)
        node.Gas[j].Fraction = static_cast<double>(
            static_cast<long double>(flow) * t.WorkGas[j].Fraction + node.Gas[j].Fraction);
}

// One attempt to resolve node k (1..16). Returns false when a flowmeter with a positive reading
// cannot be used yet; the node then keeps the partial sums of this attempt.
bool ResolveNode(const RigTables& t, int k, CalcMessages& messages) {
    MixtureRecord& node = t.Mixtures[NodeMixture(k)];
    bool usable = true;
    node.Flow = 0;
    for (GasFraction& slot : node.Gas)
        slot.Fraction = 0;
    for (int f = 1; f <= FlowmeterCount; ++f) {
        if (FlowmeterNode(t.Flowmeters, f) != k)
            continue;
        const int source = FlowmeterSource(t.Flowmeters, f);
        if (usable && source != 0 && t.Mixtures[source].Ready == 1) {
            ProcessFlowmeter(t, f, node);
        } else if (t.Flowmeters[f].Reading > 0) {
            usable = false;
            messages.Error("Inappropriate number of gases (too many / flow for nonexistent "
                           "flowmeter)",
                           MessagePause::Error, true);
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
    return SolveNetwork(GlobalRigTables(), StatusLineMessages());
}

bool SolveNetwork(const RigTables& t, CalcMessages& messages) {
    t.NetworkSweeps = 0;
    t.FlowmeterCurves = {};
    bool complete = false;
    do {
        ++t.NetworkSweeps;
        complete = true;
        bool progress = false;
        for (int k = 1; k <= NodeCount; ++k) {
            if (t.Mixtures[NodeMixture(k)].Ready == 1)
                continue;
            if (ResolveNode(t, k, messages))
                progress = true;
            else
                complete = false;
        }
        // A sweep that resolves no node changes nothing that the next sweep reads: every later
        // sweep would repeat it exactly, warnings included, and end in the same state.
        if (!complete && !progress)
            break;
    } while (!complete && t.NetworkSweeps < MaxNetworkSweeps);
    return complete;
}
