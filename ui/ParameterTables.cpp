// SPDX-License-Identifier: GPL-3.0-or-later
// The four key/value tables: each is filled from the records when its page is shown or its
// index selector changes, and read back only when the user clicks OK.
#include "core/LatinText.h"
#include "core/MixerNetwork.h"
#include "core/NumberText.h"
#include "core/SetupTables.h"
#include "ui/MainWindow.h"
#include "ui/ParameterText.h"
#include "ui/StringGrid.h"
#include "ui/ValueListEditor.h"

#include <QLineEdit>

namespace {

QString Fixed(double value, int width, int decimals) {
    return QString::fromStdString(FormatFixed(value, width, decimals));
}

QString FixedTrimmed(double value, int width, int decimals) {
    return QString::fromStdString(Trimmed(FormatFixed(value, width, decimals)));
}

void ReadRealInto(const QString& text, double& field) {
    if (const std::optional<double> value = ReadReal(Typed(text)))
        field = *value;
}

// The last step of every show routine: the rows below the shown ones are blanked.
void BlankRowsFrom(TValueListEditor& table, int first) {
    for (int row = first; row <= table.RowCount(); ++row) {
        table.SetRow(row, QString(), QString());
        table.SetRowTip(row, QString());
    }
    table.FitKeyColumn();
}

// What each key means and its unit, for the key's tooltip.
const char* const FlowmeterTips[11] = {
    "Make of the flowmeter (8 characters). With the size, the float, the gas and the flowmeter "
    "number it chooses the calibration curve of each gas.",
    "Size of the flowmeter's tube (8 characters), matched against the calibration curves.",
    "Material of the float (8 characters), matched against the calibration curves.",
    "Where the flowmeter draws its gas from: I1 to I16 an input gas or mixture, M1 to M16 a "
    "mixer node; N, 0 or blank for none.",
    "The mixer node (1 to 16) the flowmeter delivers to; 0 for none.",
    "The gas the conditioning stage fixes: H2O or D2O (saturator, KBr solution, drying agent) "
    "or O2 (oxygen getter).",
    "Kind of conditioning stage: PURE a saturator, KBR a saturated KBr solution (84 % of "
    "saturation), DRY a drying agent, GETTER an oxygen getter.",
    "Temperature of the conditioning stage, in degrees Celsius.",
    "The conditioning stage's switches follow.",
    "Y: the flowmeter has a conditioning stage; anything else: none.",
    "Y: the stage acts before the flowmeter, which then measures the conditioned gas; anything "
    "else: after it, and the flow is corrected for the gas it adds or removes.",
};

const char* const CellTips[9] = {
    "Name of the cell (12 characters).",
    "Temperature of the cell, in degrees Celsius.",
    "Total pressure in the cell, in bar.",
    "The mixer node (1 to 16) that feeds the cell; 0 for no feed.",
    "",
    "Oxygen that leaks into the cell, as a mole fraction added to the node's gas before the "
    "cell's gas is normalised to a sum of 1.",
    "Nitrogen that leaks into the cell, as a mole fraction added to the node's gas before the "
    "cell's gas is normalised to a sum of 1.",
    "Hydrogen that leaks into the cell, as a mole fraction added to the node's gas before the "
    "cell's gas is normalised to a sum of 1.",
    "Water vapour that leaks into the cell, as a mole fraction added to the node's gas before "
    "the cell's gas is normalised to a sum of 1.",
};

QString ComponentTip(int p) {
    return QStringLiteral("Component %1 of the mixture: the gas, as a species formula (H2, D2, "
                          "C(s), N2, O2, Ar, He, O3, H2O, D2O, CO, CO2, NH3), and its mole "
                          "fraction (0 to 1; the fractions of a mixture add up to 1). Clearing "
                          "the gas removes the component.")
        .arg(p);
}

QString ReadingTip(int i) {
    return QStringLiteral("Scale reading of flowmeter %1. Its calibration curve for each gas "
                          "turns it into a flow, in the unit of the curve's flows.")
        .arg(i);
}

} // namespace

void TForm1::InputMixtures3Click() {
    CurrentTable = InputMixtureTable;
    const MixtureRecord& mix = InputMixtures[CurrentInputMix];
    ValueListEditor1->SetKeyEditing(true);
    ValueListEditor1->SetTitles(QStringLiteral("Input Mix"), QString::number(CurrentInputMix) +
                                                                 QLatin1Char(' ') +
                                                                 Latin1(mix.Name));
    for (int p = 1; p <= 12; ++p) {
        const GasFraction& gas = mix.Gas[p];
        ValueListEditor1->SetRow(p, Latin1(gas.Gas),
                                 gas.Fraction > 0 ? Fixed(gas.Fraction, 10, 8) : QString());
        ValueListEditor1->SetRowTip(p, ComponentTip(p));
    }
    BlankRowsFrom(*ValueListEditor1, 13);
    Edit2->setText(Latin1(mix.Name));
}

