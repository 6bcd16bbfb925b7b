// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using EditingTest = GridTest;

namespace {

QLineEdit* OpenEditor(TNTabEd& grid) {
    return grid.EditorMode() ? qobject_cast<QLineEdit*>(QApplication::focusWidget()) : nullptr;
}

} // namespace

TEST_F(EditingTest, TypedTextGoesToTheCellAsItIsTyped) {
    const struct {
        const char* Typed;
        double Value;
        std::uint8_t State;
        const char* Shown;
    } cases[] = {
        {"1,5", 1.5, CellState::Plain, "1.500"},         // comma as decimal point
        {"-2.25e1", -22.5, CellState::Plain, "-22.500"}, // sign and exponent
        {"abc", 7.0, CellState::Invalid, "-nan-"},
        // Each key is applied: "1.2" was a number before the second point spoiled it.
        {"1.2.3", 1.2, CellState::Invalid, "-nan-"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Typed);
        Grid->SetElem(2, 2, 7.0);
        Grid->SetCellState(2, 2, CellState::MarkA | CellState::Empty);
        ClickCell(2, 2);
        Type(k.Typed); // the first key opens the editor and replaces its text
        ASSERT_NE(OpenEditor(*Grid), nullptr);
        EXPECT_EQ(OpenEditor(*Grid)->text(), k.Typed);
        EXPECT_EQ(Grid->GetElem(2, 2), k.Value) << "applied before Enter";
        Key(Qt::Key_Return);
        EXPECT_FALSE(Grid->EditorMode());
        EXPECT_EQ(Grid->GetElem(2, 2), k.Value);
        EXPECT_EQ(Grid->GetCellState(2, 2), k.State);
        EXPECT_EQ(Shown(2, 2), k.Shown);
    }
}

TEST_F(EditingTest, DeletingAllTextMarksTheCellInvalidAndKeepsTheValue) {
    Grid->SetElem(1, 3, 4.5);
    ClickCell(1, 3);
    ClickCell(1, 3); // a second press on the same cell opens the editor
    QLineEdit* editor = OpenEditor(*Grid);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "4.500");
    editor->selectAll();
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Grid->GetCellState(1, 3), CellState::Invalid);
    EXPECT_EQ(Grid->GetElem(1, 3), 4.5);
    Key(Qt::Key_Return);
    EXPECT_EQ(Shown(1, 3), "-nan-");
    // Typing a number again makes it valid.
    ClickCell(1, 3);
    Type("3");
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->GetCellState(1, 3), CellState::Plain);
    EXPECT_EQ(Shown(1, 3), "3.000");
}

TEST_F(EditingTest, TheEditorShowsTheStoredNumberOfEmptyAndInvalidCells) {
    Grid->SetElem(3, 1, 0.125);
    Grid->SetDecPlaces(3, 2);
    Grid->SetNumWidth(6);
    Grid->SetCellState(3, 1, CellState::Empty);
    ClickCell(3, 1);
    ClickCell(3, 1);
    ASSERT_NE(OpenEditor(*Grid), nullptr);
    EXPECT_EQ(OpenEditor(*Grid)->text(), "  0.12"); // rounded to even by the formatting
    // Opening and closing without typing leaves the cell as it was.
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->GetCellState(3, 1), CellState::Empty);
}

TEST_F(EditingTest, HostCanAdjustTheEditorTextAndHearsEveryEdit) {
    Grid->OnGetEditText = [](int, int, QString& text) { text = text.trimmed() + "0"; };
    QSignalSpy edits(Grid.get(), &TNTabEd::OnSetEditText);
    Grid->SetElem(1, 1, 2.0);
    ClickCell(1, 1);
    Key(Qt::Key_F2);
    ASSERT_NE(OpenEditor(*Grid), nullptr);
    EXPECT_EQ(OpenEditor(*Grid)->text(), "2.0000");
    Key(Qt::Key_End);
    Type("9");
    ASSERT_EQ(edits.count(), 1);
    EXPECT_EQ(edits.at(0).at(0).toInt(), 1);
    EXPECT_EQ(edits.at(0).at(1).toInt(), 1);
    EXPECT_EQ(edits.at(0).at(2).toString(), "2.00009");
    Grid->OnGetEditText = nullptr;
}

TEST_F(EditingTest, TheFirstPressOnACellOnlySelectsIt) {
    ClickCell(3, 2);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 2, 3, 2}));
    ClickCell(1, 4);
    EXPECT_FALSE(Grid->EditorMode());
    ClickCell(1, 4);
    EXPECT_TRUE(Grid->EditorMode());
    Key(Qt::Key_Return);
    // The current cell moved by key was not pressed last: pressing it only selects it.
    Key(Qt::Key_Up);
    ClickCell(1, 3);
    EXPECT_FALSE(Grid->EditorMode());
}

