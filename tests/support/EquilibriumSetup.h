// SPDX-License-Identifier: GPL-3.0-or-later
// A fixture for the equilibrium run and small builders of its inputs. The run is repeatable:
// the random step's generator is seeded and the clock moves by a quarter second at every reading.
// A run that goes on for more passes than any test needs fails the test and is stopped as the
// user would stop it.
#pragma once

#include "support/MixerSetup.h"
#include "support/TestSetup.h"

#include <functional>
#include <string>
#include <vector>

// Gives cells 1, 2, ... these feeds as the mixer stage leaves them: every gas of the feeds on the
// gas list in the order of first appearance, the cells connected. The other cells get no feed
// and no node.
void SetCellFeeds(const std::vector<Components>& feeds);

// A feed of all eleven gases the species table has, twelve species in all: O2 0.05 against H2
// 0.05 and CO 0.05, with traces of D2 and NH3, in argon, nitrogen and helium.
const Components& ElevenGases();

// Gives the cells these feeds (SetCellFeeds), cell 1 this temperature and pressure, selects the
// species and prepares the cells: the run as it stands before it solves cell 1.
void PrepareCellOne(const std::vector<Components>& feeds, double temperatureC, double pressure);

// The pattern search's error measure, on the cell's own system at its conditions, of the amounts
// the cell shows (CellBestAmounts).
long double ErrorOfShownAmounts(int cell);

// The species-table number of the species with this formula; fails the test when there is none.
int CompoundNumber(const std::string& formula);

// A finished run set by hand, for the results views: species H2 and H2O, gases H2O and H2. Cell 2
// "Furnace" was fed 0.25 H2O and 0.75 H2; the best point of its run holds 0.01 bar of H2 and
// 1e-320 bar of H2O (below the logarithm's clamp), while its last pass gave up and left 1 bar of
// each to start again from. Cell 3 has no name and a negative amount of H2, which has no
// logarithm; cell 5 had no answer at all (NaN).
void FakeFinishedRun();

// Formulas of EqSpecies 1..EqSpeciesCount.
std::vector<std::string> EqSpeciesFormulas();
// Position of the species in EqSpecies; fails the test when it is not there.
int EqPosition(const std::string& formula);

// A table of cases calls SetUp and TearDown around each case, as a fresh test would. TearDown
// holds every converged cell to its equilibrium (MeetsEquilibrium) within what its best error
// guarantees, and a cell solved exactly within what the exact solver promises
// (ConvergedCellTolerance).
class EquilibriumRun : public ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Off where a test sets cell states by hand, so that a cell marked converged has no
    // solution to check.
    bool CheckConvergedCells = true;

    // Called at every solver pass, when the run lets input through.
    std::function<void()> OnPass;
    // Solver passes of one cell so far, by its progress lines.
    int PassesOf(int cell) const;

    static constexpr int PassLimit = 500;
    int Passes = 0;
};

// |actual - expected| <= relative * |expected|, the one tolerance of the equilibrium tests.
::testing::AssertionResult RelativelyNear(long double actual, long double expected,
                                          long double relative);
