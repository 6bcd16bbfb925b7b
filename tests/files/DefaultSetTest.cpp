// SPDX-License-Identifier: GPL-3.0-or-later
// Where the default file set lives, and the first start that puts the example rig there. Every
// test names its folders in a temporary folder through the environment; none reads or writes
// the real home.
#include "core/SetupTables.h"
#include "files/FileSets.h"
#include "files/RigJson.h"
#include "files/SetupFiles.h"
#include "files/StartUp.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// Sets (or, with nullopt, unsets) environment variables for its lifetime, and puts back what
// was there before.
class EnvironmentGuard {
public:
    EnvironmentGuard(
        std::initializer_list<std::pair<const char*, std::optional<std::string>>> set) {
        for (const auto& [name, value] : set) {
            Saved.emplace_back(name, qEnvironmentVariableIsSet(name)
                                         ? std::optional<QByteArray>(qgetenv(name))
                                         : std::nullopt);
            if (value)
                qputenv(name, QByteArray::fromStdString(*value));
            else
                qunsetenv(name);
        }
    }
    ~EnvironmentGuard() {
        for (const auto& [name, value] : Saved)
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> Saved;
};

bool Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

class DefaultSet : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        // The example rig as the build makes it, in a folder of its own.
        QFile file(QStringLiteral(QUORVANE_EXAMPLE_RIG_JSON));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::string error;
        SetStoredTablesToDefaults();
        ASSERT_TRUE(RigFromJson(file.readAll().toStdString(), error)) << error;
        ASSERT_TRUE(QDir(QString::fromStdString(TempPath("example"))).mkpath("."));
        ASSERT_TRUE(SaveWholeFileSet(Example(), error)) << error;
        ExampleCellName = Cells[1].Name.Str();
        ASSERT_FALSE(ExampleCellName.empty());
    }

    std::string Example() const { return TempPath("example/Example"); }

    // A start of the window's program: the default location as built in, the example beside it.
    void Start() {
        ResetProgramState();
        FirstStartExample = Example();
        Recorder.Clear();
        InstallDefaults();
    }

    void ExpectSameSetAsExample(const std::string& base) {
        for (const char* extension : {".INP", ".MIX", ".CAL", ".CEL"})
            EXPECT_EQ(ReadFileBytes(base + extension), ReadFileBytes(Example() + extension))
                << base << extension;
    }

    std::string ExampleCellName;
};

} // namespace

TEST_F(DefaultSet, LivesInTheUsersDataFolderOrWhereTheEnvironmentNamesIt) {
    const std::string home = TempPath("home");
    const std::string data = TempPath("data");
    const std::string named = TempPath("mine/Rig");
    struct Case {
        const char* What;
        std::optional<std::string> DataHome;
        std::optional<std::string> Named;
        std::string Expected;
    };
    const Case cases[] = {
        {"XDG_DATA_HOME set", data, std::nullopt, data + "/quorvane/Default"},
        {"XDG_DATA_HOME unset", std::nullopt, std::nullopt,
         home + "/.local/share/quorvane/Default"},
        {"XDG_DATA_HOME empty", std::string(), std::nullopt,
         home + "/.local/share/quorvane/Default"},
        {"XDG_DATA_HOME not absolute", std::string("data"), std::nullopt,
         home + "/.local/share/quorvane/Default"},
        {"QUORVANE_DEFAULT_SET over XDG_DATA_HOME", data, named, named},
        {"QUORVANE_DEFAULT_SET without XDG_DATA_HOME", std::nullopt, named, named},
        {"QUORVANE_DEFAULT_SET empty", data, std::string(), data + "/quorvane/Default"},
    };
    const QString oldName = QCoreApplication::applicationName();
    const QString oldOrganisation = QCoreApplication::organizationName();
    SetProgramIdentity();
    for (const Case& c : cases) {
        EnvironmentGuard environment{
            {"HOME", home}, {"XDG_DATA_HOME", c.DataHome}, {DefaultSetEnvironment, c.Named}};
        DefaultSetupLocation = FactorySetupLocation;
        EXPECT_EQ(DefaultSetupPath(), c.Expected) << c.What;
        // Qt's own per-user data folder of the programs is the folder of the default set (but
        // for a relative XDG_DATA_HOME, which Qt takes as it is).
        if ((!c.Named || c.Named->empty()) &&
            (!c.DataHome || c.DataHome->empty() || c.DataHome->front() == '/')) {
            EXPECT_EQ(
                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString() +
                    "/Default",
                c.Expected)
                << c.What;
        }
        // Any other location is taken as it is, whatever the environment says.
        DefaultSetupLocation = TempPath("back\\slash");
        EXPECT_EQ(DefaultSetupPath(), TempPath("back\\slash")) << c.What;
    }
    QCoreApplication::setApplicationName(oldName);
    QCoreApplication::setOrganizationName(oldOrganisation);
}

