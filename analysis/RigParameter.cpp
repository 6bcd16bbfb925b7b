// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/RigParameter.h"

#include "core/MixerNetwork.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {
struct Property {
    const char* Object; // "cell" or "flowmeter"
    const char* Name;
    RigParameterKind Kind;
};
constexpr Property Properties[] = {
    {"cell", "temperature", RigParameterKind::CellTemperature},
    {"cell", "pressure", RigParameterKind::CellPressure},
    {"flowmeter", "reading", RigParameterKind::FlowmeterReading},
    {"flowmeter", "stageTemperature", RigParameterKind::StageTemperature},
};

bool IsCellParameter(RigParameterKind kind) {
    return kind == RigParameterKind::CellTemperature || kind == RigParameterKind::CellPressure;
}

std::string UnknownName(std::string_view name) {
    return "unknown parameter \"" + std::string(name) +
           "\": expected cellN.temperature, cellN.pressure, flowmeterN.reading or "
           "flowmeterN.stageTemperature";
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}
} // namespace

std::string RigParameter::Name() const {
    for (const Property& property : Properties)
        if (property.Kind == Kind)
            return std::string(property.Object) + std::to_string(Index) + "." + property.Name;
    return {};
}

std::string RigParameter::Unit() const {
    switch (Kind) {
    case RigParameterKind::CellTemperature:
    case RigParameterKind::StageTemperature:
        return "°C";
    case RigParameterKind::CellPressure:
        return "bar";
    case RigParameterKind::FlowmeterReading:
        break;
    }
    return {};
}

std::string RigParameter::Caption() const {
    std::string caption;
    switch (Kind) {
    case RigParameterKind::CellTemperature:
        caption = "Cell " + std::to_string(Index) + " temperature";
        break;
    case RigParameterKind::CellPressure:
        caption = "Cell " + std::to_string(Index) + " pressure";
        break;
    case RigParameterKind::FlowmeterReading:
        caption = "Flowmeter " + std::to_string(Index) + " reading";
        break;
    case RigParameterKind::StageTemperature:
        caption = "Flowmeter " + std::to_string(Index) + " stage temperature";
        break;
    }
    const std::string unit = Unit();
    return unit.empty() ? caption + " (scale)" : caption + " (" + unit + ")";
}

bool RigParameter::FeedsMixer() const {
    return !IsCellParameter(Kind);
}

std::optional<RigParameter> ParseRigParameter(std::string_view name, std::string& error) {
    error.clear();
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) {
        error = UnknownName(name);
        return std::nullopt;
    }
    const std::string_view object = name.substr(0, dot);
    const std::string_view property = name.substr(dot + 1);
    for (const Property& known : Properties) {
        const std::string_view prefix = known.Object;
        if (property != known.Name || object.size() <= prefix.size() ||
            object.substr(0, prefix.size()) != prefix)
            continue;
        const std::string_view digits = object.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            break;
        const bool cell = IsCellParameter(known.Kind);
        const int last = cell ? CellCount : FlowmeterCount;
        long number = 0;
        const auto [end, status] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (status != std::errc{} || end != digits.data() + digits.size() || number < 1 ||
            number > last) {
            error = std::string(cell ? "cell " : "flowmeter ") + std::string(digits) +
                    " out of range 1.." + std::to_string(last) + " in \"" + std::string(name) +
                    "\"";
            return std::nullopt;
        }
        return RigParameter{known.Kind, static_cast<int>(number)};
    }
    error = UnknownName(name);
    return std::nullopt;
}

std::string CheckRigParameter(const RigParameter& parameter, const RigSetup& setup) {
    const int f = parameter.Index;
    const std::string meter = "flowmeter " + std::to_string(f);
    switch (parameter.Kind) {
    case RigParameterKind::CellTemperature:
    case RigParameterKind::CellPressure:
        return CellRecords::Contains(f) ? std::string()
                                        : "cell " + std::to_string(f) + " out of range 1..8";
    case RigParameterKind::FlowmeterReading:
        if (!FlowmeterRecords::Contains(f))
            return meter + " out of range 1..16";
        if (FlowmeterSource(setup.Flowmeters, f) == 0 || FlowmeterNode(setup.Flowmeters, f) == 0)
            return meter + " has no input or no output: its reading feeds no node";
        return {};
    case RigParameterKind::StageTemperature: {
        if (!FlowmeterRecords::Contains(f))
            return meter + " out of range 1..16";
        const FlowmeterRecord& record = setup.Flowmeters[f];
        if (record.FixGasUsed != 1)
            return meter + " has no conditioning stage in use";
        const std::string kind = UpperCase(record.FixGasType.View());
        const bool water = record.FixGas == "H2O" || record.FixGas == "D2O";
        if (!water || (kind != "PURE" && kind != "KBR"))
            return meter + "'s stage is not a saturator (PURE or KBR on H2O or D2O)";
        return {};
    }
    }
    return {};
}

double RigParameterValue(const RigParameter& parameter, const RigSetup& setup) {
    switch (parameter.Kind) {
    case RigParameterKind::CellTemperature:
        return setup.Cells[parameter.Index].Temperature;
    case RigParameterKind::CellPressure:
        return setup.Cells[parameter.Index].Pressure;
    case RigParameterKind::FlowmeterReading:
        return setup.Flowmeters[parameter.Index].Reading;
    case RigParameterKind::StageTemperature:
        return setup.Flowmeters[parameter.Index].FixGasT;
    }
    return 0;
}

void SetRigParameter(const RigParameter& parameter, CellRecords& cells,
                     FlowmeterRecords& flowmeters, double value) {
    switch (parameter.Kind) {
    case RigParameterKind::CellTemperature:
        if (cells.Contains(parameter.Index))
            cells[parameter.Index].Temperature = value;
        break;
    case RigParameterKind::CellPressure:
        if (cells.Contains(parameter.Index))
            cells[parameter.Index].Pressure = value;
        break;
    case RigParameterKind::FlowmeterReading:
        if (flowmeters.Contains(parameter.Index))
            flowmeters[parameter.Index].Reading = value;
        break;
    case RigParameterKind::StageTemperature:
        if (flowmeters.Contains(parameter.Index))
            flowmeters[parameter.Index].FixGasT = value;
        break;
    }
}

void SetRigParameter(const RigParameter& parameter, RigSetup& setup, double value) {
    SetRigParameter(parameter, setup.Cells, setup.Flowmeters, value);
}
