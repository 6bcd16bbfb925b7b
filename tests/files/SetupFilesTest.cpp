// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SetupFiles.h"
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <random>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

template <typename Table> void FillWithNoise(Table& table, unsigned seed) {
    std::mt19937 random(seed);
    auto* bytes = reinterpret_cast<unsigned char*>(table.data());
    for (std::size_t i = 0; i < sizeof(table.Items); ++i)
        bytes[i] = static_cast<unsigned char>(random());
}

template <typename Table> std::vector<char> BytesOf(const Table& table) {
    const auto* bytes = reinterpret_cast<const char*>(table.data());
    return std::vector<char>(bytes, bytes + sizeof(table.Items));
}

// Noise in every byte, padding included, that loading leaves as it is: input mixtures are
// checked (trimmed, Ready set) once before, as loading will check them; cells are loaded not
// calculated.
void FillAllTablesWithNoise(unsigned seed) {
    FillWithNoise(InputMixtures, seed);
    for (int n = 1; n <= 16; ++n)
        CheckInputMixture(n);
    FillWithNoise(Flowmeters, seed + 1);
    FillWithNoise(Calibrations, seed + 2);
    FillWithNoise(Cells, seed + 3);
    for (CellRecord& c : Cells)
        c.State = CellRunState::NotCalculated;
}

void SaveAll() {
    SaveInputFile();
    SaveMixerFile();
    SaveCalibrationFile();
    SaveCellFile();
}

} // namespace

using SetupFiles = ProgramTest;

TEST_F(SetupFiles, SavedFilesHaveTheirSizesAndAreTheRecordImages) {
    FillAllTablesWithNoise(11);
    SaveAll();
    struct Kind {
        std::string Name;
        std::size_t Size;
        std::vector<char> Image;
    };
    const Kind kinds[] = {
        {InputFileName, 5376, BytesOf(InputMixtures)},
        {MixerFileName, 1664, BytesOf(Flowmeters)},
        {CalibrationFileName, 384000, BytesOf(Calibrations)},
        {CellFileName, 576, BytesOf(Cells)},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.Name);
        const std::vector<char> file = ReadFileBytes(k.Name);
        EXPECT_EQ(file.size(), k.Size);
        EXPECT_TRUE(file == k.Image);
    }
}

TEST_F(SetupFiles, SaveAndReloadRestoresEveryByteOfEveryKind) {
    FillAllTablesWithNoise(29);
    const auto inp = BytesOf(InputMixtures), mix = BytesOf(Flowmeters), cal = BytesOf(Calibrations),
               cel = BytesOf(Cells);
    SaveAll();

    FillWithNoise(InputMixtures, 1001);
    FillWithNoise(Flowmeters, 1002);
    FillWithNoise(Calibrations, 1003);
    FillWithNoise(Cells, 1004);
    OpenFileSet(DefaultBase());

    EXPECT_TRUE(BytesOf(InputMixtures) == inp);
    EXPECT_TRUE(BytesOf(Flowmeters) == mix);
    EXPECT_TRUE(BytesOf(Calibrations) == cal);
    EXPECT_TRUE(BytesOf(Cells) == cel);
}

TEST_F(SetupFiles, UnsetStartUpInputMixturesSaveAsZeroes) {
    SaveInputFile();
    EXPECT_EQ(ReadFileBytes(InputFileName), std::vector<char>(5376, 0));
}

TEST_F(SetupFiles, LoadingEntersTheFileAndRunsTheFollowUpsInOrder) {
    SaveAll();
    Recorder.Clear();
    OpenFileSet(DefaultBase());
    const std::vector<std::string> expected = {
        "LoadedSetupFilesChanged", // INP
        "LoadedSetupFilesChanged", // MIX
        "LoadedSetupFilesChanged", // CAL
        "CalibrationsLoaded",      //
        "LoadedSetupFilesChanged", // CEL
        "DrawMixer",               //
    };
    EXPECT_EQ(Recorder.Log, expected);
    EXPECT_EQ(LoadedSetupFiles[InputFileRow][1], DefaultBase() + ".INP");
    EXPECT_EQ(LoadedSetupFiles[CellFileRow][1], DefaultBase() + ".CEL");
}

TEST_F(SetupFiles, LoadingCellsClearsTheirStates) {
    SaveCellFile();
    for (CellRecord& c : Cells)
        c.State = CellRunState::Converged;
    LoadCellFile();
    for (const CellRecord& c : Cells)
        EXPECT_EQ(c.State, CellRunState::NotCalculated);
}