TEST_F(DefaultSet, TheFirstStartInstallsTheExampleAndSaysSoALaterStartKeepsTheUsersSet) {
    const std::string data = TempPath("data");
    EnvironmentGuard environment{
        {"HOME", TempPath("home")}, {"XDG_DATA_HOME", data}, {DefaultSetEnvironment, std::nullopt}};
    const std::string base = data + "/quorvane/Default";

    Start();
    ExpectSameSetAsExample(base);
    EXPECT_EQ(DefaultSetupBase, base);
    EXPECT_EQ(CellFileName, base + ".CEL");
    EXPECT_EQ(Cells[1].Name.Str(), ExampleCellName);
    EXPECT_EQ(
        Recorder.StatusLines(),
        std::vector<std::string>{
            "blue: First start: the example rig was installed as the default file set " + base});

    // The user changes the default set; the next start reads it and leaves it as it is.
    Cells[1].Name.Set("Mine");
    SaveCellFile();
    const std::vector<char> saved = ReadFileBytes(base + ".CEL");
    Start();
    EXPECT_EQ(Cells[1].Name.Str(), "Mine");
    EXPECT_EQ(ReadFileBytes(base + ".CEL"), saved);
    EXPECT_TRUE(Recorder.StatusLines().empty());
}

TEST_F(DefaultSet, ASetThatHasAnyOfItsFilesIsNeverCompletedOrReplaced) {
    const std::string named = TempPath("mine/Rig");
    EnvironmentGuard environment{{"HOME", TempPath("home")},
                                 {"XDG_DATA_HOME", TempPath("data")},
                                 {DefaultSetEnvironment, named}};
    // Only a cells file of the user's: it is read, and the other three stay missing.
    ASSERT_TRUE(QDir(QString::fromStdString(TempPath("mine"))).mkpath("."));
    SetStoredTablesToDefaults();
    Cells[1].Name.Set("Only cells");
    CellFileName = named + ".CEL";
    ASSERT_TRUE(SaveCellFile());

    Start();
    EXPECT_EQ(Cells[1].Name.Str(), "Only cells");
    for (const char* extension : {".INP", ".MIX", ".CAL"})
        EXPECT_FALSE(Exists(named + extension)) << extension;
    EXPECT_FALSE(Exists(TempPath("data/quorvane")));
    EXPECT_TRUE(Recorder.StatusLines().empty());
}

TEST_F(DefaultSet, AnOverrideIsInstalledLikeTheUsualPlace) {
    const std::string named = TempPath("lab/rigs/Default");
    EnvironmentGuard environment{{"HOME", TempPath("home")},
                                 {"XDG_DATA_HOME", TempPath("data")},
                                 {DefaultSetEnvironment, named}};
    Start();
    ExpectSameSetAsExample(named);
    EXPECT_EQ(Cells[1].Name.Str(), ExampleCellName);
    EXPECT_FALSE(Exists(TempPath("data/quorvane")));
    EXPECT_EQ(Recorder.StatusLines().size(), 1u);
}

TEST_F(DefaultSet, AFirstStartThatCannotInstallSaysWhyAndStartsWithTheDefaults) {
    // The folder of the default set is a regular file.
    WriteFileBytes(TempPath("blocked"), {'x'});
    EnvironmentGuard environment{{"HOME", TempPath("home")},
                                 {"XDG_DATA_HOME", std::nullopt},
                                 {DefaultSetEnvironment, TempPath("blocked/Default")}};
    Start();
    EXPECT_EQ(Recorder.RedLines(),
              std::vector<std::string>{"red: First start: no default file set installed at " +
                                       TempPath("blocked/Default") + ": cannot make the folder " +
                                       TempPath("blocked")});
    EXPECT_NE(Cells[1].Name.Str(), ExampleCellName);
    for (const auto& row : LoadedSetupFiles)
        EXPECT_EQ(row[1], "") << row[0];
    EXPECT_EQ(ReadFileBytes(TempPath("blocked")), std::vector<char>{'x'});
}

TEST_F(DefaultSet, WithoutAnExampleNothingIsInstalled) {
    EnvironmentGuard environment{{"HOME", TempPath("home")},
                                 {"XDG_DATA_HOME", TempPath("data")},
                                 {DefaultSetEnvironment, std::nullopt}};
    ResetProgramState(); // no example, as in the tests and the headless tools
    Recorder.Clear();
    InstallDefaults();
    EXPECT_EQ(DefaultSetupBase, TempPath("data/quorvane/Default"));
    EXPECT_FALSE(Exists(TempPath("data/quorvane")));
    EXPECT_TRUE(Recorder.StatusLines().empty());
}

TEST_F(DefaultSet, TheExampleIsFoundInstalledOrInTheBuildTree) {
    const auto makeSet = [this](const std::string& base) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(QString::fromStdString(base)).absolutePath()));
        for (const std::string& name : FileSetNames(base))
            WriteFileBytes(name, {'r'});
    };
    // PREFIX/bin beside PREFIX/share/quorvane/examples.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(TempPath("usr/bin"))));
    EXPECT_EQ(ExampleRigBeside(TempPath("usr/bin")), "");
    makeSet(TempPath("usr/share/quorvane/examples/Example"));
    EXPECT_EQ(ExampleRigBeside(TempPath("usr/bin")),
              TempPath("usr/share/quorvane/examples/Example"));

    // A build: app/ beside examples/. A set that lacks a file is no example.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(TempPath("build/app"))));
    makeSet(TempPath("build/examples/Example"));
    QFile::remove(QString::fromStdString(TempPath("build/examples/Example.CAL")));
    EXPECT_EQ(ExampleRigBeside(TempPath("build/app")), "");
    WriteFileBytes(TempPath("build/examples/Example.CAL"), {'r'});
    EXPECT_EQ(ExampleRigBeside(TempPath("build/app")), TempPath("build/examples/Example"));
}
