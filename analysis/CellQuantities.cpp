// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/CellQuantities.h"

#include "analysis/RootFinding.h"
#include "core/ConditioningStages.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/FormationReactions.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double Faraday = 96485.33212; // C/mol
constexpr double ZeroCelsius = 273.15;  // K
// Ice and liquid water meet at the triple point; the frost-point formula is written about it.
constexpr double TriplePoint = 273.16; // K
// Above the critical point of water no gas condenses: a dew point has no meaning there.
constexpr double CriticalPointC = 373.95;
// The lowest temperature searched for a frost point. The formula over ice rises steadily with
// the temperature, and at 1 K it is below every positive double, so that every water pressure
// there is has its frost point above it.
constexpr double ColdestKelvin = 1;

std::optional<double> Find(const std::vector<std::pair<std::string, double>>& values,
                           const std::string& name) {
    for (const auto& [key, value] : values)
        if (key == name)
            return value;
    return std::nullopt;
}

// A positive finite value, or nothing.
std::optional<double> Positive(std::optional<double> value) {
    if (value && std::isfinite(*value) && *value > 0)
        return value;
    return std::nullopt;
}

// A condensed phase takes no part in the gas's mole fractions.
bool Condensed(const std::string& species) {
    return species.find("(s)") != std::string::npos;
}

// A ratio of two amounts both present.
std::optional<double> Ratio(const CellSnapshot& cell, const char* top, const char* bottom) {
    const std::optional<double> a = Positive(Find(cell.Equilibrium, top));
    const std::optional<double> b = Positive(Find(cell.Equilibrium, bottom));
    if (a && b)
        return *a / *b;
    return std::nullopt;
}

double Log10IcePressure(double kelvin) {
    const double r = TriplePoint / kelvin;
    return -9.09718 * (r - 1) - 3.56654 * std::log10(r) + 0.876793 * (1 - 1 / r) +
           std::log10(6.1071);
}

// The temperature (K) on [lo, hi] at which log10 of a vapour pressure (hPa) reaches the goal,
// the curve rising with the temperature; the nearer end when the goal lies just beyond one.
double SolveVapourCurve(const std::function<double(double)>& log10Pressure, double goal, double lo,
                        double hi) {
    const auto f = [&](double kelvin) { return log10Pressure(kelvin) - goal; };
    const double flo = f(lo);
    const double fhi = f(hi);
    if (flo >= 0)
        return lo;
    if (fhi <= 0)
        return hi;
    BrentOptions options;
    options.XTolerance = 1e-13;
    return BrentRoot(f, lo, hi, flo, fhi, options).value_or(hi);
}

} // namespace

bool ValidReferencePO2(double bar) {
    return std::isfinite(bar) && bar > 0;
}

const std::vector<QuantityName>& QuantityNames() {
    static const std::vector<QuantityName> names = {
        {"log10pO2", "log10 pO2", &CellQuantities::Log10pO2},
        {"sensorEmfmV", "EMF (mV)", &CellQuantities::SensorEmfmV},
        {"waterPpmFeed", "Water fed (ppm)", &CellQuantities::WaterPpmFeed},
        {"waterPpmEquilibrium", "Water at equilibrium (ppm)", &CellQuantities::WaterPpmEquilibrium},
        {"dewPointC",
         "Dew point (\xB0"
         "C)",
         &CellQuantities::DewPointC},
        {"h2oH2Ratio", "H2O/H2", &CellQuantities::H2oH2Ratio},
        {"co2CoRatio", "CO2/CO", &CellQuantities::Co2CoRatio},
    };
    return names;
}

const QuantityName* FindQuantity(const std::string& name) {
    for (const QuantityName& quantity : QuantityNames())
        if (name == quantity.Name)
            return &quantity;
    return nullptr;
}

std::optional<double> SensorEmf(double pO2, double referencePO2, double temperatureC) {
    const double kelvin = temperatureC + ZeroCelsius;
    if (!(pO2 > 0) || !ValidReferencePO2(referencePO2) || !(kelvin > 0) || !std::isfinite(pO2) ||
        !std::isfinite(kelvin))
        return std::nullopt;
    const long double volts = static_cast<long double>(GasConstant) * kelvin / (4 * Faraday) *
                              std::log(static_cast<long double>(referencePO2) / pO2);
    return static_cast<double>(volts * 1000);
}

