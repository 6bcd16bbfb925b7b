// SPDX-License-Identifier: GPL-3.0-or-later
// Which stored tables an edit changed, by the kind of setup file that holds each of them (the
// rows of LoadedSetupFiles: INP, MIX, CAL, CEL). The fields a calculation writes into the
// records (the flowmeters' flows, the cells' run states, the input mixtures' ready flags, which
// follow from their gases) are not the user's and do not count.
#pragma once

#include <array>
#include <memory>

using SetupKinds = std::array<bool, 4>; // indexed by SetupFileRow

constexpr SetupKinds AllSetupKinds = {true, true, true, true};

// A copy of the four stored tables, taken when it is made.
class TStoredTablesCopy {
public:
    TStoredTablesCopy();
    ~TStoredTablesCopy();
    TStoredTablesCopy(const TStoredTablesCopy&) = delete;
    TStoredTablesCopy& operator=(const TStoredTablesCopy&) = delete;

    // The kinds whose table differs now from the copy in a byte of the user's.
    SetupKinds Changed() const;

private:
    struct Tables;
    std::unique_ptr<Tables> FTables;
};