TEST(SetupBaseName, CutsTheLastExtensionOfTheFileNamePartOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {"/lab/rigs/rig1.MIX", "/lab/rigs/rig1"},
        {"/lab/rig.v2/rig1.INP", "/lab/rig.v2/rig1"},
        {"/lab/rig.v2/rig1", "/lab/rig.v2/rig1"},
        {"/lab/rigs/rig1.tar.CEL", "/lab/rigs/rig1.tar"},
        {"rig1.CAL", "rig1"},
        {"rig1", "rig1"},
        {"/lab/rigs/rig1.", "/lab/rigs/rig1"},
    };
    for (const auto& [chosen, base] : cases)
        EXPECT_EQ(SetupBaseName(chosen), base) << chosen;
}

TEST_F(SetupFiles, OpenFileSetLoadsWhatExistsAndSetsAllFourNames) {
    // Only the INP and CEL files of rig1 exist.
    InputMixtures[1].Gas[1].Gas.Set("Ar");
    InputMixtures[1].Gas[1].Fraction = 1;
    Cells[2].Temperature = 700;
    InputFileName = TempPath("rig1.INP");
    CellFileName = TempPath("rig1.CEL");
    SaveInputFile();
    SaveCellFile();

    InputMixtures[1] = MixtureRecord{};
    Cells[2].Temperature = 25;
    Flowmeters[3].Reading = 17; // in memory, no file: must survive
    Calibrations[9].Point[1].Reading = 5;
    const auto loadedBefore = LoadedSetupFiles;

    OpenFileSet(SetupBaseName(TempPath("rig1.MIX")));

    EXPECT_EQ(InputMixtures[1].Gas[1].Gas.Str(), "Ar");
    EXPECT_EQ(InputMixtures[1].Ready, 1);
    EXPECT_EQ(Cells[2].Temperature, 700.0);
    EXPECT_EQ(Flowmeters[3].Reading, 17.0);
    EXPECT_EQ(Calibrations[9].Point[1].Reading, 5.0);
    EXPECT_EQ(InputFileName, TempPath("rig1.INP"));
    EXPECT_EQ(MixerFileName, TempPath("rig1.MIX"));
    EXPECT_EQ(CalibrationFileName, TempPath("rig1.CAL"));
    EXPECT_EQ(CellFileName, TempPath("rig1.CEL"));
    EXPECT_EQ(LoadedSetupFiles[MixerFileRow], loadedBefore[MixerFileRow]);
    EXPECT_EQ(LoadedSetupFiles[CalibrationFileRow], loadedBefore[CalibrationFileRow]);
    EXPECT_EQ(LoadedSetupFiles[InputFileRow][1], TempPath("rig1.INP"));
    EXPECT_TRUE(Recorder.StatusLines().empty());
}

TEST_F(SetupFiles, MissingFileChangesNothingButItsNameAndALaterSaveUsesTheNewName) {
    Flowmeters[2].Reading = 3.5;
    const auto before = BytesOf(Flowmeters);
    const auto loadedBefore = LoadedSetupFiles;
    MixerFileName = TempPath("absent.MIX");
    EXPECT_FALSE(LoadMixerFile());
    EXPECT_TRUE(BytesOf(Flowmeters) == before);
    EXPECT_EQ(LoadedSetupFiles, loadedBefore);
    // A warning with the system's reason; nothing on the status line, no pause.
    EXPECT_TRUE(Recorder.Log.empty());
    EXPECT_EQ(Recorder.Warnings,
              std::vector<std::string>{"Could not read " + TempPath("absent.MIX") +
                                       ": No such file or directory; the flowmeters are left as "
                                       "they were"});

    // A folder is not a file either.
    Recorder.Clear();
    MixerFileName = Temp.path().toStdString();
    EXPECT_FALSE(LoadMixerFile());
    EXPECT_TRUE(BytesOf(Flowmeters) == before);
    EXPECT_TRUE(Recorder.Log.empty());
    EXPECT_EQ(Recorder.Warnings,
              std::vector<std::string>{"Could not read " + Temp.path().toStdString() +
                                       ": Is a directory; the flowmeters are left as they were"});

    MixerFileName = TempPath("absent.MIX");
    SaveMixerFile();
    EXPECT_EQ(ReadFileBytes(TempPath("absent.MIX")), before);
    EXPECT_EQ(LoadedSetupFiles[MixerFileRow][1], TempPath("absent.MIX"));
}

