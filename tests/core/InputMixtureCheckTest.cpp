// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {
struct Component {
    std::string Gas;
    double Fraction;
};

struct CheckCase {
    const char* Title;
    std::vector<Component> Components; // components 1, 2, ... of mixture 3
    bool Ready;
    int Messages; // "Input mix 3 not properly defined", once per offending component
    std::vector<std::string> Trimmed;
};
} // namespace

using InputMixtureCheck = ProgramTest;

TEST_F(InputMixtureCheck, SetsReadyTrimsNamesAndReportsEveryOffendingComponent) {
    const std::vector<CheckCase> cases = {
        {"valid premix", {{"H2", 0.05}, {"Ar", 0.95}}, true, 0, {"H2", "Ar"}},
        {"names are trimmed of blanks and control characters",
         {{"  H2O\t", 0.03},
          {"\x01"
           "Ar ",
           0.97}},
         true,
         0,
         {"H2O", "Ar"}},
        {"lower-case o2 is no species", {{"o2", 1.0}}, false, 1, {"o2"}},
        {"two unknown gases show the message twice",
         {{"Xe", 0.5}, {"H2", 0.2}, {"CH4", 0.3}},
         false,
         2,
         {"Xe", "H2", "CH4"}},
        {"all fractions zero", {{"H2", 0}, {"Ar", 0}}, false, 0, {"H2", "Ar"}},
        {"only a negative fraction", {{"Ar", -1}}, false, 0, {"Ar"}},
        {"an empty name does not count, even with a fraction", {{"", 1.0}}, false, 0, {""}},
        {"a known gas with fraction 0 beside a positive one",
         {{"O2", 0}, {"N2", 1}},
         true,
         0,
         {"O2", "N2"}},
        {"a blank-only name becomes empty", {{"   ", 0.5}, {"He", 0.5}}, true, 0, {"", "He"}},
        {"ozone is a species formula", {{"O3", 1}}, true, 0, {"O3"}},
        {"no components at all", {}, false, 0, {}},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.Title);
        InputMixtures[3] = MixtureRecord{};
        int j = 1;
        for (const Component& component : c.Components) {
            InputMixtures[3].Gas[j].Gas.Set(component.Gas);
            InputMixtures[3].Gas[j].Fraction = component.Fraction;
            ++j;
        }
        InputMixtures[3].Ready = c.Ready ? 0 : 1; // the check must set it either way
        Recorder.Clear();

        CheckInputMixture(3);

        EXPECT_EQ(InputMixtures[3].Ready, c.Ready ? 1 : 0);
        std::vector<std::string> expected;
        for (int m = 0; m < c.Messages; ++m) {
            expected.push_back("red: Input mix 3 not properly defined");
            expected.push_back("pause 1");
        }
        EXPECT_EQ(Recorder.Log, expected);
        for (std::size_t k = 0; k < c.Trimmed.size(); ++k)
            EXPECT_EQ(InputMixtures[3].Gas[int(k) + 1].Gas.Str(), c.Trimmed[k]);
    }
}

TEST_F(InputMixtureCheck, TouchesOnlyItsOwnMixture) {
    InputMixtures[1].Gas[1].Gas.Set(" Ar");
    InputMixtures[1].Gas[1].Fraction = 1;
    CheckInputMixture(2);
    EXPECT_EQ(InputMixtures[1].Gas[1].Gas.Str(), " Ar");
    EXPECT_EQ(InputMixtures[1].Ready, 0);
    EXPECT_EQ(InputMixtures[2].Ready, 0); // an empty mixture is not ready
}

TEST(TrimName, RemovesSpacesAndControlCharactersAtBothEnds) {
    const std::pair<const char*, const char*> cases[] = {
        {"H2", "H2"},       {" H2 ", "H2"}, {"\t\r\nH2O\x7f", "H2O"},
        {"C (s)", "C (s)"}, {"   ", ""},    {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(TrimName(in), out) << '"' << in << '"';
}
