// SPDX-License-Identifier: GPL-3.0-or-later
// The headless programs run as a user runs them: their exit statuses, standard error and output.
#include "core/SetupTables.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"
#include "support/TestSetup.h"
#include "support/TextLines.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Finished {
    int Exit = -1; // -1: crashed or did not finish
    std::string Out;
    std::string Err;
};

Finished Run(const char* program, const QStringList& arguments, const QByteArray& input = {},
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    Finished finished;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
        finished.Exit = process.exitCode();
    finished.Out = process.readAllStandardOutput().toStdString();
    finished.Err = process.readAllStandardError().toStdString();
    return finished;
}

Finished Calc(const QStringList& arguments) {
    return Run(QUORVANE_CALC_PROGRAM, arguments);
}
Finished Rig(const QStringList& arguments, const QByteArray& input = {}) {
    return Run(QUORVANE_RIG_PROGRAM, arguments, input);
}

// A program run in the given environment.
Finished RunIn(const QProcessEnvironment& environment, const char* program,
               const QStringList& arguments) {
    return Run(program, arguments, {}, environment);
}

// The environment of a user whose home and data folder are in `folder`, with no default set
// named and no display.
QProcessEnvironment UserEnvironment(const std::string& folder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", QString::fromStdString(folder + "/home"));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(folder + "/data"));
    for (const char* name : {"QUORVANE_DEFAULT_SET", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    return environment;
}

// The lines of a text but the rig check's warnings, which a small hand-made rig draws (its
// curves name no gas).
std::vector<std::string> LinesButWarnings(const std::string& text) {
    std::vector<std::string> lines;
    for (std::string& line : Lines(text))
        if (line.rfind("warning: ", 0) != 0)
            lines.push_back(std::move(line));
    return lines;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every file of the set `a` holds the bytes of that of the set `b`.
void ExpectSameFileSets(const std::string& a, const std::string& b) {
    for (const char* extension : {".INP", ".MIX", ".CAL", ".CEL"})
        EXPECT_EQ(ReadFileBytes(a + extension), ReadFileBytes(b + extension)) << extension;
}

const Components ArgonAndOxygen = {{"Ar", 0.5}, {"O2", 0.5}};
// Never converges: solid carbon has no place in the gas balance.
const Components CarbonInArgon = {{"C(s)", 0.1}, {"Ar", 0.9}};

using Programs = ProgramTest;

} // namespace

TEST_F(Programs, CalcExitStatusTellsHowTheCalculationEnded) {
    struct Case {
        const char* Title;
        std::function<void()> Rig;
        QStringList Options;
        int Exit;
        std::string Err; // a part of standard error
    };
    const std::vector<Case> cases = {
        {"every fed cell converged", [] { FeedCellOneAlone(ArgonAndOxygen); }, {}, 0, ""},
        {"no flowmeter can feed the node",
         [] {
             FeedCellOneAlone(ArgonAndOxygen);
             SetMeter(1, 0, 1, 10);
         },
         {},
         1,
         "error: Non-converging mixer!\n"},
        {"thirteen gases",
         [] { FeedThirteenGases(); },
         {},
         1,
         "error: Too many gases or inappropriately organised mixer\n"},
        {"a cell that does not converge in one cycle",
         [] {
             FeedCellOneAlone(CarbonInArgon);
             Cells[1].LeakO2 = Cells[1].LeakH2O = 0; // two species alone: quick passes
         },
         {"--max-cycles", "1"},
         3,
         "error: Cell 1 has not converged: best error "},
        {"the exact solver on argon and oxygen",
         [] { FeedCellOneAlone(ArgonAndOxygen); },
         {"--solver", "exact"},
         0,
         ""},
        {"the exact solver on pure CO",
         [] {
             FeedCellOneAlone({{"CO", 1.0}});
             Cells[1].LeakO2 = Cells[1].LeakH2O = 0;
         },
         {"--solver", "exact"},
         3,
         "error: Cell 1: no equilibrium: the feed holds no more oxygen than carbon\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        SetUp();
        c.Rig();
        SaveFileSet(TempPath("rig"));
        const Finished run =
            Calc(QStringList(c.Options) << QString::fromStdString(TempPath("rig")));
        EXPECT_EQ(run.Exit, c.Exit) << run.Err;
        EXPECT_TRUE(Contains(run.Err, c.Err)) << run.Err;
        EXPECT_EQ(run.Out.rfind("Status: ", 0), 0u) << run.Out;
        TearDown();
    }
}

TEST_F(Programs, CalcRefusesBadUsageWithStatusTwo) {
    FeedCellOneAlone(ArgonAndOxygen);
    SaveFileSet(TempPath("rig"));
    const QString rig = QString::fromStdString(TempPath("rig"));
    const std::pair<QStringList, std::string> cases[] = {
        {{}, "give one file set"},
        {{rig, rig}, "give one file set"},
        {{"--format", "xml", rig}, "--format is text, csv or json"},
        {{"--view", "all", rig}, "--view is equilibrium, feed, both or quantities"},
        {{"--cell", "9", rig}, "--cell takes a cell number 1..8"},
        {{"--cell", "x", rig}, "--cell takes a cell number 1..8"},
        {{"--max-cycles", "0", rig}, "--max-cycles takes a number of at least 1"},
        {{"--solver", "newton", rig}, "--solver is pattern or exact"},
        {{"--reference-po2", "0", rig}, "--reference-po2 takes a pressure in bar above 0"},
        {{"--reference-po2", "-0.2", rig}, "--reference-po2 takes a pressure in bar above 0"},
        {{"--reference-po2", "air", rig}, "--reference-po2 takes a pressure in bar above 0"},
        {{"--reference-po2", "inf", rig}, "--reference-po2 takes a pressure in bar above 0"},
        {{"--bogus", rig}, "Unknown option 'bogus'"},
    };
    for (const auto& [arguments, message] : cases) {
        const Finished run = Calc(arguments);
        EXPECT_EQ(run.Exit, 2) << message;
        EXPECT_TRUE(Contains(run.Err, "quorvane-calc: " + message)) << run.Err;
        EXPECT_TRUE(Contains(run.Err, "Usage: ")) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
    for (const char* option : {"--help", "--version"}) {
        const Finished run = Calc({option});
        EXPECT_EQ(run.Exit, 0) << option;
        EXPECT_TRUE(Contains(run.Out, "quorvane-calc")) << option;
    }
}

TEST_F(Programs, CalcTakesTheSensorsReferenceForTheEmf) {
    FeedCellOneAlone({{"H2", 0.1}, {"H2O", 0.1}, {"Ar", 0.8}});
    SaveFileSet(TempPath("rig"));
    const QString rig = QString::fromStdString(TempPath("rig"));
    const auto emf = [&](const QStringList& options) {
        const Finished run =
            Calc(QStringList{"--format", "json", "--solver", "exact"} + options + QStringList{rig});
        EXPECT_EQ(run.Exit, 0) << run.Err;
        const QJsonObject cell = QJsonDocument::fromJson(QByteArray::fromStdString(run.Out))
                                     .object()["cells"]
                                     .toArray()[0]
                                     .toObject();
        return cell["derived"].toObject()["sensorEmfmV"].toDouble();
    };
    const double air = emf({});
    const double other = emf({"--reference-po2", "1e-5"});
    // E = (R T / 4F) ln(pref / pO2): the reference moves it by (R T / 4F) ln(1e-5 / 0.2095).
    EXPECT_GT(air, 0);
    EXPECT_NEAR(other - air, 8.31451 * 1073.15 / (4 * 96485.33212) * std::log(1e-5 / 0.2095) * 1000,
                1e-9);
}

TEST_F(Programs, CalcFindsTheSettingForATargetOrSaysItIsOutOfReach) {
    const QString example = QStringLiteral(QUORVANE_EXAMPLE_BASE);
    const auto target = [&](const QString& goal, const QString& format) {
        return Calc({"--format", format, "--target", goal, "--vary", "flowmeter1.stageTemperature",
                     example});
    };
    const Finished found = target("cell1.log10pO2=-15.5", "json");
    EXPECT_EQ(found.Exit, 0) << found.Err;
    const QJsonObject answer =
        QJsonDocument::fromJson(QByteArray::fromStdString(found.Out)).object()["target"].toObject();
    EXPECT_EQ(answer.keys(), (QStringList{"achieved", "cell", "goal", "otherRoots", "parameter",
                                          "quantity", "range", "status", "value"}));
    EXPECT_EQ(answer["cell"].toInt(), 1);
    EXPECT_EQ(answer["quantity"].toString(), "log10pO2");
    EXPECT_EQ(answer["goal"].toDouble(), -15.5);
    EXPECT_EQ(answer["parameter"].toString(), "flowmeter1.stageTemperature");
    EXPECT_EQ(answer["status"].toString(), "found");
    EXPECT_NEAR(answer["achieved"].toDouble(), -15.5, 1e-6);
    // Wetter than the rig's 20 degrees Celsius, and below the boiling point.
    EXPECT_GT(answer["value"].toDouble(), 20);
    EXPECT_LT(answer["value"].toDouble(), 99.7);
    EXPECT_FALSE(answer["otherRoots"].toBool());

    const Finished text = target("cell1.log10pO2=-15.5", "text");
    EXPECT_EQ(text.Exit, 0) << text.Err;
    EXPECT_TRUE(Contains(text.Out, "Found: flowmeter1.stageTemperature = ")) << text.Out;

    const Finished unreachable = target("cell1.log10pO2=-1", "json");
    EXPECT_EQ(unreachable.Exit, 3) << unreachable.Err;
    const QJsonObject none = QJsonDocument::fromJson(QByteArray::fromStdString(unreachable.Out))
                                 .object()["target"]
                                 .toObject();
    EXPECT_EQ(none["status"].toString(), "unreachable");
    EXPECT_TRUE(none["value"].isNull());
    EXPECT_TRUE(none["achieved"].isNull());
    const QJsonArray range = none["range"].toArray();
    ASSERT_EQ(range.size(), 2);
    EXPECT_LT(range[0].toDouble(), -15.5);
    EXPECT_LT(range[0].toDouble(), range[1].toDouble());
    EXPECT_LT(range[1].toDouble(), -1);
    const Finished said = target("cell1.log10pO2=-1", "text");
    EXPECT_EQ(said.Exit, 3);
    EXPECT_TRUE(Contains(said.Out, "Unreachable: over that range log10pO2 goes from ")) << said.Out;
}

TEST_F(Programs, CalcRefusesABadTargetWithStatusTwoAndAFailingMixerWithOne) {
    FeedCellOneAlone(ArgonAndOxygen);
    SaveFileSet(TempPath("rig"));
    const QString rig = QString::fromStdString(TempPath("rig"));
    const QString t = QStringLiteral("--target");
    const QString v = QStringLiteral("--vary");
    const std::pair<QStringList, std::string> cases[] = {
        {{t, "cell1.log10pO2=-10", rig}, "--target and --vary go together"},
        {{v, "cell1.temperature", rig}, "--target and --vary go together"},
        {{t, "cell1log10pO2=-10", v, "cell1.temperature", rig}, "malformed target"},
        {{t, "cellx.log10pO2=-10", v, "cell1.temperature", rig}, "malformed target"},
        {{t, "cell1.log10pO2=low", v, "cell1.temperature", rig}, "is not a number"},
        {{t, "cell1.pO2=-10", v, "cell1.temperature", rig}, "unknown quantity \"pO2\""},
        {{t, "cell9.log10pO2=-10", v, "cell1.temperature", rig}, "cell 9 out of range 1..8"},
        {{t, "cell2.log10pO2=-10", v, "cell1.temperature", rig}, "cell 2 has no node"},
        {{t, "cell1.log10pO2=-10", v, "cell1.colour", rig}, "unknown parameter"},
        {{t, "cell1.log10pO2=-10", v, "flowmeter17.reading", rig}, "out of range 1..16"},
        {{t, "cell1.log10pO2=-10", v, "flowmeter1.stageTemperature", rig},
         "flowmeter 1 has no conditioning stage in use"},
        {{t, "cell1.log10pO2=-10", v, "cell1.temperature", "--format", "csv", rig},
         "--target writes text or json"},
        {{t, "cell1.log10pO2=-10", v, "cell1.temperature", "--solver", "pattern", rig},
         "--target searches with the exact solver"},
        {{t, "cell1.log10pO2=-10", v, "cell1.temperature", "--sweep", "cell1.pressure=1:2:3", rig},
         "--sweep and --target are two different runs: give one"},
    };
    for (const auto& [arguments, message] : cases) {
        const Finished run = Calc(arguments);
        EXPECT_EQ(run.Exit, 2) << message;
        EXPECT_TRUE(Contains(run.Err, message)) << run.Err;
        EXPECT_EQ(run.Out, "");
    }

    // A flowmeter with an output and no input: the mixer fails at the rig's own setting.
    SetMeter(2, 0, 1, 10);
    SaveFileSet(TempPath("broken"));
    const Finished failed = Calc({t, "cell1.log10pO2=-10", v, "cell1.temperature",
                                  QString::fromStdString(TempPath("broken"))});
    EXPECT_EQ(failed.Exit, 1) << failed.Err;
    EXPECT_TRUE(Contains(failed.Err, "error: ")) << failed.Err;
    EXPECT_EQ(failed.Out, "");
}

TEST_F(Programs, CalcSaysWhichFilesItTriedAndWhichItLacks) {
    // Each file that cannot be read is a warning with the system's reason.
    const std::string missing = TempPath("nowhere");
    const auto unreadText = [](const std::string& name, const char* holds) {
        return "Could not read " + name + ": No such file or directory; " + holds +
               " are left as they were";
    };
    const auto unread = [&](const std::string& name, const char* holds) {
        return "warning: " + unreadText(name, holds) + "\n";
    };
    Finished run = Calc({QString::fromStdString(missing)});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, unread(missing + ".INP", "the input gases and mixtures") +
                           unread(missing + ".MIX", "the flowmeters") +
                           unread(missing + ".CAL", "the calibration curves") +
                           unread(missing + ".CEL", "the cells") +
                           "quorvane-calc: could not read any file of the set; tried " + missing +
                           ".INP, " + missing + ".MIX, " + missing + ".CAL and " + missing +
                           ".CEL\n");
    EXPECT_EQ(run.Out, "");

    // Without its curves the rig still calculates: every flowmeter reads the last curve, which
    // at its start-up values has no point and gives no flow, as the rig check says.
    FeedCellOneAlone(ArgonAndOxygen);
    SaveFileSet(TempPath("rig"));
    QFile::remove(QString::fromStdString(TempPath("rig.CAL")));
    run = Calc({"--format", "json", QString::fromStdString(TempPath("rig.CEL"))});
    EXPECT_EQ(run.Err,
              unread(TempPath("rig.CAL"), "the calibration curves") +
                  "warning: Flowmeter 1 reads Ar through curve 1000, which has no point with a "
                  "positive reading: no flow\n"
                  "warning: Flowmeter 1 reads O2 through curve 1000, which has no point with a "
                  "positive reading: no flow\n");
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(run.Out)).object();
    ASSERT_EQ(json["messages"].toArray().size(), 3);
    for (const QJsonValue& message : json["messages"].toArray())
        EXPECT_EQ(message.toObject()["kind"].toString(), "warning");
    EXPECT_EQ(json["messages"].toArray()[0].toObject()["text"].toString().toStdString(),
              unreadText(TempPath("rig.CAL"), "the calibration curves"));
}

TEST_F(Programs, CalcTakesTheBaseAsItIsWritten) {
    // A backslash is a character of a file name here, not a folder separator.
    ASSERT_TRUE(QDir(QString::fromStdString(TempPath("p2/back"))).mkpath("."));
    FeedCellOneAlone(ArgonAndOxygen);
    Cells[1].Name.Set("slash");
    SaveFileSet(TempPath("p2/back/slash"));
    Cells[1].Name.Set("backslash");
    SaveFileSet(TempPath("p2/back\\slash"));

    const Finished run =
        Calc({"--format", "json", QString::fromStdString(TempPath("p2/back\\slash"))});
    ASSERT_EQ(run.Exit, 0) << run.Err;
    // All four files were read: nothing but the rig check's warnings about its one-point curve.
    for (const std::string& line : Lines(run.Err))
        EXPECT_EQ(line.rfind("warning: Flowmeter 1 ", 0), 0u) << line;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(run.Out)).object();
    EXPECT_EQ(json["cells"].toArray()[0].toObject()["name"].toString(), "backslash");
}

TEST_F(Programs, CalcWritesTheStatusLineToStandardErrorInOrderAndProgressOnRequest) {
    FeedCellOneAlone(ArgonAndOxygen);
    SetInputMix(2, {{"o2", 1.0}}); // not a formula: a warning while the rig is read and run
    SaveFileSet(TempPath("rig"));
    const QString rig = QString::fromStdString(TempPath("rig.MIX")); // one of the four files

    for (const bool verbose : {false, true}) {
        SCOPED_TRACE(verbose ? "verbose" : "quiet");
        QStringList arguments = {"--format", "json", rig};
        if (verbose)
            arguments.prepend("--verbose");
        const Finished run = Calc(arguments);
        ASSERT_EQ(run.Exit, 0) << run.Err;
        const QJsonObject json =
            QJsonDocument::fromJson(QByteArray::fromStdString(run.Out)).object();
        EXPECT_EQ(json["status"].toString(), "converged");

        std::vector<std::string> messages;
        for (const QJsonValue& m : json["messages"].toArray())
            messages.push_back(m["kind"].toString().toStdString() + ": " +
                               m["text"].toString().toStdString());
        EXPECT_EQ(Lines(run.Err), messages);
        ASSERT_GE(messages.size(), 2u);
        EXPECT_EQ(messages[0], "error: Input mix 2 not properly defined") << "while it is read";
        EXPECT_EQ(messages[1], "error: Input mix 2 not properly defined") << "at Calculate";
        int progress = 0;
        int info = 0;
        for (const std::string& line : messages) {
            info += line.rfind("info: ", 0) == 0;
            progress += line.rfind("info: Cell 1   Iteration ", 0) == 0;
        }
        EXPECT_EQ(progress, verbose ? 3 : 0) << "three passes";
        EXPECT_EQ(info, verbose ? 5 : 0) << "and the reaction of water, in two lines";
    }
}

TEST_F(Programs, CalcSolvesWithEitherSolverAndTheyAgree) {
    FeedCellOneAlone({{"H2", 0.97}, {"H2O", 0.03}});
    SaveFileSet(TempPath("rig"));
    std::map<std::string, QJsonObject> cells;
    for (const char* solver : {"pattern", "exact"}) {
        SCOPED_TRACE(solver);
        const Finished run = Calc({"--format", "json", "--cell", "1", "--solver", solver,
                                   QString::fromStdString(TempPath("rig"))});
        ASSERT_EQ(run.Exit, 0) << run.Err;
        EXPECT_EQ(LinesButWarnings(run.Err), std::vector<std::string>{});
        const QJsonObject json =
            QJsonDocument::fromJson(QByteArray::fromStdString(run.Out)).object();
        EXPECT_EQ(json["solver"].toString().toStdString(), solver);
        cells[solver] = json["cells"].toArray()[0].toObject();
        EXPECT_EQ(cells[solver]["state"].toInt(), CellRunState::Converged);
    }
    EXPECT_EQ(cells["exact"]["passes"].toInt(), 1);
    EXPECT_GE(cells["pattern"]["passes"].toInt(), 3);
    const QJsonObject pattern = cells["pattern"]["equilibrium"].toObject();
    const QJsonObject exact = cells["exact"]["equilibrium"].toObject();
    ASSERT_EQ(pattern.keys(), exact.keys());
    for (const QString& species : exact.keys()) {
        if (exact[species].toDouble() <= 1e-30)
            continue;
        EXPECT_NEAR(std::log10(pattern[species].toDouble()), std::log10(exact[species].toDouble()),
                    1e-3)
            << species.toStdString();
    }
}

TEST_F(Programs, CalcSweepRefusesBadUsageWithStatusTwoAndNamesWhatIsWrong) {
    // Cell 1 fed through flowmeter 1, which carries a saturator; flowmeter 2 has an input but
    // no output, flowmeter 5 an output but no input; flowmeter 3 has a drying agent, flowmeter
    // 4 its stage switched off.
    FeedCellOneAlone({{"H2", 0.97}, {"H2O", 0.03}});
    SetMeter(2, 1, 0, 5);
    SetMeter(5, 0, 1, 0);
    SetStage(1, "H2O", "KBR", 20, true);
    SetStage(3, "H2O", "DRY", 20, true);
    SetMeter(3, 1, 1, 0);
    SetStage(4, "H2O", "PURE", 20, true);
    Flowmeters[4].FixGasUsed = 0;
    SaveFileSet(TempPath("rig"));
    const QString rig = QString::fromStdString(TempPath("rig"));
    const std::pair<QString, std::string> cases[] = {
        {"cell1.volume=1:2:3", "--sweep: unknown parameter \"cell1.volume\""},
        {"temperature=1:2:3", "--sweep: unknown parameter \"temperature\""},
        {"cell9.temperature=1:2:3", "--sweep: cell 9 out of range 1..8"},
        {"flowmeter17.reading=1:2:3", "--sweep: flowmeter 17 out of range 1..16"},
        {"flowmeter2.reading=1:2:3", "--sweep: flowmeter 2 has no input or no output"},
        {"flowmeter5.reading=1:2:3", "--sweep: flowmeter 5 has no input or no output"},
        {"flowmeter3.stageTemperature=1:2:3",
         "--sweep: flowmeter 3's stage is not a saturator (PURE or KBR on H2O or D2O)"},
        {"flowmeter4.stageTemperature=1:2:3",
         "--sweep: flowmeter 4 has no conditioning stage in use"},
        {"flowmeter2.stageTemperature=1:2:3",
         "--sweep: flowmeter 2 has no conditioning stage in use"},
        {"cell1.temperature=1:2", "--sweep: malformed range \"1:2\": expected FROM:TO:POINTS"},
        {"cell1.temperature=1:x:3", "--sweep: malformed range \"1:x:3\": TO is not a number"},
        {"cell1.temperature=1:2:1",
         "--sweep: malformed range \"1:2:1\": POINTS is a whole number 2..100000"},
        {"cell1.temperature=1:2:100001",
         "--sweep: malformed range \"1:2:100001\": POINTS is a whole number 2..100000"},
        {"cell1.temperature", "--sweep: malformed sweep \"cell1.temperature\""},
    };
    for (const auto& [sweep, message] : cases) {
        const Finished run = Calc({"--sweep", sweep, rig});
        EXPECT_EQ(run.Exit, 2) << message;
        EXPECT_TRUE(Contains(run.Err, "quorvane-calc: " + message)) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
    // The saturator may be swept, and so may the reading of the flowmeter it sits on.
    for (const char* sweep : {"flowmeter1.stageTemperature=5:40:3", "flowmeter1.reading=1:20:3"}) {
        const Finished run = Calc({"--sweep", sweep, "--format", "csv", rig});
        EXPECT_EQ(run.Exit, 0) << sweep << run.Err;
    }
}

TEST_F(Programs, CalcSweepsEachPointAsASingleCalculationWithThatValueGivesIt) {
    FeedCellOneAlone({{"H2", 0.9}, {"H2O", 0.1}});
    Cells[1].LeakO2 = Cells[1].LeakH2O = 0;
    SaveFileSet(TempPath("rig"));
    const QString rig = QString::fromStdString(TempPath("rig"));
    const Finished sweep =
        Calc({"--sweep", "cell1.temperature=600:1000:3", "--format", "json", rig});
    ASSERT_EQ(sweep.Exit, 0) << sweep.Err;
    EXPECT_EQ(LinesButWarnings(sweep.Err), std::vector<std::string>{});
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(sweep.Out)).object();
    EXPECT_EQ(json["solver"].toString(), "exact");
    const QJsonArray points = json["sweep"].toObject()["points"].toArray();
    ASSERT_EQ(points.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QJsonObject point = points[i].toObject();
        const double t = 600 + 200 * i;
        EXPECT_EQ(point["value"].toDouble(), t);
        Cells[1].Temperature = t;
        SaveFileSet(TempPath("single"));
        const Finished single = Calc(
            {"--format", "json", "--solver", "exact", QString::fromStdString(TempPath("single"))});
        ASSERT_EQ(single.Exit, 0) << single.Err;
        const QJsonObject one = QJsonDocument::fromJson(QByteArray::fromStdString(single.Out))
                                    .object()["cells"]
                                    .toArray()[0]
                                    .toObject();
        const QJsonObject swept = point["cells"].toArray()[0].toObject();
        EXPECT_EQ(swept["state"].toString(), "converged");
        EXPECT_EQ(swept["feed"].toObject(), one["feed"].toObject());
        const QJsonObject a = swept["equilibrium"].toObject();
        const QJsonObject b = one["equilibrium"].toObject();
        ASSERT_EQ(a.keys(), b.keys());
        for (const QString& species : a.keys()) {
            if (b[species].toDouble() <= 0) {
                EXPECT_EQ(a[species].toDouble(), b[species].toDouble());
                continue;
            }
            EXPECT_NEAR(std::log10(a[species].toDouble()), std::log10(b[species].toDouble()), 1e-9)
                << species.toStdString() << " at " << t;
        }
    }
    // The pattern search is asked for by name, and says on standard error what that costs.
    const Finished pattern = Calc({"--sweep", "cell1.temperature=600:1000:2", "--solver", "pattern",
                                   "--format", "csv", "--cell", "1", rig});
    EXPECT_EQ(pattern.Exit, 0) << pattern.Err;
    EXPECT_TRUE(Contains(pattern.Err, "note: the pattern search")) << pattern.Err;
    const std::vector<std::string> rows = Lines(pattern.Out);
    ASSERT_GT(rows.size(), 1u);
    EXPECT_EQ(rows[0], "parameter,value,cell,name,state,view,item,number,log10");
    EXPECT_EQ(rows[1].rfind("cell1.temperature,600,1,", 0), 0u) << rows[1];
}

TEST_F(Programs, CalcBoundsTheCyclesOverTheCellsAtTwentyByDefault) {
    FeedCellOneAlone(CarbonInArgon);
    Cells[1].LeakO2 = Cells[1].LeakH2O = 0; // two species alone: quick passes
    SaveFileSet(TempPath("rig"));
    const Finished run = Calc({"--format", "json", QString::fromStdString(TempPath("rig"))});
    EXPECT_EQ(run.Exit, 3);
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(run.Out)).object();
    EXPECT_EQ(json["status"].toString(), "not-converged");
    const QJsonObject cell = json["cells"].toArray()[0].toObject();
    EXPECT_EQ(cell["passes"].toInt(), 20 * 11);
    EXPECT_EQ(cell["state"].toInt(), CellRunState::Passed);
    // Named on standard error and among the messages, with the best error of the last cycle.
    char error[40];
    std::snprintf(error, sizeof error, "%.2E", cell["bestError"].toDouble());
    const std::string message =
        std::string("Cell 1 has not converged: best error ") + error + " after 220 passes";
    EXPECT_EQ(LinesButWarnings(run.Err), std::vector<std::string>{"error: " + message});
    QJsonArray errors;
    for (const QJsonValue m : json["messages"].toArray())
        if (m["kind"].toString() != "warning")
            errors.append(m);
    EXPECT_EQ(errors, (QJsonArray{QJsonObject{{"kind", "error"},
                                              {"text", QString::fromStdString(message)}}}));
}