TEST_F(SetupFiles, ShortFileReplacesOnlyTheWholeRecordsItHolds) {
    FillWithNoise(Calibrations, 5);
    SaveCalibrationFile();
    const auto full = ReadFileBytes(CalibrationFileName);
    // 384 bytes: exactly curve 1.
    WriteFileBytes(CalibrationFileName, std::vector<char>(full.begin(), full.begin() + 384));
    FillWithNoise(Calibrations, 6);
    const auto before = BytesOf(Calibrations);
    Recorder.Clear();
    LoadCalibrationFile();
    const auto after = BytesOf(Calibrations);
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 384, full.begin()));
    EXPECT_TRUE(std::equal(after.begin() + 384, after.end(), before.begin() + 384));
    EXPECT_TRUE(Recorder.StatusLines().empty()); // ends on a record boundary: nothing to report
}

TEST_F(SetupFiles, PartialRecordIsNotAppliedAndTheFileIsReportedIncomplete) {
    FillWithNoise(Cells, 7);
    for (CellRecord& c : Cells)
        c.State = CellRunState::NotCalculated;
    SaveCellFile();
    const auto full = ReadFileBytes(CellFileName);
    // 100 bytes: cell 1 and the first 28 bytes of cell 2.
    WriteFileBytes(CellFileName, std::vector<char>(full.begin(), full.begin() + 100));
    FillWithNoise(Cells, 8);
    for (CellRecord& c : Cells)
        c.State = CellRunState::NotCalculated;
    const auto before = BytesOf(Cells);
    Recorder.Clear();
    LoadCellFile();
    const auto after = BytesOf(Cells);
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 72, full.begin()));
    EXPECT_TRUE(std::equal(after.begin() + 72, after.end(), before.begin() + 72))
        << "cell 2 must keep its previous contents whole";
    const std::vector<std::string> expected = {"red: Incomplete file " + CellFileName};
    EXPECT_EQ(Recorder.StatusLines(), expected);
    EXPECT_EQ(LoadedSetupFiles[CellFileRow][1], CellFileName);
}

TEST_F(SetupFiles, PartialInputFileStillChecksAllSixteenMixtures) {
    SaveInputFile(); // all-zero mixtures
    const auto full = ReadFileBytes(InputFileName);
    WriteFileBytes(InputFileName, std::vector<char>(full.begin(), full.begin() + 336 + 10));
    InputMixtures[16].Gas[1].Gas.Set("Xe"); // not in the file's reach, not a species
    InputMixtures[16].Gas[1].Fraction = 1;
    InputMixtures[16].Ready = 1;
    Recorder.Clear();
    LoadInputFile();
    EXPECT_EQ(InputMixtures[16].Ready, 0);
    const std::vector<std::string> expected = {
        "red: Input mix 16 not properly defined",
        "red: Incomplete file " + InputFileName,
    };
    EXPECT_EQ(Recorder.StatusLines(), expected);
}

TEST_F(SetupFiles, BytesAfterTheLastRecordAreIgnored) {
    Cells[8].Pressure = 2.5;
    SaveCellFile();
    auto bytes = ReadFileBytes(CellFileName);
    bytes.insert(bytes.end(), 100, '\x7f');
    WriteFileBytes(CellFileName, bytes);
    Cells[8].Pressure = 1;
    Recorder.Clear();
    LoadCellFile();
    EXPECT_EQ(Cells[8].Pressure, 2.5);
    EXPECT_TRUE(Recorder.StatusLines().empty());
}

TEST_F(SetupFiles, OverlongLengthBytesFromAFileReadAsTheCapacity) {
    SaveInputFile();
    auto bytes = ReadFileBytes(InputFileName);
    // Mixture 1, component 1: length byte 255, then "N2" and ten blanks.
    const std::size_t at = 40;
    bytes[at] = char(255);
    std::memcpy(&bytes[at + 1], "N2          ", 12);
    double one = 1.0;
    std::memcpy(&bytes[at + 16], &one, 8);
    // Mixture 2's name: length byte 200 over "Premix 12345".
    bytes[336] = char(200);
    std::memcpy(&bytes[337], "Premix 12345", 12);
    WriteFileBytes(InputFileName, bytes);
    LoadInputFile();
    EXPECT_EQ(InputMixtures[1].Gas[1].Gas.Str(), "N2");
    EXPECT_EQ(InputMixtures[1].Gas[1].Gas.Length, 2);
    EXPECT_EQ(InputMixtures[1].Ready, 1);
    EXPECT_EQ(InputMixtures[2].Name.Str(), "Premix 12345");
}