void TForm1::Flowmeters2Click() {
    CurrentTable = FlowmeterTable;
    const FlowmeterRecord& f = Flowmeters[CurrentFlowmeter];
    ValueListEditor2->SetKeyEditing(false);
    ValueListEditor2->SetTitles(QStringLiteral("Flowmeter"), QString::number(CurrentFlowmeter) +
                                                                 QLatin1Char(' ') + Latin1(f.Make));
    TValueListEditor& t = *ValueListEditor2;
    t.SetRow(1, QStringLiteral("Make"), Latin1(f.Make));
    t.SetRow(2, QStringLiteral("Size"), Latin1(f.Size));
    t.SetRow(3, QStringLiteral("Float"), Latin1(f.Float));
    t.SetRow(4, QStringLiteral("Input"), QString::fromStdString(FormatInputCode(f.Input)));
    t.SetRow(5, QStringLiteral("Output"), QString::number(f.Output));
    t.SetRow(6, QStringLiteral("FixGas"), Latin1(f.FixGas));
    t.SetRow(7, QStringLiteral("FixGasType"), Latin1(f.FixGasType));
    t.SetRow(8, QStringLiteral("FixGasT"), Fixed(f.FixGasT, 6, 1));
    t.SetRow(9, QStringLiteral("****"), QStringLiteral("****"));
    t.SetRow(10, QStringLiteral("FixGasUsed"),
             f.FixGasUsed ? QStringLiteral("Y") : QStringLiteral("N"));
    t.SetRow(11, QStringLiteral("FixGasBefore"),
             f.FixGasBefore ? QStringLiteral("Y") : QStringLiteral("N"));
    for (int row = 1; row <= 11; ++row)
        t.SetRowTip(row, QString::fromLatin1(FlowmeterTips[row - 1]));
    BlankRowsFrom(t, 12);
}

void TForm1::OutputCells3Click() {
    CurrentTable = CellTable;
    const CellRecord& c = Cells[CurrentCell];
    TValueListEditor& t = *ValueListEditor4;
    t.SetKeyEditing(false);
    t.SetTitles(QStringLiteral("Cell"), QString::number(CurrentCell));
    t.SetRow(1, QStringLiteral("Name"), Latin1(Trimmed(c.Name.View())));
    t.SetRow(2, QStringLiteral("Temp.,C"), FixedTrimmed(c.Temperature, 6, 1));
    t.SetRow(3, QStringLiteral("Pressure"), FixedTrimmed(c.Pressure, 10, 4));
    t.SetRow(4, QStringLiteral("Mix"), QString::number(c.Mix));
    t.SetRow(5, QString(), QString());
    t.SetRow(6, QStringLiteral("Leakage of O2"),
             QString::fromStdString(Trimmed(FormatE12(c.LeakO2))));
    t.SetRow(7, QStringLiteral("Leakage of N2"),
             QString::fromStdString(Trimmed(FormatE12(c.LeakN2))));
    t.SetRow(8, QStringLiteral("Leakage of H2"),
             QString::fromStdString(Trimmed(FormatE12(c.LeakH2))));
    t.SetRow(9, QStringLiteral("Leakage of H2O"),
             QString::fromStdString(Trimmed(FormatE12(c.LeakH2O))));
    for (int row = 1; row <= 9; ++row)
        t.SetRowTip(row, QString::fromLatin1(CellTips[row - 1]));
    BlankRowsFrom(t, 10);
}

void TForm1::FlowmeterReadings1Click() {
    CurrentTable = ReadingsTable;
    TValueListEditor& t = *ValueListEditor3;
    t.SetKeyEditing(false);
    t.SetTitles(QStringLiteral("Flowmeter"), QStringLiteral("Readings"));
    for (int i = 1; i <= FlowmeterCount; ++i) {
        t.SetRow(i, QStringLiteral("F") + QString::fromStdString(FormatI2(i)),
                 Fixed(Flowmeters[i].Reading, 6, 1));
        t.SetRowTip(i, ReadingTip(i));
    }
    BlankRowsFrom(t, FlowmeterCount + 1);
}

