// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ResultsView.h"

#include "core/Cat.h"
#include "core/Defaults.h"
#include "core/NumberText.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/EqCalcUnit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
// A value in exponent notation with so many decimals: 1.0000E-02.
std::string Exponent(double value, int decimals) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*E", decimals, value);
    return text;
}
} // namespace

ResultsView ResultsView::Shown() {
    return {ShowEquilibrium != 0, ShowLogarithmic != 0};
}

int ResultsView::Rows() const {
    return Equilibrium ? std::clamp<int>(EqSpeciesCount, 0, MaxEqSpecies)
                       : std::clamp(GasCount, 0, MaxGases);
}

std::string ResultsView::RowName(int row) const {
    if (!Equilibrium)
        return GasList[row].Str();
    const int species = EqSpecies[row];
    return Compounds.Contains(species) ? Compounds[species].Formula : std::string();
}

const char* ResultsView::RowHeading() const {
    return Equilibrium ? "Species" : "Gas";
}

std::string ResultsView::ColumnName(int cell) {
    return Cat("OC ", std::to_string(cell), "; ", Cells[cell].Name.View());
}

std::optional<long double> ResultsView::BestError(int cell) {
    if (CellPasses[cell] > 0 && !std::isnan(CellBestError[cell]))
        return CellBestError[cell];
    return std::nullopt;
}

std::string ResultsView::BestErrorText(int cell) {
    const std::optional<long double> error = BestError(cell);
    return error ? Exponent(static_cast<double>(*error), 2) : std::string();
}

long double ResultsView::Value(int cell, int row) const {
    return Equilibrium ? CellBestAmounts[cell][row] : CellFeed[cell][row].Fraction;
}

std::optional<long double> ResultsView::Shown(long double value) const {
    if (std::isnan(value))
        return std::nullopt;
    if (!Logarithmic)
        return value;
    if (value > 0)
        return Log10Clamped(value);
    return std::nullopt;
}

int ResultsView::Decimals() const {
    if (Logarithmic)
        return 5;
    return Equilibrium ? -4 : 6;
}

std::string ResultsView::Text(long double shown) const {
    const int decimals = Decimals();
    if (decimals >= 0)
        return FormatFixed(shown, 0, decimals);
    return Exponent(static_cast<double>(shown), -decimals);
}

const char* ResultsView::ScaleCaption() const {
    return Logarithmic ? "Logarithmic" : "Linear";
}

const char* ResultsView::SourceCaption() const {
    return Equilibrium ? "Cell equilibrium" : "Room temperature";
}

std::string ResultsView::Caption() const {
    return Cat("Results - ", ScaleCaption(), " at ", SourceCaption());
}

std::string ResultsView::Title() const {
    return Cat(Equilibrium ? "Cell equilibrium" : "Gas as fed", Logarithmic ? ", log10 of " : ", ",
               Equilibrium ? "partial pressures (bar)" : "mole fractions");
}
