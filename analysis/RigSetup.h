// SPDX-License-Identifier: GPL-3.0-or-later
// A copy of every table the calculation of a rig reads: the setup tables, the species table and
// the working lists the mixer stage and the cell runs fill. Work on a copy (a sweep, a plot in a
// worker thread) runs on it alone and never touches the tables the window edits.
#pragma once

#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "equilibrium/ChemicalData.h"

#include <cstdint>

struct RigSetup {
    InputMixtureRecords InputMixtures{};
    MixtureRecords Mixtures{};
    FlowmeterRecords Flowmeters{};
    CalibrationRecords Calibrations{};
    CellRecords Cells{};
    CompoundTable Compounds{};
    std::uint16_t CompoundCount = 0;

    // Working lists of the mixer stage, as the last stage on this copy left them.
    GasListTable GasList{};
    int GasCount = 0;
    GasStream WorkGas{};
    CellFeedTable CellFeed{};
    FlowmeterCurveTable FlowmeterCurves{};
    int NetworkSweeps = 0;

    // The copy's tables as the mixer stage takes them.
    RigTables Tables();
};

// The global tables as they are now. Call it on the thread that edits them (the window's).
RigSetup CaptureRigSetup();
