// SPDX-License-Identifier: GPL-3.0-or-later
// The records of the setup tables. Their byte images are at the same time the records of the
// four setup files, so every offset and size below is fixed and checked at compile time.
// Padding is spelled out as members: a record is copied to and from a file as one block, and
// explicit padding keeps those bytes defined (zero in a fresh record).
#pragma once

#include "core/IndexedTable.h"
#include "core/Text.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

static_assert(std::endian::native == std::endian::little,
              "the setup files are little-endian images of the records");
static_assert(sizeof(double) == 8 && sizeof(std::uint16_t) == 2);

using Flag = std::uint8_t; // 0 = false, 1 = true; a file may hold other values

struct GasFraction {
    Text<12> Gas; // a species formula; empty = unused slot
    std::uint8_t Pad1[3];
    double Fraction;
};

struct MixtureRecord {
    Text<12> Name;
    std::uint8_t Pad1[3];
    double Reserved1;
    double Flow; // total flow into a mixer node
    double Reserved2;
    IndexedTable<GasFraction, 1, 12> Gas;
    Flag Ready;
    std::uint8_t Pad2[7];
};

struct FlowmeterRecord {
    Text<8> Make;
    Text<8> Size;
    Text<8> Float;
    std::uint8_t Pad1[5];
    double Reserved1;
    double Reading;
    double Flow;
    std::uint16_t Input;  // mixture number 1..32, 0 = not connected
    std::uint16_t Output; // node number 1..16, 0 = not connected
    Text<8> FixGas;
    Text<8> FixGasType;
    std::uint8_t Pad2[2];
    double FixGasT;
    double Reserved2;
    Flag FixGasUsed;
    Flag FixGasBefore;
    std::uint8_t Pad3[6];
};

struct CalibrationPoint {
    double Reading;
    double Flow;
};

struct CalibrationRecord {
    Text<8> Make;
    Text<8> Size;
    Text<8> Float;
    Text<12> Gas;
    double Temp;
    double Press;
    std::uint16_t Flowmeter; // 1..16, 0 = none
    std::uint16_t Reserved;
    std::uint8_t Pad1[4];
    IndexedTable<CalibrationPoint, 1, 20> Point;
};

// The values of CellRecord::State: where the cell stands in the equilibrium run of the current
// calculation. The byte travels with the cells file, so the numbers stay what they are.
namespace CellRunState {
enum : std::uint8_t {
    NotCalculated = 0, // no feed, left out of the run, or no run yet
    Pending = 1,       // prepared from its feed; its first cell run has not started
    FirstPass = 3,     // its first solver pass is running
    Passed = 4,        // a pass has run without convergence; it is taken up again
    Converged = 5,
};
} // namespace CellRunState

// A cell the run still works on: fed, in range, and not converged.
constexpr bool AwaitsConvergence(std::uint8_t state) {
    return state > CellRunState::NotCalculated && state < CellRunState::Converged;
}

// A state as the reports name it: "not calculated", "pending", "first pass", "not converged",
// "converged"; "unknown" for a byte that names none (only a file can bring one).
constexpr const char* CellRunStateName(int state) {
    switch (state) {
    case CellRunState::NotCalculated:
        return "not calculated";
    case CellRunState::Pending:
        return "pending";
    case CellRunState::FirstPass:
        return "first pass";
    case CellRunState::Passed:
        return "not converged";
    case CellRunState::Converged:
        return "converged";
    default:
        return "unknown";
    }
}

struct CellRecord {
    Text<12> Name;
    std::uint8_t Pad1[3];
    double Pressure;
    double Temperature; // degrees Celsius
    std::uint16_t Mix;  // node number 1..16, 0 = no feed
    std::uint8_t State; // a CellRunState
    std::uint8_t Pad2[5];
    double LeakO2;
    double LeakN2;
    double LeakH2;
    double LeakH2O;
};

