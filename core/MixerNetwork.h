// The mixer network: which input mixtures are usable, the gas list and the node sweeps.
#pragma once

#include <string_view>

// Removes leading and trailing spaces and control characters.
std::string_view TrimName(std::string_view name);

// Checks InputMixtures[n] (n = 1..16): trims its component names in place, sets its Ready flag
// and shows "Input mix n not properly defined" for every component whose name is not the
// formula of exactly one species.
void CheckInputMixture(int n);
