// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/CalcBounds.h"

namespace {
CalcBounds Active;
} // namespace

const CalcBounds& ActiveCalcBounds() {
    return Active;
}

ScopedCalcBounds::ScopedCalcBounds(const CalcBounds& bounds) : Previous(Active) {
    Active = bounds;
}

ScopedCalcBounds::~ScopedCalcBounds() {
    Active = Previous;
}

void ResetCalcBounds() {
    Active = {};
}
