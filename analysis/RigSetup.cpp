// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/RigSetup.h"

RigTables RigSetup::Tables() {
    return {InputMixtures, Mixtures,  Flowmeters,   Calibrations, Cells,
            GasList,       GasCount,  WorkGas,      CellFeed,     FlowmeterCurves,
            NetworkSweeps, Compounds, CompoundCount};
}

RigSetup CaptureRigSetup() {
    RigSetup setup;
    setup.InputMixtures = InputMixtures;
    setup.Mixtures = Mixtures;
    setup.Flowmeters = Flowmeters;
    setup.Calibrations = Calibrations;
    setup.Cells = Cells;
    setup.Compounds = Compounds;
    setup.CompoundCount = CompoundCount;
    setup.GasList = GasList;
    setup.GasCount = GasCount;
    setup.WorkGas = WorkGas;
    setup.CellFeed = CellFeed;
    setup.FlowmeterCurves = FlowmeterCurves;
    setup.NetworkSweeps = NetworkSweeps;
    return setup;
}