TEST_F(Programs, RigGoesToJsonAndBackByteForByte) {
    FeedCellOneAlone(ArgonAndOxygen);
    SetStage(1, "H2O", "PURE", 20, false);
    Cells[2].Name.Set("Caf\xE9");
    SaveFileSet(TempPath("rig"));

    const Finished toJson = Rig({"to-json", QString::fromStdString(TempPath("rig.INP"))});
    ASSERT_EQ(toJson.Exit, 0) << toJson.Err;
    EXPECT_EQ(toJson.Err, "");
    EXPECT_TRUE(Contains(toJson.Out, "\"name\": \"Caf\xC3\xA9\"")) << "UTF-8";
    const Finished fromJson = Rig({"from-json", "-", QString::fromStdString(TempPath("copy"))},
                                  QByteArray::fromStdString(toJson.Out));
    ASSERT_EQ(fromJson.Exit, 0) << fromJson.Err;
    ExpectSameFileSets(TempPath("copy"), TempPath("rig"));
}

TEST_F(Programs, RigWritesNothingFromAFaultyDocument) {
    SaveFileSet(TempPath("rig")); // an existing set, which must stay as it is
    const std::vector<char> cells = ReadFileBytes(TempPath("rig.CEL"));
    QFile document(QString::fromStdString(TempPath("rig.json")));
    ASSERT_TRUE(document.open(QIODevice::WriteOnly));
    document.write(R"({"inputMixtures": [], "flowmeters": [], "calibrations": [],
        "cells": [{"index": 1, "name": "A", "mix": 1, "temperatureC": 800, "pressure": -1,
                   "leaks": {"O2": 0, "N2": 0, "H2": 0, "H2O": 0}}]})");
    document.close();

    const Finished run = Rig({"from-json", QString::fromStdString(TempPath("rig.json")),
                              QString::fromStdString(TempPath("new"))});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "quorvane-rig: " + TempPath("rig.json") +
                           ": cells[0].pressure: -1 is out of range: expected a pressure above 0; "
                           "nothing written\n");
    for (const char* extension : {".INP", ".MIX", ".CAL", ".CEL"})
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(TempPath("new") + extension)));

    const Finished over = Rig({"from-json", QString::fromStdString(TempPath("rig.json")),
                               QString::fromStdString(TempPath("rig"))});
    EXPECT_EQ(over.Exit, 1);
    EXPECT_EQ(ReadFileBytes(TempPath("rig.CEL")), cells);
}

