// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/ChemicalData.h"

#include <initializer_list>

IndexedTable<ElementRecord, 1, ElementNumberCount> Elements;
IndexedTable<CompoundRecord, 1, CompoundCapacity> Compounds;
std::uint16_t CompoundCount = 0;

void ResetChemicalData() {
    Elements = {};
    Compounds = {};
    CompoundCount = 0;
}

void SetupElements() {
    for (ElementRecord& e : Elements) {
        e.Symbol.Set("");
        e.Atomicity = 0;
        e.StateCode.Set("");
        e.Used = false;
    }
    struct Row {
        int Number;
        const char* Symbol;
        std::uint16_t Atomicity;
        const char* State;
    };
    static constexpr Row rows[] = {
        {1, "H", 2, "g"},   {2, "He", 1, "g"},  {3, "Li", 1, "s"},  {4, "Be", 1, "s"},
        {5, "B", 1, "s"},   {6, "C", 1, "s"},   {7, "N", 2, "g"},   {8, "O", 2, "g"},
        {9, "F", 2, "g"},   {10, "Ne", 1, "g"}, {11, "Na", 1, "s"}, {12, "Mg", 1, "s"},
        {13, "Al", 1, "s"}, {14, "Si", 1, "s"}, {15, "P", 1, "s"},  {17, "Cl", 2, "g"},
        {18, "Ar", 1, "g"}, {122, "D", 2, "g"}, {123, "T", 2, "g"},
    };
    for (const Row& r : rows) {
        ElementRecord& e = Elements[r.Number];
        e.Symbol.Set(r.Symbol);
        e.Atomicity = r.Atomicity;
        e.StateCode.Set(r.State);
    }
}

namespace {
struct Atoms {
    int Element;
    double Count;
};

struct HSCLine {
    double A, B, C, D, T1, T2;
};

void FillCompound(int index, const char* formula, const char* name,
                  std::initializer_list<Atoms> composition, AggregateConditions phase, double s,
                  double dH, bool enabled, bool eimsf, std::initializer_list<HSCLine> hsc) {
    CompoundRecord& c = Compounds[index];
    c.Formula = formula;
    c.Name = name;
    for (const Atoms& a : composition)
        c.Composition[a.Element] = a.Count;
    c.Phase = phase;
    c.S = s;
    c.dH = dH;
    int row = 1;
    for (const HSCLine& h : hsc) {
        HSCRow& r = c.HSCData[row++];
        r[HSC_A] = h.A;
        r[HSC_B] = h.B;
        r[HSC_C] = h.C;
        r[HSC_D] = h.D;
        r[HSC_T1] = h.T1;
        r[HSC_T2] = h.T2;
    }
    c.Enabled = enabled;
    c.EIMSF = eimsf;
}
} // namespace

