// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileSets.h"

#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>

TEST(FileSetBaseOf, OneOfTheFourFilesNamesItsSetAnyOtherNameIsTheBase) {
    const std::pair<std::string, std::string> cases[] = {
        {"rigs/rig1.MIX", "rigs/rig1"},       {"rigs/rig1.cel", "rigs/rig1"},
        {"rigs.v2/rig1.INP", "rigs.v2/rig1"}, {"rigs/rig1.v2.CAL", "rigs/rig1.v2"},
        {"rigs/rig1", "rigs/rig1"},           {"rigs/rig1.v2", "rigs/rig1.v2"},
        {"rigs/rig1.json", "rigs/rig1.json"}, {"rigs.v2/rig1", "rigs.v2/rig1"},
    };
    for (const auto& [argument, base] : cases)
        EXPECT_EQ(FileSetBaseOf(argument), base) << argument;
}

namespace {
class InstallFileSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.isValid());
        for (const std::string& name : FileSetNames(Path("rig")))
            WriteFileBytes(name, std::vector<char>(name.begin(), name.end()));
    }
    std::string Path(const std::string& name) const {
        return Temp.path().toStdString() + "/" + name;
    }
    static bool Exists(const std::string& name) {
        return QFileInfo::exists(QString::fromStdString(name));
    }
    QTemporaryDir Temp;
};
} // namespace

TEST_F(InstallFileSetTest, CopiesTheSetIntoANewFolder) {
    std::string error;
    EXPECT_EQ(InstallFileSet(Path("rig"), Path("a/b/Default"), error), InstallResult::Installed);
    const auto sources = FileSetNames(Path("rig"));
    const auto targets = FileSetNames(Path("a/b/Default"));
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(ReadFileBytes(targets[i]), ReadFileBytes(sources[i])) << targets[i];
}

TEST_F(InstallFileSetTest, NeverReplacesAnyFileOfAnExistingSet) {
    for (const char* present : {"Default.INP", "Default.MIX", "Default.CAL", "Default.CEL"}) {
        QTemporaryDir target;
        const std::string base = target.path().toStdString() + "/Default";
        const std::string mine = target.path().toStdString() + "/" + present;
        WriteFileBytes(mine, {'m', 'i', 'n', 'e'});
        std::string error;
        EXPECT_EQ(InstallFileSet(Path("rig"), base, error), InstallResult::AlreadyThere);
        EXPECT_EQ(ReadFileBytes(mine), (std::vector<char>{'m', 'i', 'n', 'e'}));
        EXPECT_EQ(QDir(target.path()).entryList(QDir::Files).size(), 1) << present;
    }
}

TEST_F(InstallFileSetTest, AFailureLeavesNothingBehindAndSaysWhy) {
    // The calibrations of the source are missing: the two files copied before are removed.
    QFile::remove(QString::fromStdString(Path("rig.CAL")));
    std::string error;
    EXPECT_EQ(InstallFileSet(Path("rig"), Path("to/Default"), error), InstallResult::Failed);
    EXPECT_EQ(error.rfind("cannot copy " + Path("rig.CAL") + " to " + Path("to/Default.CAL"), 0),
              0u)
        << error;
    for (const std::string& name : FileSetNames(Path("to/Default")))
        EXPECT_FALSE(Exists(name)) << name;

    // A folder that cannot be made: a file stands in its way.
    WriteFileBytes(Path("file"), {'x'});
    EXPECT_EQ(InstallFileSet(Path("rig"), Path("file/sub/Default"), error), InstallResult::Failed);
    EXPECT_EQ(error, "cannot make the folder " + Path("file/sub"));
}
