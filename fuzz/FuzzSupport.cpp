// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzSupport.h"

#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "files/RigJson.h"
#include "report/CalcReport.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

namespace {

// Every status line is kept for the reports and written nowhere; no pause waits.
std::ostream& Nowhere() {
    static std::ostream stream(nullptr);
    return stream;
}

BatchWindow& QuietWindow() {
    static BatchWindow window(Nowhere());
    return window;
}

std::unique_ptr<QTemporaryDir>& Folder() {
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

// One cycle over the cells, one pass per cell run and one solver iteration: each fed cell is set
// up and solved once from its feed, which reaches every part of the equilibrium run, while a
// full pass of a hundred iterations would make an input with many species take seconds.
constexpr CalcBounds FuzzBounds{1, 1, 1};

bool InRange(const CellRecord& cell) {
    const double kelvin = cell.Temperature + 273.15;
    return std::isfinite(cell.Pressure) && cell.Pressure > 0 && std::isfinite(kelvin) && kelvin > 0;
}

} // namespace

void FuzzCheck(bool condition, const char* what) {
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

void StartFuzzing() {
    SetWindow(&QuietWindow());
    QuietWindow().ShowProgress = false;
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    Folder() =
        shm.isDir() && shm.isWritable()
            ? std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/quorvane-fuzz-XXXXXX"))
            : std::make_unique<QTemporaryDir>();
    FuzzCheck(Folder()->isValid(), "a folder for the fuzz files");
}

std::string FuzzPath(const std::string& name) {
    return Folder()->filePath(QString::fromStdString(name)).toStdString();
}

void WriteFuzzFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    QFile file(QString::fromStdString(path));
    FuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "opening a fuzz file");
    const auto length = static_cast<qint64>(size);
    FuzzCheck(size == 0 || file.write(reinterpret_cast<const char*>(data), length) == length,
              "writing a fuzz file");
}

void ReadExampleRig() {
    QFile file(QStringLiteral(QUORVANE_EXAMPLE_RIG_JSON));
    FuzzCheck(file.open(QIODevice::ReadOnly), "reading the example rig");
    SetupElements();
    SetupCompounds();
    SetStoredTablesToDefaults();
    std::string error;
    FuzzCheck(RigFromJson(file.readAll().toStdString(), error), "the example rig is a rig");
}

namespace {

// One calculation within the bounds and its checks.
void CalculateAndCheckWithin(const CalcBounds& bounds) {
    QuietWindow().Messages.clear();
    const CalcOutcome outcome = RunCalculation(bounds);

    FuzzCheck(!Running && !StopRequested, "the run has ended");
    FuzzCheck(GasCount >= 0 && GasCount <= MaxGases, "the gas list fits");
    FuzzCheck(EqSpeciesCount <= MaxEqSpecies, "the species list fits");
    for (int c = 1; c <= CellCount; ++c) {
        const CellRecord& cell = Cells[c];
        // After a run every cell is left out, not converged or converged.
        FuzzCheck(cell.State == CellRunState::NotCalculated || cell.State == CellRunState::Passed ||
                      cell.State == CellRunState::Converged,
                  "a cell's state");
        FuzzCheck(cell.State == CellRunState::NotCalculated || (CellNode(c) != 0 && InRange(cell)),
                  "only a fed cell in range is calculated");
        FuzzCheck(CellPasses[c] <= FuzzBounds.PassesPerCellRun, "the passes keep their bound");
        for (int j = 1; j <= EqSpeciesCount && cell.State == CellRunState::Converged; ++j)
            FuzzCheck(std::isfinite(CellBestAmounts[c][j]) && CellBestAmounts[c][j] >= 0,
                      "a converged cell shows amounts, none negative");
        for (const GasFraction& slot : CellFeed[c])
            FuzzCheck(std::isfinite(slot.Fraction), "a feed holds finite fractions");
    }

    for (const ReportFormat format : {ReportFormat::Text, ReportFormat::Csv}) {
        ReportOptions options;
        options.Format = format;
        FormatReport(outcome, QuietWindow().Messages, options);
    }
    ReportOptions json;
    json.Format = ReportFormat::Json;
    json.Solver = bounds.Solver;
    const std::string report = FormatReport(outcome, QuietWindow().Messages, json);
    FuzzCheck(!QJsonDocument::fromJson(QByteArray::fromStdString(report)).isNull(),
              "the JSON report is JSON");
}

} // namespace

void CalculateAndCheck() {
    for (const EquilibriumSolver solver : {EquilibriumSolver::Pattern, EquilibriumSolver::Exact}) {
        CalcBounds bounds = FuzzBounds;
        bounds.Solver = solver;
        CalculateAndCheckWithin(bounds);
    }
}

std::vector<std::string_view> SplitInput(const std::uint8_t* data, std::size_t size,
                                         char separator) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}