TEST_F(EditingTest, EscapeClosesTheEditorAndStopsEditingUntilTheNextMouseRelease) {
    ClickCell(2, 2);
    Type("5");
    ASSERT_NE(OpenEditor(*Grid), nullptr);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->GetElem(2, 2), 5.0) << "the typed text was applied already";
    EXPECT_FALSE(Grid->CellEditing());
    Type("7"); // no editor opens
    Key(Qt::Key_Return);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->GetElem(2, 2), 5.0);
    ClickCell(2, 2); // the release switches editing on again
    EXPECT_TRUE(Grid->CellEditing());
    Type("8");
    EXPECT_EQ(Grid->GetElem(2, 2), 8.0);
}

TEST_F(EditingTest, EnterOpensAndClosesTheEditorAndAutoAdvanceMovesOn) {
    const struct {
        bool Advance;
        TOrientation Direction;
        int NextCol, NextRow;
    } cases[] = {{false, orVert, 2, 2}, {true, orVert, 2, 3}, {true, orHoriz, 3, 2}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.Advance ? "advance " : "stay ") +
                     (k.Direction == orVert ? "down" : "right"));
        Grid->SetAutoAdvance(k.Advance);
        Grid->SetAutoAdvanceDir(k.Direction);
        ClickCell(1, 1);
        ClickCell(2, 2);
        Key(Qt::Key_Return);
        ASSERT_NE(OpenEditor(*Grid), nullptr) << "Enter opens the editor";
        OpenEditor(*Grid)->selectAll();
        Type("6");
        Key(Qt::Key_Return);
        EXPECT_FALSE(Grid->EditorMode());
        EXPECT_EQ(Grid->GetElem(2, 2), 6.0);
        EXPECT_EQ(Grid->Selection(), (TGridRect{k.NextCol, k.NextRow, k.NextCol, k.NextRow}));
    }
}

TEST_F(EditingTest, AutoAdvanceStopsAtTheLastRowAndColumn) {
    Grid->SetAutoAdvance(true);
    ClickCell(3, 4);
    Type("1");
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 4, 3, 4}));
    Grid->SetAutoAdvanceDir(orHoriz);
    Type("2");
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 4, 3, 4}));
    EXPECT_EQ(Grid->GetElem(3, 4), 2.0);
}

TEST_F(EditingTest, ReadOnlyBlocksEveryWayOfEditing) {
    Grid->SetElem(1, 1, 1.0);
    ClickCell(1, 1);
    Key(Qt::Key_F2);
    ASSERT_NE(OpenEditor(*Grid), nullptr);
    QSignalSpy setup(Grid.get(), &TNTabEd::OnChangeSetup);
    Grid->SetDataReadOnly(true); // closes the open editor
    EXPECT_EQ(setup.count(), 1);
    EXPECT_FALSE(Grid->EditorMode());
    Type("9");
    Key(Qt::Key_Return);
    Key(Qt::Key_F2);
    ClickCell(1, 1);
    DoubleClickCell(1, 1);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->GetElem(1, 1), 1.0);
    Grid->SetDataReadOnly(false);
    EXPECT_TRUE(Grid->CellEditing());
    Type("9");
    EXPECT_EQ(Grid->GetElem(1, 1), 9.0);
}

TEST_F(EditingTest, AGridThatStartsWithoutEditingGetsItAtTheFirstMouseRelease) {
    Grid->SetCellEditing(false);
    Type("4");
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->GetElem(1, 1), 0.0);
    ClickCell(1, 2);
    Type("4");
    EXPECT_EQ(Grid->GetElem(1, 2), 4.0);
}

TEST_F(EditingTest, ClicksAndKeyboardMovesAreReportedAsClicks) {
    QSignalSpy clicks(Grid.get(), &TNTabEd::OnClick);
    ClickCell(2, 3);
    EXPECT_EQ(clicks.count(), 1);
    Key(Qt::Key_Down);
    EXPECT_EQ(clicks.count(), 2);
    Key(Qt::Key_Down); // already on the last row: the current cell stays
    EXPECT_EQ(clicks.count(), 2);
    Key(Qt::Key_Left);
    EXPECT_EQ(clicks.count(), 3);
}

TEST_F(EditingTest, SelectionChangesAreReportedOnceEach) {
    QSignalSpy selections(Grid.get(), &TNTabEd::OnSelectionChanged);
    SelectCells(1, 1, 2, 3);
    const int afterDrag = selections.count();
    EXPECT_GE(afterDrag, 1);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 2, 3}));
    Grid->SetSelection(TGridRect{1, 1, 2, 3}); // the same rectangle: nothing new
    EXPECT_EQ(selections.count(), afterDrag);
    Key(Qt::Key_Right);
    EXPECT_EQ(selections.count(), afterDrag + 1);
}