void TForm1::ReadInputGasesTable() {
    const int k = CurrentInputMix;
    MixtureRecord& mix = InputMixtures[k];
    for (int p = 1; p <= 12; ++p) {
        GasFraction& gas = mix.Gas[p];
        const std::string key = Typed(ValueListEditor1->Key(p));
        if (IsBlankKey(key)) {
            gas.Gas.Set("");
            gas.Fraction = 0;
            continue;
        }
        StoreText(gas.Gas, key);
        const std::optional<double> fraction = ReadReal(Typed(ValueListEditor1->Value(p)));
        if (fraction && *fraction >= 0)
            gas.Fraction = *fraction;
    }
    StoreText(mix.Name, Typed(Edit2->text()));
    CheckInputMixture(k);
    InputMixtures3Click();
}

void TForm1::ReadFlowmetersTable() {
    FlowmeterRecord& f = Flowmeters[CurrentFlowmeter];
    const TValueListEditor& t = *ValueListEditor2;
    StoreText(f.Make, Typed(t.Value(1)));
    StoreText(f.Size, Typed(t.Value(2)));
    StoreText(f.Float, Typed(t.Value(3)));
    if (const std::optional<std::uint16_t> input = ReadInputCode(Typed(t.Value(4))))
        f.Input = *input;
    if (const std::optional<std::uint16_t> output = ReadOutputCode(Typed(t.Value(5))))
        f.Output = *output;
    StoreText(f.FixGas, Typed(t.Value(6)));
    StoreText(f.FixGasType, Typed(t.Value(7)));
    ReadRealInto(t.Value(8), f.FixGasT);
    f.FixGasUsed = ReadYesNo(Typed(t.Value(10))) ? 1 : 0;
    f.FixGasBefore = ReadYesNo(Typed(t.Value(11))) ? 1 : 0;
}

void TForm1::ReadCellsTable() {
    CellRecord& c = Cells[CurrentCell];
    const TValueListEditor& t = *ValueListEditor4;
    StoreText(c.Name, Typed(t.Value(1)));
    ReadRealInto(t.Value(2), c.Temperature);
    ReadRealInto(t.Value(3), c.Pressure);
    if (const std::optional<std::uint16_t> mix = ReadWhole(Typed(t.Value(4))))
        c.Mix = *mix;
    ReadRealInto(t.Value(6), c.LeakO2);
    ReadRealInto(t.Value(7), c.LeakN2);
    ReadRealInto(t.Value(8), c.LeakH2);
    ReadRealInto(t.Value(9), c.LeakH2O);
    OutputCells3Click();
}

void TForm1::ReadFlowmeterReadingsTable() {
    for (int i = 1; i <= FlowmeterCount; ++i)
        ReadRealInto(ValueListEditor3->Value(i), Flowmeters[i].Reading);
    FlowmeterReadings1Click();
}

// An OK that changes a stored value, rounding to the shown precision included, is an edit.
void TForm1::Button4OutputCellsOKClick() {
    TrackEdit([this] {
        switch (CurrentTable) {
        case CellTable:
            ReadCellsTable();
            break;
        case FlowmeterTable:
            ReadFlowmetersTable();
            break;
        case InputMixtureTable:
            ReadInputGasesTable();
            break;
        case ReadingsTable:
            ReadFlowmeterReadingsTable();
            break;
        case CalibrationTable:
            ReadCalibrationsTable();
            ReadCalCurve();
            break;
        default:
            break;
        }
    });
    DrawMixer();
}

void TForm1::SpinEditINPChange(QSpinBox* selector) {
    int count = 0;
    switch (CurrentTable) {
    case CellTable:
        count = CellCount;
        break;
    case FlowmeterTable:
        count = FlowmeterCount;
        break;
    case InputMixtureTable:
        count = InputMixtureCount;
        break;
    case CalibrationTable:
        count = CalibrationCount;
        break;
    default:
        return;
    }
    // Setting the value inside the handler runs it once more for the wrapped value.
    if (selector->value() > count)
        selector->setValue(1);
    if (selector->value() < 1)
        selector->setValue(count);
    const int index = selector->value();
    switch (CurrentTable) {
    case CellTable:
        CurrentCell = index;
        OutputCells3Click();
        break;
    case FlowmeterTable:
        CurrentFlowmeter = index;
        Flowmeters2Click();
        break;
    case InputMixtureTable:
        CurrentInputMix = index;
        InputMixtures3Click();
        break;
    case CalibrationTable:
        CurrentCalCurve = index;
        Calibrations4Click();
        CalGrid1->SelectRow(index);
        break;
    default:
        break;
    }
}
