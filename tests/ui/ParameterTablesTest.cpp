// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter tables as the user works with them: values typed into the tables reach the
// records only on OK, by the reading rule of their row.
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"
#include "tableeditor/Vexa_ntabed.h"
#include "ui/StringGrid.h"
#include "ui/ValueListEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <functional>

namespace {

using ParameterTablesTest = StartedWindowTest;

struct InputCodeCase {
    const char* Typed;
    int Expected; // the flowmeter's Input after OK; it starts at 7
};

TEST_F(ParameterTablesTest, InputCodeTakesLetterAndTwoCharacters) {
    const InputCodeCase cases[] = {
        {"I3", 3},  {"I 3", 3}, {"I03", 3}, {"M 2", 18}, {"M16", 32}, {"I16", 16},
        {"N", 0},   {"0", 0},   {" ", 0},   {"", 0},     {"I1x", 7},  {"M 2 and more", 18},
        {"I17", 7}, {"M0", 7},  {"X5", 7},  {"i3", 7},   {"I 0", 7},  {"m3", 7},
        {"I", 7},   {"I-1", 7}, {"M17", 7},
    };
    ShowPage(FlowmeterPage);
    for (const InputCodeCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        Flowmeters[1].Input = 7;
        Form->Flowmeters2Click();
        TypeValue(*Form->ValueListEditor2, 4, QString::fromLatin1(c.Typed));
        ClickOK(FlowmeterPage);
        EXPECT_EQ(Flowmeters[1].Input, c.Expected);
    }
}

TEST_F(ParameterTablesTest, FlowmeterRowsShowTheirFormats) {
    FlowmeterRecord& f = Flowmeters[2];
    f.Make.Set("Brooks");
    f.Input = 20;
    f.Output = 5;
    f.FixGasT = 21.26;
    f.FixGasUsed = 1;
    f.FixGasBefore = 0;
    ShowPage(FlowmeterPage);
    StepUp(*Form->SpinEdit1);
    const TValueListEditor& t = *Form->ValueListEditor2;
    EXPECT_EQ(t.KeyTitle(), "Flowmeter");
    EXPECT_EQ(t.ValueTitle(), "2 Brooks");
    const char* keys[] = {"Make",       "Size",    "Float", "Input",      "Output",      "FixGas",
                          "FixGasType", "FixGasT", "****",  "FixGasUsed", "FixGasBefore"};
    const char* values[] = {"Brooks", "None",   "None", "M 4", "5", "H2O",
                            "Pure",   "  21.3", "****", "Y",   "N"};
    for (int row = 1; row <= 11; ++row) {
        EXPECT_EQ(t.Key(row), keys[row - 1]) << row;
        EXPECT_EQ(t.Value(row), values[row - 1]) << row;
    }
    for (int row = 12; row <= 32; ++row)
        EXPECT_TRUE(t.Key(row).isEmpty() && t.Value(row).isEmpty()) << row;
    f.Input = 0;
    Form->Flowmeters2Click();
    EXPECT_EQ(t.Value(4), "I 0");
}

TEST_F(ParameterTablesTest, OutputAndYesNoRules) {
    // Output: its first two characters as a whole number 0..16. Yes/no: exactly "Y".
    struct Case {
        const char* Output;
        int ExpectedOutput; // starts at 3
        const char* Used;
        bool ExpectedUsed;
    };
    const Case cases[] = {
        {"16", 16, "Y", true}, {"17", 3, "y", false},  {"160", 16, "Yes", false},
        {"0", 0, "N", false},  {" 5", 5, " Y", false}, {"-1", 3, "", false},
        {"$A", 10, "Y", true}, {"5x", 3, "YY", false}, {"", 3, "Y ", false},
    };
    ShowPage(FlowmeterPage);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Output);
        Flowmeters[1].Output = 3;
        Form->Flowmeters2Click();
        TypeValue(*Form->ValueListEditor2, 5, QString::fromLatin1(c.Output));
        TypeValue(*Form->ValueListEditor2, 10, QString::fromLatin1(c.Used));
        ClickOK(FlowmeterPage);
        EXPECT_EQ(Flowmeters[1].Output, c.ExpectedOutput);
        EXPECT_EQ(Flowmeters[1].FixGasUsed != 0, c.ExpectedUsed);
    }
}