TEST_F(Programs, RigReplacesAWholeSetOrNothing) {
    FeedCellOneAlone(ArgonAndOxygen);
    SaveFileSet(TempPath("new"));
    const Finished toJson = Rig({"to-json", QString::fromStdString(TempPath("new"))});
    ASSERT_EQ(toJson.Exit, 0) << toJson.Err;
    ResetProgramState();
    SaveFileSet(TempPath("rig")); // the old set, all start-up values
    std::vector<std::vector<char>> old;
    for (const char* extension : {".INP", ".MIX", ".CEL"})
        old.push_back(ReadFileBytes(TempPath("rig") + extension));
    // A folder in the way of the third file: the first two could be written, but must not be.
    QFile::remove(QString::fromStdString(TempPath("rig.CAL")));
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(TempPath("rig.CAL"))));

    const Finished run = Rig({"from-json", "-", QString::fromStdString(TempPath("rig"))},
                             QByteArray::fromStdString(toJson.Out));
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err.rfind("quorvane-rig: could not write " + TempPath("rig.CAL") + ": ", 0), 0u)
        << run.Err;
    EXPECT_TRUE(Contains(run.Err, "; no file of the set was replaced\n")) << run.Err;
    std::vector<std::vector<char>> now;
    for (const char* extension : {".INP", ".MIX", ".CEL"})
        now.push_back(ReadFileBytes(TempPath("rig") + extension));
    EXPECT_TRUE(now == old);

    // With the way clear the whole set is written.
    ASSERT_TRUE(QDir().rmdir(QString::fromStdString(TempPath("rig.CAL"))));
    const Finished again = Rig({"from-json", "-", QString::fromStdString(TempPath("rig"))},
                               QByteArray::fromStdString(toJson.Out));
    EXPECT_EQ(again.Exit, 0) << again.Err;
    ExpectSameFileSets(TempPath("rig"), TempPath("new"));
}

