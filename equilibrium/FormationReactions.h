// SPDX-License-Identifier: GPL-3.0-or-later
// The formation reactions of the run's compounds from the reference species of their elements,
// and their equilibrium constants at one temperature.
#pragma once

#include "core/StatusLine.h"
#include "equilibrium/EqCalcUnit.h"
#include "equilibrium/RunSpecies.h"

constexpr long double GasConstant = 8.31451L; // J/(mol K)

// Row r is the formation reaction of the compound EqSpecies[nE + r] (nE used elements): +1 in
// its own column, minus the molecules of reference species k it consumes in column k, 0
// elsewhere. Reaction r holds when sum over j of ReactionMatrix[r][j] * log10 x_j = LogKeq[r].
extern EqMatrix ReactionMatrix;
extern EqVector LogKeq; // decimal logarithm of each reaction's equilibrium constant

// Both cleared, as at start-up.
void ResetFormationReactions();

// Clears both (all 12 by 12 and 12 entries) and writes the ReactionCount rows of the run lists
// at T kelvin, showing the "Compound: " line and the coefficient line of every reaction.
void BuildFormationReactions(double T);

// The same rows for the given species into N and L, with the lines and warnings going to
// `messages`: what BuildFormationReactions does for the run's global lists.
void BuildFormationRows(const RunSpecies& species, double T, EqMatrix& N, EqVector& L,
                        CalcMessages& messages);
