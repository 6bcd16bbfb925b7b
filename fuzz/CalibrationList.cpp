// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration list's reading rule on any rows a user can type: each line of the input is a
// row of cells separated by tabs, read into the curve of that row. The texts must fit their
// fields, a temperature or pressure either changes to a finite number or stays, the list shows
// what it read so that OK without an edit keeps it to two decimals, and every flowmeter can
// still be looked up through the curves.
#include "FuzzSupport.h"

#include "core/Calibration.h"
#include "core/Defaults.h"
#include "core/NumberText.h"
#include "core/SetupTables.h"
#include "ui/ParameterText.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

std::string Cell(const std::vector<std::string_view>& cells, std::size_t i) {
    return i < cells.size() ? std::string(cells[i]) : std::string();
}

template <std::size_t N> bool Fits(const Text<N>& text, const std::string& typed) {
    return text.Length <= N && text.View() == std::string_view(typed).substr(0, N);
}

// A real as the list shows it, read back as OK without an edit reads it.
void CheckShownReal(double value) {
    const std::optional<double> back = ReadReal(FormatFixed(value, 9, 2));
    if (!std::isfinite(value)) {
        FuzzCheck(!back, "a value that is no number is not read back");
        return;
    }
    FuzzCheck(back.has_value(), "a shown real reads back");
    FuzzCheck(std::fabs(*back - value) <= 0.005 + std::fabs(value) * 1e-15,
              "a shown real reads back to two decimals");
}

void CheckRow(const CalibrationRecord& before, const CalibrationRecord& after,
              const CalibrationRowTexts& row) {
    FuzzCheck(Fits(after.Make, row.Make) && Fits(after.Size, row.Size) &&
                  Fits(after.Float, row.Float) && Fits(after.Gas, row.Gas),
              "the texts are cut to their fields");
    FuzzCheck(std::memcmp(&after.Point, &before.Point, sizeof after.Point) == 0,
              "the list leaves the points alone");
    FuzzCheck(ReadReal(row.Temp).has_value()
                  ? std::isfinite(after.Temp)
                  : std::memcmp(&after.Temp, &before.Temp, sizeof after.Temp) == 0,
              "a temperature is a finite number or stays");
    FuzzCheck(ReadReal(row.Press).has_value()
                  ? std::isfinite(after.Press)
                  : std::memcmp(&after.Press, &before.Press, sizeof after.Press) == 0,
              "a pressure is a finite number or stays");
    CheckShownReal(after.Temp);
    CheckShownReal(after.Press);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Curves start as at start-up, with a point or two so that a lookup has something to read;
    // one of them holds numbers no list can show.
    for (int c = 1; c <= CalibrationCount; ++c)
        SetDefaultCalibration(c);
    Calibrations[1].Point[1] = {10, 1};
    Calibrations[1].Point[2] = {20, 3};
    Calibrations[2].Temp = std::numeric_limits<double>::quiet_NaN();
    Calibrations[2].Press = std::numeric_limits<double>::infinity();
    int k = 0;
    for (const std::string_view line : SplitInput(data, size, '\n')) {
        if (++k > CalibrationCount)
            break;
        const std::vector<std::string_view> cells =
            SplitInput(reinterpret_cast<const std::uint8_t*>(line.data()), line.size(), '\t');
        const CalibrationRowTexts row = {Cell(cells, 0), Cell(cells, 1), Cell(cells, 2),
                                         Cell(cells, 3), Cell(cells, 4), Cell(cells, 5),
                                         Cell(cells, 6)};
        const CalibrationRecord before = Calibrations[k];
        ReadCalibrationRow(row, Calibrations[k]);
        CheckRow(before, Calibrations[k], row);
    }
    for (int f = 1; f <= FlowmeterCount; ++f) {
        SetDefaultFlowmeter(f);
        FuzzCheck(std::isfinite(CalibratedFlow(f, "None", 15)), "a flow from the curves is finite");
    }
    return 0;
}