TEST_F(ParameterTablesTest, RejectedOutputStaysShownUntilThePageIsShownAgain) {
    ShowPage(FlowmeterPage);
    Flowmeters[1].Output = 4;
    Form->Flowmeters2Click();
    TypeValue(*Form->ValueListEditor2, 5, "20");
    TypeValue(*Form->ValueListEditor2, 1, "MakeLongerThanEight");
    ClickOK(FlowmeterPage);
    EXPECT_EQ(Flowmeters[1].Output, 4);
    EXPECT_EQ(Form->ValueListEditor2->Value(5), "20");
    EXPECT_EQ(Flowmeters[1].Make.Str(), "MakeLong");
    ShowPage(ReadingsPage);
    ShowPage(FlowmeterPage);
    EXPECT_EQ(Form->ValueListEditor2->Value(5), "4");
}

TEST_F(ParameterTablesTest, ReadingsFollowTheRealRule) {
    struct Case {
        const char* Typed;
        double Expected; // the reading starts at 50
    };
    const Case cases[] = {
        {"12.5", 12.5}, {"  12.5", 12.5}, {"12.5 ", 50}, {"12,5", 50},  {"", 50},
        {"-3", -3},     {"+7", 7},        {"1e2", 100},  {"1E+2", 100}, {"2.5e-1", 0.25},
        {".5", 0.5},    {"5.", 5},        {"1e", 50},    {"e2", 50},    {"0x10", 50},
        {"1e999", 50},  {"abc", 50},      {"1.2.3", 50}, {"- 3", 50},
    };
    ShowPage(ReadingsPage);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        Flowmeters[3].Reading = 50;
        Form->FlowmeterReadings1Click();
        TypeValue(*Form->ValueListEditor3, 3, QString::fromLatin1(c.Typed));
        ClickOK(ReadingsPage);
        EXPECT_EQ(Flowmeters[3].Reading, c.Expected);
    }
}

TEST_F(ParameterTablesTest, ReadingsPageShowsAllSixteenAndRoundsOnOK) {
    for (int i = 1; i <= 16; ++i)
        Flowmeters[i].Reading = i + 0.34;
    ShowPage(ReadingsPage);
    const TValueListEditor& t = *Form->ValueListEditor3;
    EXPECT_EQ(t.KeyTitle(), "Flowmeter");
    EXPECT_EQ(t.ValueTitle(), "Readings");
    EXPECT_EQ(t.Key(1), "F 1");
    EXPECT_EQ(t.Key(16), "F16");
    EXPECT_EQ(t.Value(12), "  12.3");
    EXPECT_TRUE(t.Key(17).isEmpty());
    ClickOK(ReadingsPage);
    for (int i = 1; i <= 16; ++i)
        EXPECT_DOUBLE_EQ(Flowmeters[i].Reading, std::round((i + 0.34) * 10) / 10) << i;
    EXPECT_EQ(Flowmeters[12].Reading, 12.3);
}