#define QV_ASSERT_FIELD(Record, Field, Offset, Width)                                              \
    static_assert(offsetof(Record, Field) == (Offset), #Record "." #Field " offset");              \
    static_assert(sizeof(Record::Field) == (Width), #Record "." #Field " width")

QV_ASSERT_FIELD(GasFraction, Gas, 0, 13);
QV_ASSERT_FIELD(GasFraction, Pad1, 13, 3);
QV_ASSERT_FIELD(GasFraction, Fraction, 16, 8);
static_assert(sizeof(GasFraction) == 24);

QV_ASSERT_FIELD(MixtureRecord, Name, 0, 13);
QV_ASSERT_FIELD(MixtureRecord, Pad1, 13, 3);
QV_ASSERT_FIELD(MixtureRecord, Reserved1, 16, 8);
QV_ASSERT_FIELD(MixtureRecord, Flow, 24, 8);
QV_ASSERT_FIELD(MixtureRecord, Reserved2, 32, 8);
QV_ASSERT_FIELD(MixtureRecord, Gas, 40, 12 * 24);
QV_ASSERT_FIELD(MixtureRecord, Ready, 328, 1);
QV_ASSERT_FIELD(MixtureRecord, Pad2, 329, 7);
static_assert(sizeof(MixtureRecord) == 336);

QV_ASSERT_FIELD(FlowmeterRecord, Make, 0, 9);
QV_ASSERT_FIELD(FlowmeterRecord, Size, 9, 9);
QV_ASSERT_FIELD(FlowmeterRecord, Float, 18, 9);
QV_ASSERT_FIELD(FlowmeterRecord, Pad1, 27, 5);
QV_ASSERT_FIELD(FlowmeterRecord, Reserved1, 32, 8);
QV_ASSERT_FIELD(FlowmeterRecord, Reading, 40, 8);
QV_ASSERT_FIELD(FlowmeterRecord, Flow, 48, 8);
QV_ASSERT_FIELD(FlowmeterRecord, Input, 56, 2);
QV_ASSERT_FIELD(FlowmeterRecord, Output, 58, 2);
QV_ASSERT_FIELD(FlowmeterRecord, FixGas, 60, 9);
QV_ASSERT_FIELD(FlowmeterRecord, FixGasType, 69, 9);
QV_ASSERT_FIELD(FlowmeterRecord, Pad2, 78, 2);
QV_ASSERT_FIELD(FlowmeterRecord, FixGasT, 80, 8);
QV_ASSERT_FIELD(FlowmeterRecord, Reserved2, 88, 8);
QV_ASSERT_FIELD(FlowmeterRecord, FixGasUsed, 96, 1);
QV_ASSERT_FIELD(FlowmeterRecord, FixGasBefore, 97, 1);
QV_ASSERT_FIELD(FlowmeterRecord, Pad3, 98, 6);
static_assert(sizeof(FlowmeterRecord) == 104);

QV_ASSERT_FIELD(CalibrationPoint, Reading, 0, 8);
QV_ASSERT_FIELD(CalibrationPoint, Flow, 8, 8);
static_assert(sizeof(CalibrationPoint) == 16);

QV_ASSERT_FIELD(CalibrationRecord, Make, 0, 9);
QV_ASSERT_FIELD(CalibrationRecord, Size, 9, 9);
QV_ASSERT_FIELD(CalibrationRecord, Float, 18, 9);
QV_ASSERT_FIELD(CalibrationRecord, Gas, 27, 13);
QV_ASSERT_FIELD(CalibrationRecord, Temp, 40, 8);
QV_ASSERT_FIELD(CalibrationRecord, Press, 48, 8);
QV_ASSERT_FIELD(CalibrationRecord, Flowmeter, 56, 2);
QV_ASSERT_FIELD(CalibrationRecord, Reserved, 58, 2);
QV_ASSERT_FIELD(CalibrationRecord, Pad1, 60, 4);
QV_ASSERT_FIELD(CalibrationRecord, Point, 64, 20 * 16);
static_assert(sizeof(CalibrationRecord) == 384);

QV_ASSERT_FIELD(CellRecord, Name, 0, 13);
QV_ASSERT_FIELD(CellRecord, Pad1, 13, 3);
QV_ASSERT_FIELD(CellRecord, Pressure, 16, 8);
QV_ASSERT_FIELD(CellRecord, Temperature, 24, 8);
QV_ASSERT_FIELD(CellRecord, Mix, 32, 2);
QV_ASSERT_FIELD(CellRecord, State, 34, 1);
QV_ASSERT_FIELD(CellRecord, Pad2, 35, 5);
QV_ASSERT_FIELD(CellRecord, LeakO2, 40, 8);
QV_ASSERT_FIELD(CellRecord, LeakN2, 48, 8);
QV_ASSERT_FIELD(CellRecord, LeakH2, 56, 8);
QV_ASSERT_FIELD(CellRecord, LeakH2O, 64, 8);
static_assert(sizeof(CellRecord) == 72);

#undef QV_ASSERT_FIELD

// The records are copied to and from files as raw bytes.
static_assert(std::is_standard_layout_v<MixtureRecord> &&
              std::is_standard_layout_v<FlowmeterRecord> &&
              std::is_standard_layout_v<CalibrationRecord> &&
              std::is_standard_layout_v<CellRecord>);
static_assert(std::is_trivially_copyable_v<MixtureRecord> &&
              std::is_trivially_copyable_v<FlowmeterRecord> &&
              std::is_trivially_copyable_v<CalibrationRecord> &&
              std::is_trivially_copyable_v<CellRecord>);
