#include "ui/RigEdits.h"

#include "core/SetupTables.h"
#include "files/SetupFiles.h"

#include <cstring>

struct TStoredTablesCopy::Tables {
    decltype(InputMixtures) Input = InputMixtures;
    decltype(Flowmeters) Mixer = Flowmeters;
    decltype(Calibrations) Curves = Calibrations;
    decltype(Cells) CellRecords = Cells;
};

namespace {

template <typename Record> bool SameBytes(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

// Whether a table differs from its copy once the calculated fields of each record are taken
// from the copy.
template <typename Table, typename TakeCalculated>
bool Differs(const Table& before, const Table& now, TakeCalculated takeCalculated) {
    for (int i = Table::FirstIndex; i <= Table::LastIndex; ++i) {
        auto record = now[i];
        takeCalculated(record, before[i]);
        if (!SameBytes(record, before[i]))
            return true;
    }
    return false;
}

} // namespace

TStoredTablesCopy::TStoredTablesCopy() : FTables(std::make_unique<Tables>()) {}

TStoredTablesCopy::~TStoredTablesCopy() = default;

SetupKinds TStoredTablesCopy::Changed() const {
    SetupKinds changed{};
    changed[InputFileRow] =
        Differs(FTables->Input, InputMixtures, [](MixtureRecord& r, const MixtureRecord& b) {
            r.Ready = b.Ready;
            r.Flow = b.Flow;
        });
    changed[MixerFileRow] =
        Differs(FTables->Mixer, Flowmeters,
                [](FlowmeterRecord& r, const FlowmeterRecord& b) { r.Flow = b.Flow; });
    changed[CalibrationFileRow] = !SameBytes(FTables->Curves, Calibrations);
    changed[CellFileRow] = Differs(FTables->CellRecords, Cells,
                                   [](CellRecord& r, const CellRecord& b) { r.State = b.State; });
    return changed;
}