TEST_F(ParameterTablesTest, CellTableShowsAndStoresAtShownPrecision) {
    CellRecord& c = Cells[1];
    c.Name.Set("  Furnace A ");
    c.Temperature = 812.345;
    c.Pressure = 1.23456;
    c.Mix = 3;
    c.LeakO2 = 1e-5;
    c.LeakN2 = 0;
    c.LeakH2 = 2.5e-12;
    c.LeakH2O = -9.99951e-3;
    ShowPage(CellPage);
    const TValueListEditor& t = *Form->ValueListEditor4;
    EXPECT_EQ(t.KeyTitle(), "Cell");
    EXPECT_EQ(t.ValueTitle(), "1");
    const char* keys[] = {"Name",          "Temp.,C",       "Pressure",      "Mix",           "",
                          "Leakage of O2", "Leakage of N2", "Leakage of H2", "Leakage of H2O"};
    const char* values[] = {"Furnace A",   "812.3",       "1.2346",      "3",           "",
                            "1.000E-0005", "0.000E+0000", "2.500E-0012", "-1.000E-0002"};
    for (int row = 1; row <= 9; ++row) {
        EXPECT_EQ(t.Key(row), keys[row - 1]) << row;
        EXPECT_EQ(t.Value(row), values[row - 1]) << row;
    }
    ClickOK(CellPage);
    EXPECT_EQ(c.Name.Str(), "Furnace A");
    EXPECT_EQ(c.Temperature, 812.3);
    EXPECT_EQ(c.Pressure, 1.2346);
    EXPECT_EQ(c.LeakO2, 1e-5);
    EXPECT_EQ(c.LeakH2, 2.5e-12);
    EXPECT_EQ(c.LeakH2O, -1e-2);
}

TEST_F(ParameterTablesTest, CellNamesKeepTheirLatinOneLettersTypedOrLoaded) {
    ShowPage(CellPage);
    TypeValue(*Form->ValueListEditor4, 1, QStringLiteral("Zelle \u00E9"));
    ClickOK(CellPage);
    EXPECT_EQ(Cells[1].Name.Str(), "Zelle \xE9");
    EXPECT_EQ(Form->ValueListEditor4->Value(1), QStringLiteral("Zelle \u00E9"));
    ClickOK(CellPage); // without an edit: stored back as shown
    EXPECT_EQ(Cells[1].Name.Str(), "Zelle \xE9");

    Cells[2].Name.Set("Four \xE0 gaz \xFC");
    CellFileName = TempPath("rig.CEL");
    SaveCellFile();
    Cells[2].Name.Set("");
    LoadCellFile();
    StepUp(*Form->SpinEditOutPutCells);
    EXPECT_EQ(Form->ValueListEditor4->Value(1), QStringLiteral("Four \u00E0 gaz \u00FC"));
    EXPECT_EQ(Form->ValueListEditor4->ValueTitle(), "2");
    ClickOK(CellPage);
    EXPECT_EQ(Cells[2].Name.Str(), "Four \xE0 gaz \xFC");
}

TEST_F(ParameterTablesTest, CellMixTakesAnyWholeNumber) {
    struct Case {
        const char* Typed;
        int Expected; // starts at 2
    };
    const Case cases[] = {{"5", 5},     {"0", 0},    {"40", 40},    {"$10", 16},
                          {"0x1F", 31}, {"X1f", 31}, {"-1", 65535}, {"65537", 1},
                          {"5 ", 2},    {"5.0", 2},  {"", 2},       {"0x", 2}};
    ShowPage(CellPage);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        Cells[1].Mix = 2;
        Form->OutputCells3Click();
        TypeValue(*Form->ValueListEditor4, 4, QString::fromLatin1(c.Typed));
        ClickOK(CellPage);
        EXPECT_EQ(Cells[1].Mix, c.Expected);
    }
}

TEST_F(ParameterTablesTest, LeakageTypedInScientificFormReadsBack) {
    ShowPage(CellPage);
    TypeValue(*Form->ValueListEditor4, 8, "3.5e-7");
    ClickOK(CellPage);
    EXPECT_EQ(Cells[1].LeakH2, 3.5e-7);
    EXPECT_EQ(Form->ValueListEditor4->Value(8), "3.500E-0007");
}

