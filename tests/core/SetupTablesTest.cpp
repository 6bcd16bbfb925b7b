// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SetupTables.h"

#include <gtest/gtest.h>

#include <string>

TEST(MixtureLabels, NameInputMixturesAndNodesAndNothingElse) {
    const struct {
        int Mixture;
        int Width;
        const char* Label;
    } cases[] = {
        {1, 1, "I1"},  {16, 1, "I16"}, {17, 1, "M1"},  {32, 1, "M16"},
        {3, 2, "I 3"}, {17, 2, "M 1"}, {32, 2, "M16"}, {16, 3, "I 16"},
        {0, 1, ""},    {33, 2, ""},    {-1, 1, ""},    {65535, 2, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MixtureLabel(c.Mixture, c.Width), c.Label) << c.Mixture << " in " << c.Width;
}

TEST(MixtureLabels, ReadBackToTheirMixtureAndRefuseWhatNamesNone) {
    for (int mixture = 1; mixture <= MixtureCount; ++mixture) {
        const std::string label = MixtureLabel(mixture);
        EXPECT_EQ(LabelledMixture(label[0], std::stol(label.substr(1))), mixture) << label;
    }
    const struct {
        char Letter;
        long Number;
    } none[] = {{'I', 0}, {'I', 17}, {'M', 0}, {'M', 17}, {'M', -1}, {'i', 1}, {'N', 1}, {' ', 1}};
    for (const auto& c : none)
        EXPECT_EQ(LabelledMixture(c.Letter, c.Number), 0) << c.Letter << c.Number;
}

TEST(MixtureNumbers, NodesAreTheMixturesAfterTheInputMixtures) {
    EXPECT_EQ(NodeMixture(1), 17);
    EXPECT_EQ(NodeMixture(NodeCount), MixtureCount);
    for (int mixture = -1; mixture <= MixtureCount + 1; ++mixture) {
        SCOPED_TRACE(mixture);
        EXPECT_EQ(IsInputMixture(mixture), mixture >= 1 && mixture <= 16);
        EXPECT_EQ(IsNodeMixture(mixture), mixture >= 17 && mixture <= 32);
        EXPECT_EQ(MixtureNode(mixture), IsNodeMixture(mixture) ? mixture - 16 : 0);
        if (IsNodeMixture(mixture)) {
            EXPECT_EQ(NodeMixture(MixtureNode(mixture)), mixture);
        }
    }
}
