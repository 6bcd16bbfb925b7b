#include "core/MixerNetwork.h"

#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "equilibrium/ChemicalData.h"

#include <string>

namespace {
bool IsTrimmed(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
}
} // namespace

std::string_view TrimName(std::string_view name) {
    while (!name.empty() && IsTrimmed(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && IsTrimmed(name.back()))
        name.remove_suffix(1);
    return name;
}

void CheckInputMixture(int n) {
    if (!InputMixtures.Contains(n))
        return;
    MixtureRecord& mixture = InputMixtures[n];
    bool ready = true;
    int positive = 0;
    for (int j = 1; j <= MaxGases; ++j) {
        GasFraction& component = mixture.Gas[j];
        const std::string_view trimmed = TrimName(component.Gas.View());
        // An unchanged name is left alone, so that a file read and saved again keeps its bytes.
        if (trimmed.size() != component.Gas.Length)
            component.Gas.Set(std::string(trimmed));
        if (component.Gas.Empty())
            continue;
        if (CountCompoundsWithFormula(component.Gas.View()) != 1) {
            ready = false;
            ShowStatusError("Input mix " + std::to_string(n) + " not properly defined", 1.0);
        }
        if (component.Fraction > 0)
            ++positive;
    }
    mixture.Ready = (ready && positive >= 1) ? 1 : 0;
}