TEST_F(Programs, RigRefusesABaseThatNamesAFolder) {
    SaveFileSet(TempPath("rig"));
    const Finished toJson = Rig({"to-json", QString::fromStdString(TempPath("rig"))});
    ASSERT_EQ(toJson.Exit, 0) << toJson.Err;
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(TempPath("adir"))));
    const std::pair<std::string, std::string> cases[] = {
        {TempPath("adir/"), TempPath("adir/rig")},
        {TempPath("adir"), TempPath("adir/rig")},
        {TempPath("adir/.INP"), TempPath("adir/rig")},
        {TempPath("nodir/"), TempPath("nodir/rig")},
    };
    for (const auto& [base, example] : cases) {
        SCOPED_TRACE(base);
        const Finished run = Rig({"from-json", "-", QString::fromStdString(base)},
                                 QByteArray::fromStdString(toJson.Out));
        EXPECT_EQ(run.Exit, 2);
        EXPECT_EQ(run.Err.rfind("quorvane-rig: \"" + base +
                                    "\" names a folder, not a file set in it (for example " +
                                    example + ")\n",
                                0),
                  0u)
            << run.Err;
    }
    EXPECT_EQ(QDir(QString::fromStdString(TempPath("adir")))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(TempPath("adir.INP"))));
}