TEST_F(SetupFiles, FailedSaveKeepsTheOldFileAndReportsIt) {
    SaveCalibrationFile();
    const auto old = ReadFileBytes(CalibrationFileName);
    const auto loadedBefore = LoadedSetupFiles;

    // A file-size limit makes the write fail half way, whoever runs the test.
    FillWithNoise(Calibrations, 9);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100000;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Recorder.Clear();
    SaveCalibrationFile();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(ReadFileBytes(CalibrationFileName), old);
    // The message names the system's reason.
    const std::vector<std::string> expected = {
        "red: Could not save " + CalibrationFileName + ": File too large", "pause 4"};
    EXPECT_EQ(Recorder.Log, expected);
    EXPECT_EQ(LoadedSetupFiles, loadedBefore);

    // A folder that does not exist.
    CellFileName = TempPath("no such folder/rig.CEL");
    Recorder.Clear();
    SaveCellFile();
    const std::vector<std::string> expectedCell = {"red: Could not save " + CellFileName +
                                                   ": No such file or directory"};
    EXPECT_EQ(Recorder.StatusLines(), expectedCell);
    EXPECT_EQ(LoadedSetupFiles, loadedBefore);

    // A relative name is reported by its full name.
    CellFileName = "no such folder/rig.CEL";
    Recorder.Clear();
    SaveCellFile();
    const std::vector<std::string> expectedRelative = {
        "red: Could not save " + QDir::currentPath().toStdString() +
        "/no such folder/rig.CEL: No such file or directory"};
    EXPECT_EQ(Recorder.StatusLines(), expectedRelative);

    // The failures do not make the next save fail.
    SaveCalibrationFile();
    EXPECT_EQ(ReadFileBytes(CalibrationFileName), BytesOf(Calibrations));
}

