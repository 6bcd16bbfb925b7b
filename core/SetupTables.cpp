// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SetupTables.h"

#include <cstdio>
#include <cstdlib>

IndexedTable<MixtureRecord, 1, InputMixtureCount> InputMixtures;
IndexedTable<MixtureRecord, 1, MixtureCount> Mixtures;
IndexedTable<FlowmeterRecord, 1, FlowmeterCount> Flowmeters;
IndexedTable<CalibrationRecord, 1, CalibrationCount> Calibrations;
IndexedTable<CellRecord, 1, CellCount> Cells;

IndexedTable<Text<12>, 1, MaxGases> GasList;
int GasCount = 0;
IndexedTable<GasFraction, 1, MaxGases> WorkGas;
IndexedTable<IndexedTable<GasFraction, 1, MaxGases>, 1, CellCount> CellFeed;

int CurrentTable = NoTable;
int CurrentCell = 1;
int CurrentInputMix = 1;
int CurrentFlowmeter = 1;
int CurrentCalCurve = 0;
bool Running = false;
bool StopRequested = false;

std::string MixtureLabel(int mixture, int width) {
    if (!IsInputMixture(mixture) && !IsNodeMixture(mixture))
        return {};
    const std::string number =
        std::to_string(IsNodeMixture(mixture) ? MixtureNode(mixture) : mixture);
    std::string label(1, IsNodeMixture(mixture) ? 'M' : 'I');
    if (width > static_cast<int>(number.size()))
        label.append(static_cast<std::size_t>(width) - number.size(), ' ');
    label += number;
    return label;
}

int LabelledMixture(char letter, long number) {
    if (letter == 'I' && number >= 1 && number <= InputMixtureCount)
        return static_cast<int>(number);
    if (letter == 'M' && number >= 1 && number <= NodeCount)
        return NodeMixture(static_cast<int>(number));
    return 0;
}

void ResetSelectionState() {
    CurrentTable = NoTable;
    CurrentCell = 1;
    CurrentInputMix = 1;
    CurrentFlowmeter = 1;
    Running = false;
    StopRequested = false;
}

void ResetSetupTables() {
    InputMixtures = {};
    Mixtures = {};
    Flowmeters = {};
    Calibrations = {};
    Cells = {};
    GasList = {};
    GasCount = 0;
    WorkGas = {};
    CellFeed = {};
    ResetSelectionState();
    CurrentCalCurve = 0;
}

void TableIndexFault(long index, long first, long last) {
    std::fprintf(stderr, "Quorvane: table index %ld outside %ld..%ld\n", index, first, last);
    std::abort();
}