void SetupCompounds() {
    for (CompoundRecord& c : Compounds) {
        c.Formula.clear();
        c.Name.clear();
        for (double& a : c.Composition)
            a = 0;
        c.Phase = Gaseous;
        c.S = 0;
        c.dH = 0;
        for (HSCRow& row : c.HSCData)
            for (double& v : row)
                v = 0;
        c.Enabled = true;
        c.Selected = false;
        c.EIMSF = false;
    }

    constexpr int H = 1, He = 2, C = 6, N = 7, O = 8, Ar = 18, D = Deuterium;
    // clang-format off
    FillCompound(1, "H2", "Hydrogen", {{H, 2}}, Gaseous, 130.679, 0, true, true,
                 {{22.496, 17.044, 0.365, 11.122, 50, 298.15},
                  {25.855, 4.837, 1.584, -0.372, 298.15, 5000},
                  {29.769, 3.109, -40.12, -0.18, 5000, 6000}});
    FillCompound(2, "D2", "Deuterium", {{D, 2}}, Gaseous, 144.959, 0, true, true,
                 {{34.788, -45.657, -0.092, 92.342, 50, 298.15},
                  {26.465, 5.735, 0.867, -0.576, 298.15, 5000}});
    FillCompound(3, "C(s)", "Carbon", {{C, 1}}, Solid, 5.74, 0, true, true,
                 {{0.109, 38.94, -1.481, -17.385, 298.15, 1100},
                  {24.439, 0.435, -31.627, 0, 1100, 4073}});
    FillCompound(4, "N2", "Nitrogen", {{N, 2}}, Gaseous, 191.61, 0, true, true,
                 {{29.192, -1.121, 0, 3.092, 298.15, 400},
                  {22.552, 13.209, 3.13, -3.389, 400, 1600},
                  {36.84, 0.259, -54.789, 0, 1600, 6000}});
    FillCompound(5, "O2", "Oxygen", {{O, 2}}, Gaseous, 205.146, 0, true, true,
                 {{29.431, -4.015, -0.004, 12.82, 50, 298.15},
                  {31.012, 4.19, -2.858, -0.385, 298.15, 5000}});
    FillCompound(6, "Ar", "Argon", {{Ar, 1}}, Gaseous, 154.846, 0, true, true,
                 {{20.786, 0, 0, 0, 298.15, 5000}});
    FillCompound(7, "He", "Helium", {{He, 1}}, Gaseous, 126.148, 0, true, true,
                 {{20.786, 0, 0, 0, 298.15, 3000}});
    FillCompound(8, "O3", "Ozone", {{O, 3}}, Gaseous, 238.931, 143.093, false, false,
                 {{34.024, -19.903, -0.001, 130.267, 50, 298.15},
                  {31.368, 45.881, -3.28, -20.093, 298.15, 1000},
                  {57.697, 2.739, -35.184, -0.025, 1000, 5000}});
    FillCompound(9, "H2O", "Water vapour", {{H, 2}, {O, 1}}, Gaseous, 188.832, -241.827, true,
                 false,
                 {{33.568, -4.201, -0.001, 14.761, 298.15, 600},
                  {21.87, 22.56, 8.489, -4, 600, 1600},
                  {51.191, 2.69, -180.201, -0.18, 1600, 6000}});
    FillCompound(10, "D2O", "Heavy water vapour", {{D, 2}, {O, 1}}, Gaseous, 198.338, -249.203,
                 true, false,
                 {{33.462, -4.54, 0, 24.255, 0, 500},
                  {38.631, 10.211, -18.316, -1.153, 500, 5000}});
    FillCompound(11, "CO", "Carbon monoxide", {{C, 1}, {O, 1}}, Gaseous, 197.661, -110.541, true,
                 false,
                 {{29.304, -2.905, 0, 7.925, 0, 700},
                  {33.349, 2.057, 8.327, -0.232, 700, 5000}});
    FillCompound(12, "CO2", "Carbon dioxide", {{C, 1}, {O, 2}}, Gaseous, 213.769, -393.505, true,
                 false,
                 {{22.226, 56.2, 0.105, -22.518, 50, 500},
                  {53.138, 4.818, -29.177, -0.538, 500, 5000}});
    FillCompound(13, "NH3", "Ammonia", {{H, 3}, {N, 1}}, Gaseous, 192.778, -45.94, true, false,
                 {{25.794, 31.623, 0.351, 0, 298.15, 800},
                  {37.25, 26.217, -27.648, -4.096, 800, 3000}});
    // clang-format on
    CompoundCount = 13;
}

int CountCompoundsWithFormula(std::string_view formula) {
    return CountCompoundsWithFormula(Compounds, CompoundCount, formula);
}

int CountCompoundsWithFormula(const CompoundTable& compounds, int species,
                              std::string_view formula) {
    int count = 0;
    for (int i = 1; i <= species && compounds.Contains(i); ++i)
        if (compounds[i].Formula == formula)
            ++count;
    return count;
}