namespace {

// Opens the FIFO for writing now and then until stopped, so that a reader blocked on it would be
// let go (and read an empty file) instead of hanging the test.
class FifoWriter {
public:
    explicit FifoWriter(std::string path)
        : FPath(std::move(path)), FThread([this] {
              while (!FStop) {
                  const int fd = ::open(FPath.c_str(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0)
                      ::close(fd);
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
          }) {}
    ~FifoWriter() {
        FStop = true;
        FThread.join();
    }

private:
    std::string FPath;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

} // namespace

TEST_F(SetupFiles, WhatIsNotARegularFileIsRefusedAsAFileThatCannotBeOpened) {
    FillAllTablesWithNoise(41);
    SaveFileSet(TempPath("rig"));
    const auto inp = BytesOf(InputMixtures), mix = BytesOf(Flowmeters), cal = BytesOf(Calibrations),
               cel = BytesOf(Cells);
    const auto rig = [this](const char* extension) {
        return TempPath(std::string("rig") + extension);
    };

    struct Case {
        const char* Title;
        const char* Extension;
        std::function<void(const std::string&)> Make;
        std::string Warning;
    };
    const Case cases[] = {
        {"a FIFO", ".INP",
         [](const std::string& name) { ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0); },
         "Could not read " + rig(".INP") +
             ": not a regular file; the input gases and mixtures are left as they were"},
        {"a folder", ".MIX",
         [](const std::string& name) { ASSERT_TRUE(QDir().mkdir(QString::fromStdString(name))); },
         "Could not read " + rig(".MIX") +
             ": Is a directory; the flowmeters are left as they were"},
        {"a link to a device", ".CAL",
         [](const std::string& name) { ASSERT_EQ(::symlink("/dev/zero", name.c_str()), 0); },
         "Could not read " + rig(".CAL") +
             ": not a regular file; the calibration curves are left as they were"},
    };
    const FifoWriter unblock(rig(".INP"));
    std::vector<std::string> warnings; // one more with each case: the earlier ones stay
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        ASSERT_TRUE(QFile::remove(QString::fromStdString(rig(c.Extension))));
        c.Make(rig(c.Extension));
        for (auto& row : LoadedSetupFiles)
            row[1].clear();
        Recorder.Clear();

        OpenFileSet(TempPath("rig"));

        const std::string& entered =
            LoadedSetupFiles[std::string(c.Extension) == ".INP"   ? InputFileRow
                             : std::string(c.Extension) == ".MIX" ? MixerFileRow
                                                                  : CalibrationFileRow][1];
        EXPECT_EQ(entered, "") << "not entered as read";
        EXPECT_EQ(LoadedSetupFiles[CellFileRow][1], rig(".CEL")) << "the others still load";
        EXPECT_TRUE(Recorder.StatusLines().empty());
        warnings.push_back(c.Warning);
        EXPECT_EQ(Recorder.Warnings, warnings);
        EXPECT_TRUE(BytesOf(InputMixtures) == inp);
        EXPECT_TRUE(BytesOf(Flowmeters) == mix);
        EXPECT_TRUE(BytesOf(Calibrations) == cal);
        EXPECT_TRUE(BytesOf(Cells) == cel);
    }
    // The file tools are refused the same way, and say themselves which files they lack.
    Recorder.Clear();
    EXPECT_EQ(ReadStoredFileSet(TempPath("rig")), (std::array<bool, 4>{false, false, false, true}));
    EXPECT_TRUE(Recorder.Warnings.empty());
}

TEST_F(SetupFiles, AWholeSetIsWrittenBeforeAnyOldFileIsReplaced) {
    FillAllTablesWithNoise(51);
    SaveFileSet(TempPath("rig"));
    const std::array<std::string, 4> names = {TempPath("rig.INP"), TempPath("rig.MIX"),
                                              TempPath("rig.CAL"), TempPath("rig.CEL")};
    const auto contents = [&names] {
        std::vector<std::vector<char>> bytes;
        for (const std::string& name : names)
            bytes.push_back(QFileInfo(QString::fromStdString(name)).isFile() ? ReadFileBytes(name)
                                                                             : std::vector<char>());
        return bytes;
    };
    const auto entries = [this] {
        return QDir(Temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };

    // Each obstacle lets the small files be written and stops the calibration file, the third
    // of the four; the reason is the system's.
    struct Case {
        const char* Title;
        std::function<void()> Raise;
        std::function<void()> Lower;
        std::string Reason;
    };
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*previousHandler)(int) = nullptr;
    const Case cases[] = {
        {"a file-size limit, as a nearly full disk",
         [&] {
             rlimit small = saved;
             small.rlim_cur = 100000;
             previousHandler = std::signal(SIGXFSZ, SIG_IGN);
             ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
         },
         [&] {
             setrlimit(RLIMIT_FSIZE, &saved);
             std::signal(SIGXFSZ, previousHandler);
         },
         std::strerror(EFBIG)},
        {"a folder in the way of the calibration file",
         [&] {
             QFile::remove(QString::fromStdString(names[2]));
             ASSERT_TRUE(QDir().mkdir(QString::fromStdString(names[2])));
         },
         [&] { QDir().rmdir(QString::fromStdString(names[2])); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        c.Raise();
        const auto before = contents();
        const QStringList entriesBefore = entries();
        FillAllTablesWithNoise(61);
        for (auto& row : LoadedSetupFiles)
            row[1].clear();
        std::string error;
        const bool saved = SaveWholeFileSet(TempPath("rig"), error);

        EXPECT_FALSE(saved);
        EXPECT_TRUE(contents() == before) << "no file was replaced";
        EXPECT_EQ(entries(), entriesBefore) << "no temporary is left behind";
        EXPECT_EQ(error.rfind(names[2] + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.Reason + "; no file of the set was replaced"), std::string::npos)
            << error;
        EXPECT_GT(error.size(),
                  names[2].size() + std::strlen(": ; no file of the set was replaced"))
            << "a reason is given";
        EXPECT_EQ(LoadedSetupFiles[InputFileRow][1], "");
        c.Lower();
    }

    // Without an obstacle the four are written and entered.
    std::string error;
    ASSERT_TRUE(SaveWholeFileSet(TempPath("rig"), error)) << error;
    EXPECT_TRUE(ReadFileBytes(names[0]) == BytesOf(InputMixtures));
    EXPECT_TRUE(ReadFileBytes(names[1]) == BytesOf(Flowmeters));
    EXPECT_TRUE(ReadFileBytes(names[2]) == BytesOf(Calibrations));
    EXPECT_TRUE(ReadFileBytes(names[3]) == BytesOf(Cells));
    EXPECT_EQ(LoadedSetupFiles[CalibrationFileRow][1], names[2]);
}
