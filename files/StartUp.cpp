#include "files/StartUp.h"

#include "core/Defaults.h"
#include "files/SetupFiles.h"

std::array<bool, 4> StartOnFileSet(const std::string& base) {
    for (auto& row : LoadedSetupFiles)
        row[1].clear();
    DefaultSetupLocation = base;
    InstallDefaults();
    std::array<bool, 4> read{};
    for (int row = InputFileRow; row <= CellFileRow; ++row)
        read[std::size_t(row)] = !LoadedSetupFiles[std::size_t(row)][1].empty();
    return read;
}