TEST_F(ParameterTablesTest, CellSelectorWrapsFromEightToOne) {
    Cells[1].Name.Set("first");
    Cells[8].Name.Set("eighth");
    ShowPage(CellPage);
    StepUp(*Form->SpinEditOutPutCells, 7);
    EXPECT_EQ(CurrentCell, 8);
    EXPECT_EQ(Form->ValueListEditor4->Value(1), "eighth");
    StepUp(*Form->SpinEditOutPutCells);
    EXPECT_EQ(CurrentCell, 1);
    EXPECT_EQ(Form->SpinEditOutPutCells->value(), 1);
    EXPECT_EQ(Form->ValueListEditor4->Value(1), "first");
    EXPECT_EQ(Form->ValueListEditor4->ValueTitle(), "1");
    // Only the arrows change a selector: typed digits do not reach it.
    QTest::keyClicks(Form->SpinEditOutPutCells, "5");
    EXPECT_EQ(Form->SpinEditOutPutCells->value(), 1);
    EXPECT_EQ(CurrentCell, 1);
}

TEST_F(ParameterTablesTest, UnconfirmedEditsAreLostWhenTheSelectorMoves) {
    Cells[1].Temperature = 700;
    ShowPage(CellPage);
    TypeValue(*Form->ValueListEditor4, 2, "900");
    StepUp(*Form->SpinEditOutPutCells);
    StepDown(*Form->SpinEditOutPutCells);
    EXPECT_EQ(Form->ValueListEditor4->Value(2), "700.0");
    ClickOK(CellPage);
    EXPECT_EQ(Cells[1].Temperature, 700);
}

TEST_F(ParameterTablesTest, InputMixtureComponentsAndName) {
    SetInputMix(2, {{"H2", 0.04}, {"Ar", 0.96}, {"O2", 0}});
    ShowPage(InputPage);
    StepUp(*Form->SpinEditINP);
    TValueListEditor& t = *Form->ValueListEditor1;
    EXPECT_EQ(t.KeyTitle(), "Input Mix");
    EXPECT_EQ(t.Key(1), "H2");
    EXPECT_EQ(t.Value(1), "0.04000000");
    EXPECT_EQ(t.Value(2), "0.96000000");
    EXPECT_EQ(t.Key(3), "O2");
    EXPECT_TRUE(t.Value(3).isEmpty()) << "a fraction of 0 shows as an empty value";

    TypeValue(t, 1, "");     // an empty fraction keeps the old one
    TypeValue(t, 2, "-0.5"); // a negative fraction is rejected
    TypeValue(t, 3, "0");    // typing 0 sets 0
    TypeKey(t, 4, " He");    // a new component, stored as typed and trimmed by the check
    TypeValue(t, 4, "0.25");
    TypeKey(t, 5, "CO"); // a component whose fraction does not parse keeps 0
    TypeValue(t, 5, "abc");
    Form->Edit2->clear();
    QTest::keyClicks(Form->Edit2, "Ar/H2 premix 4%");
    ClickOK(InputPage);

    const MixtureRecord& mix = InputMixtures[2];
    EXPECT_EQ(mix.Gas[1].Fraction, 0.04);
    EXPECT_EQ(mix.Gas[2].Fraction, 0.96);
    EXPECT_EQ(mix.Gas[3].Fraction, 0);
    EXPECT_EQ(mix.Gas[4].Gas.Str(), "He");
    EXPECT_EQ(mix.Gas[4].Fraction, 0.25);
    EXPECT_EQ(mix.Gas[5].Gas.Str(), "CO");
    EXPECT_EQ(mix.Gas[5].Fraction, 0);
    EXPECT_EQ(mix.Name.Str(), "Ar/H2 premix");
    EXPECT_EQ(mix.Ready, 1);
    EXPECT_EQ(t.ValueTitle(), "2 Ar/H2 premix");
    EXPECT_EQ(t.Key(4), "He");

    // Clearing a key removes the component on OK.
    TypeKey(t, 1, "");
    ClickOK(InputPage);
    EXPECT_TRUE(mix.Gas[1].Gas.Empty());
    EXPECT_EQ(mix.Gas[1].Fraction, 0);
}