TEST_F(Programs, RigRefusesBadUsageAndASetWithoutFiles) {
    const QString json = QString::fromStdString(TempPath("rig.json"));
    const QString base = QString::fromStdString(TempPath("rig"));
    const std::pair<QStringList, std::string> cases[] = {
        {{}, "give a command"},
        {{"to-xml", base}, "unknown command or wrong arguments"},
        {{"to-json"}, "unknown command or wrong arguments"},
        {{"from-json", json}, "unknown command or wrong arguments"},
        {{"install-default", base, base}, "unknown command or wrong arguments"},
        {{"--bogus", "to-json", base}, "Unknown option 'bogus'"},
    };
    for (const auto& [arguments, message] : cases) {
        const Finished run = Rig(arguments);
        EXPECT_EQ(run.Exit, 2) << message;
        EXPECT_TRUE(Contains(run.Err, "quorvane-rig: " + message)) << run.Err;
        EXPECT_TRUE(Contains(run.Err, "Usage: ")) << run.Err;
    }
    const Finished run = Rig({"to-json", base});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(
        Contains(run.Err, "could not read any file of the set; tried " + TempPath("rig") + ".INP"))
        << run.Err;
    EXPECT_EQ(run.Out, "");
}

TEST_F(Programs, RigInstallsTheDefaultSetOnceWhereTheWindowLooksForIt) {
    struct Case {
        const char* What;
        std::string Named; // QUORVANE_DEFAULT_SET, or empty
        std::string Expected;
    };
    const Case cases[] = {
        {"the user's data folder", "", TempPath("data/quorvane/Default")},
        {"the set the environment names", TempPath("named/Rig"), TempPath("named/Rig")},
    };
    for (const Case& c : cases) {
        QProcessEnvironment environment = UserEnvironment(Temp.path().toStdString());
        if (!c.Named.empty())
            environment.insert("QUORVANE_DEFAULT_SET", QString::fromStdString(c.Named));
        const Finished first =
            RunIn(environment, QUORVANE_RIG_PROGRAM, {"install-default", QUORVANE_EXAMPLE_BASE});
        EXPECT_EQ(first.Exit, 0) << c.What;
        EXPECT_EQ(first.Err, std::string("quorvane-rig: installed ") + QUORVANE_EXAMPLE_BASE +
                                 " as the default file set " + c.Expected + "\n")
            << c.What;
        ExpectSameFileSets(c.Expected, QUORVANE_EXAMPLE_BASE);

        WriteFileBytes(c.Expected + ".CEL", {'m', 'i', 'n', 'e'});
        const Finished second =
            RunIn(environment, QUORVANE_RIG_PROGRAM, {"install-default", QUORVANE_EXAMPLE_BASE});
        EXPECT_EQ(second.Exit, 0) << c.What;
        EXPECT_EQ(second.Err, "quorvane-rig: a default file set exists at " + c.Expected +
                                  "; it is left as it is\n")
            << c.What;
        EXPECT_EQ(ReadFileBytes(c.Expected + ".CEL"), (std::vector<char>{'m', 'i', 'n', 'e'}));
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(TempPath("home/.local"))));
}

