// SPDX-License-Identifier: GPL-3.0-or-later
// quorvane-rig from-json on any document: RigFromJson either refuses it and changes nothing, or
// reads it, and then the rig goes back to JSON and in again unchanged, and its four files are
// written and read back byte for byte, as from-json writes them.
#include "FuzzSupport.h"

#include "core/SetupTables.h"
#include "files/RigJson.h"
#include "files/SetupFiles.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// The four stored tables with their meaningless bytes cleared.
struct Rig {
    IndexedTable<MixtureRecord, 1, InputMixtureCount> Inputs;
    IndexedTable<FlowmeterRecord, 1, FlowmeterCount> Meters;
    IndexedTable<CalibrationRecord, 1, CalibrationCount> Curves;
    IndexedTable<CellRecord, 1, CellCount> CellTable;
};

std::unique_ptr<Rig> Snapshot() {
    auto rig = std::make_unique<Rig>();
    for (int i = 1; i <= InputMixtureCount; ++i)
        rig->Inputs[i] = Canonical(InputMixtures[i]);
    for (int i = 1; i <= FlowmeterCount; ++i)
        rig->Meters[i] = Canonical(Flowmeters[i]);
    for (int i = 1; i <= CalibrationCount; ++i)
        rig->Curves[i] = Canonical(Calibrations[i]);
    for (int i = 1; i <= CellCount; ++i)
        rig->CellTable[i] = Canonical(Cells[i]);
    return rig;
}

bool Same(const Rig& a, const Rig& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::unique_ptr<Rig>& Example() {
    static std::unique_ptr<Rig> example;
    return example;
}

void RestoreExample() {
    InputMixtures = Example()->Inputs;
    Flowmeters = Example()->Meters;
    Calibrations = Example()->Curves;
    Cells = Example()->CellTable;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzing();
    ReadExampleRig();
    Example() = Snapshot();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Each document is read into the example rig, so that a refused one must leave it whole.
    RestoreExample();
    const std::unique_ptr<Rig>& example = Example();
    std::string error;
    const std::string document(reinterpret_cast<const char*>(data), size);
    if (!RigFromJson(document, error)) {
        FuzzCheck(!error.empty(), "a refused document says why");
        FuzzCheck(Same(*Snapshot(), *example), "a refused document changes nothing");
        return 0;
    }
    const std::unique_ptr<Rig> read = Snapshot();

    const std::string json = RigToJson();
    SetStoredTablesToDefaults();
    FuzzCheck(RigFromJson(json, error), "the rig's own JSON is read");
    FuzzCheck(Same(*Snapshot(), *read), "the rig goes to JSON and back unchanged");
    FuzzCheck(RigToJson() == json, "the JSON of the rig read back is the same");

    const std::string base = FuzzPath("Rig");
    SaveFileSet(base);
    SetStoredTablesToDefaults();
    FuzzCheck(ReadStoredFileSet(base) == (std::array<bool, 4>{true, true, true, true}),
              "the written files are read");
    FuzzCheck(Same(*Snapshot(), *read), "the written files hold the rig");
    return 0;
}