TEST_F(ParameterTablesTest, UnknownComponentIsReportedOnOK) {
    ShowPage(InputPage);
    TypeKey(*Form->ValueListEditor1, 1, "o2");
    TypeValue(*Form->ValueListEditor1, 1, "1");
    ClickOK(InputPage);
    EXPECT_EQ(Form->Message1->text(), "Input mix 1 not properly defined");
    EXPECT_EQ(Form->Message1->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(InputMixtures[1].Ready, 0);
}

TEST_F(ParameterTablesTest, OKTakesTheTextOfAnEditorStillOpen) {
    // Type, then click OK without Enter: the text typed is what OK stores.
    SetInputMix(1, {{"Ar", 1}});
    Form->InputMixtures3Click();
    struct Case {
        const char* Title;
        int Page;
        std::function<QAbstractItemView&()> View;
        int Row, Column; // of the view's model
        const char* Typed;
        std::function<bool()> Stored;
    };
    const Case cases[] = {
        {"a fraction", InputPage,
         [this]() -> QAbstractItemView& { return *Form->ValueListEditor1; }, 0, 1, "0.25",
         [] { return InputMixtures[1].Gas[1].Fraction == 0.25; }},
        {"a component", InputPage,
         [this]() -> QAbstractItemView& { return *Form->ValueListEditor1; }, 1, 0, "He",
         [] { return InputMixtures[1].Gas[2].Gas.Str() == "He"; }},
        {"a stage temperature", FlowmeterPage,
         [this]() -> QAbstractItemView& { return *Form->ValueListEditor2; }, 7, 1, "33.5",
         [] { return Flowmeters[1].FixGasT == 33.5; }},
        {"a cell temperature", CellPage,
         [this]() -> QAbstractItemView& { return *Form->ValueListEditor4; }, 1, 1, "905",
         [] { return Cells[1].Temperature == 905; }},
        {"a reading", ReadingsPage,
         [this]() -> QAbstractItemView& { return *Form->ValueListEditor3; }, 2, 1, "44.5",
         [] { return Flowmeters[3].Reading == 44.5; }},
        {"a curve's make", CalibrationPage,
         [this]() -> QAbstractItemView& { return *Form->CalGrid1; }, 0, 1, "Typed",
         [] { return Calibrations[1].Make.Str() == "Typed"; }},
        {"a curve's flow", CalibrationPage,
         [this]() -> QAbstractItemView& { return *Form->CalCurveEdit; }, 1, 1, "42.5",
         [] { return Calibrations[1].Point[2].Flow == 42.5; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        ShowPage(c.Page);
        QAbstractItemView& view = c.View();
        TypeLeavingTheEditorOpen(view, c.Row, c.Column, QString::fromLatin1(c.Typed));
        bool open = false;
        for (const QLineEdit* editor : view.viewport()->findChildren<QLineEdit*>())
            open = open || editor->isVisible();
        ASSERT_TRUE(open) << "the editor is still open";
        ASSERT_FALSE(c.Stored());
        ClickOK(c.Page);
        EXPECT_TRUE(c.Stored());
    }
}

TEST_F(ParameterTablesTest, OnlyTheInputTableLetsTheKeysBeEdited) {
    ShowPage(InputPage);
    EXPECT_TRUE(Form->ValueListEditor1->item(0, 0)->flags() & Qt::ItemIsEditable);
    ShowPage(FlowmeterPage);
    EXPECT_FALSE(Form->ValueListEditor2->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(Form->ValueListEditor2->item(0, 1)->flags() & Qt::ItemIsEditable);
    ShowPage(CellPage);
    EXPECT_FALSE(Form->ValueListEditor4->item(0, 0)->flags() & Qt::ItemIsEditable);
    ShowPage(ReadingsPage);
    EXPECT_FALSE(Form->ValueListEditor3->item(0, 0)->flags() & Qt::ItemIsEditable);
    for (TValueListEditor* t : {Form->ValueListEditor1, Form->ValueListEditor2,
                                Form->ValueListEditor3, Form->ValueListEditor4})
        EXPECT_EQ(t->RowCount(), 32);
}

} // namespace