TEST_F(Programs, TheWindowsFirstStartInstallsTheBuildsExampleAndALaterStartKeepsTheSet) {
    QProcessEnvironment environment = UserEnvironment(Temp.path().toStdString());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QUORVANE_EXIT_WHEN_DRAWN", "1");
    const std::string base = TempPath("data/quorvane/Default");

    const Finished first = RunIn(environment, QUORVANE_WINDOW_PROGRAM, {});
    ASSERT_EQ(first.Exit, 0) << first.Err;
    ExpectSameFileSets(base, QUORVANE_EXAMPLE_BASE);

    std::vector<char> cells = ReadFileBytes(base + ".CEL");
    ASSERT_EQ(cells.size(), 576u);
    cells[1] = 'Z'; // the first letter of cell 1's name
    WriteFileBytes(base + ".CEL", cells);
    const Finished second = RunIn(environment, QUORVANE_WINDOW_PROGRAM, {});
    ASSERT_EQ(second.Exit, 0) << second.Err;
    EXPECT_EQ(ReadFileBytes(base + ".CEL"), cells);
    EXPECT_EQ(ReadFileBytes(base + ".INP"),
              ReadFileBytes(std::string(QUORVANE_EXAMPLE_BASE) + ".INP"));
}

TEST_F(Programs, EachProgramAnswersHelpAndVersionWithoutADisplay) {
    // A display platform that cannot start here: the window's program must not need it.
    QProcessEnvironment environment = UserEnvironment(Temp.path().toStdString());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    const std::pair<const char*, const char*> programs[] = {
        {QUORVANE_WINDOW_PROGRAM, "quorvane"},
        {QUORVANE_CALC_PROGRAM, "quorvane-calc"},
        {QUORVANE_RIG_PROGRAM, "quorvane-rig"},
    };
    for (const auto& [program, name] : programs) {
        const Finished help = RunIn(environment, program, {"--help"});
        EXPECT_EQ(help.Exit, 0) << name << help.Err;
        EXPECT_TRUE(Contains(help.Out, "Usage: ")) << help.Out;
        EXPECT_TRUE(Contains(help.Out, std::string(name) + " [options]")) << help.Out;
        const Finished version = RunIn(environment, program, {"--version"});
        EXPECT_EQ(version.Exit, 0) << name << version.Err;
        EXPECT_EQ(version.Out, std::string(name) + " " + QUORVANE_VERSION + "\n");
    }
    // The window and the tool that installs the default set tell where it is.
    for (const char* program : {QUORVANE_WINDOW_PROGRAM, QUORVANE_RIG_PROGRAM})
        EXPECT_TRUE(Contains(RunIn(environment, program, {"--help"}).Out,
                             "$XDG_DATA_HOME/quorvane/Default"))
            << program;
}