std::optional<double> PO2FromSensorEmf(double emfmV, double referencePO2, double temperatureC) {
    const double kelvin = temperatureC + ZeroCelsius;
    if (!std::isfinite(emfmV) || !ValidReferencePO2(referencePO2) || !(kelvin > 0) ||
        !std::isfinite(kelvin))
        return std::nullopt;
    const long double exponent =
        static_cast<long double>(emfmV) / 1000 * 4 * Faraday / (GasConstant * kelvin);
    return static_cast<double>(referencePO2 * std::exp(-exponent));
}

double IceVapourPressure(double kelvin) {
    return std::pow(10.0, Log10IcePressure(kelvin));
}

std::optional<double> DewPointOf(double waterPressureBar) {
    if (!(waterPressureBar > 0) || !std::isfinite(waterPressureBar))
        return std::nullopt;
    const double goal = std::log10(waterPressureBar * 1000); // hPa
    const auto overWater = [](double kelvin) { return std::log10(WaterVapourPressure(kelvin)); };
    const double critical = CriticalPointC + ZeroCelsius;
    if (goal > overWater(critical))
        return std::nullopt;
    if (goal >= overWater(ZeroCelsius))
        return SolveVapourCurve(overWater, goal, ZeroCelsius, critical) - ZeroCelsius;
    // Below the vapour pressure of water at 0 degrees Celsius the vapour meets ice first. The
    // two formulas differ there by a few parts in ten thousand; a pressure between them is
    // reached at 0 degrees Celsius.
    return SolveVapourCurve(Log10IcePressure, goal, ColdestKelvin, ZeroCelsius) - ZeroCelsius;
}

CellQuantities ComputeCellQuantities(const CellSnapshot& cell, const QuantityOptions& options) {
    CellQuantities q;
    if (const std::optional<double> pO2 = Positive(Find(cell.Equilibrium, "O2"))) {
        q.Log10pO2 = std::log10(*pO2);
        q.SensorEmfmV = SensorEmf(*pO2, options.ReferencePO2, cell.TemperatureC);
    }
    const std::optional<double> feedWater = Positive(Find(cell.Feed, "H2O"));
    if (feedWater) {
        q.WaterPpmFeed = *feedWater * 1e6;
        if (std::isfinite(cell.Pressure) && cell.Pressure > 0)
            q.DewPointC = DewPointOf(*feedWater * cell.Pressure);
    }
    if (const std::optional<double> water = Positive(Find(cell.Equilibrium, "H2O"))) {
        double gas = 0;
        for (const auto& [species, pressure] : cell.Equilibrium)
            if (!Condensed(species) && std::isfinite(pressure) && pressure > 0)
                gas += pressure;
        q.WaterPpmEquilibrium = *water / gas * 1e6;
    }
    q.H2oH2Ratio = Ratio(cell, "H2O", "H2");
    q.Co2CoRatio = Ratio(cell, "CO2", "CO");
    return q;
}

std::optional<CellSnapshot> CalculatedCellState(int cell) {
    if (!Cells.Contains(cell) || Cells[cell].State == CellRunState::NotCalculated)
        return std::nullopt;
    CellSnapshot snapshot;
    snapshot.TemperatureC = Cells[cell].Temperature;
    snapshot.Pressure = Cells[cell].Pressure;
    for (int j = 1; j <= std::min(GasCount, MaxGases); ++j)
        snapshot.Feed.emplace_back(GasList[j].Str(), CellFeed[cell][j].Fraction);
    // Until its first pass a cell holds its feed where the equilibrium goes; a cell that a
    // solver found no answer for holds no numbers.
    if (CellPasses[cell] > 0) {
        for (int j = 1; j <= std::min<int>(EqSpeciesCount, MaxEqSpecies); ++j) {
            const long double amount = CellBestAmounts[cell][j];
            if (std::isnan(amount) || !Compounds.Contains(EqSpecies[j])) {
                snapshot.Equilibrium.clear();
                break;
            }
            snapshot.Equilibrium.emplace_back(Compounds[EqSpecies[j]].Formula,
                                              static_cast<double>(amount));
        }
    }
    return snapshot;
}

CellQuantities QuantitiesOfCell(int cell, const QuantityOptions& options) {
    const std::optional<CellSnapshot> snapshot = CalculatedCellState(cell);
    return snapshot ? ComputeCellQuantities(*snapshot, options) : CellQuantities{};
}
