// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <set>

using PopupTest = GridTest;

namespace {

QStringList Captions(QMenu* menu) {
    QStringList captions;
    for (QAction* action : menu->actions())
        captions << action->text();
    return captions;
}

QString Clipboard() {
    return QGuiApplication::clipboard()->text();
}

void SetClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

using CellSet = std::set<std::pair<int, int>>;

CellSet CellsWith(const TNTabEd& grid, std::uint8_t bit) {
    CellSet cells;
    for (int c = 1; c <= grid.NrOfColumns(); ++c)
        for (int r = 1; r <= grid.NrOfRows(); ++r)
            if (grid.GetCellState(c, r) & bit)
                cells.insert({c, r});
    return cells;
}

CellSet Block(int left, int top, int right, int bottom) {
    CellSet cells;
    for (int c = left; c <= right; ++c)
        for (int r = top; r <= bottom; ++r)
            cells.insert({c, r});
    return cells;
}

} // namespace

TEST_F(PopupTest, DataMenuItemsAndSubmenus) {
    QSignalSpy beforePopup(Grid.get(), &TNTabEd::OnBeforePopup);
    QMenu* menu = OpenDataMenu(2, 2);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(beforePopup.count(), 1);
    EXPECT_EQ(beforePopup.at(0).at(0).value<QMenu*>(), menu);
    EXPECT_EQ(Captions(menu),
              (QStringList{"Mark as type A", "Mark as type B", "Unmark type A", "Unmark type B",
                           "Unmark All", "Clear", "Copy", "Paste", "Data Read-Only",
                           "Extract from Clipboard", "Select All", "Toggle Empty State"}));
    for (const char* caption :
         {"Mark as type A", "Mark as type B", "Unmark type A", "Unmark type B"}) {
        QMenu* sub = Item(menu, caption)->menu();
        ASSERT_NE(sub, nullptr) << caption;
        EXPECT_EQ(Captions(sub), (QStringList{"Range", "Column", "Row", "All"}));
    }
    EXPECT_TRUE(Item(menu, "Data Read-Only")->isCheckable());
    EXPECT_FALSE(Item(menu, "Data Read-Only")->isChecked());
}

TEST_F(PopupTest, ARightPressLeavesTheSelectionWhereItWas) {
    SelectCells(1, 1, 2, 2);
    QMenu* menu = OpenDataMenu(3, 4);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 2, 2}));
    Choose(menu, {"Mark as type A", "Range"});
    EXPECT_EQ(CellsWith(*Grid, CellState::MarkA), Block(1, 1, 2, 2));
}

TEST_F(PopupTest, PasteIsOfferedAfterACopyInThisGridAndNeverWhileReadOnly) {
    const auto pasteEnabled = [this] {
        QMenu* menu = OpenDataMenu(1, 1);
        const bool enabled = menu && Item(menu, "Paste")->isEnabled();
        CloseMenus();
        return enabled;
    };
    EXPECT_FALSE(pasteEnabled());
    TNTabEd other;
    other.PopupMenuClickCopy(); // a copy in another grid does not count
    EXPECT_FALSE(pasteEnabled());
    DataCommand(1, 1, {"Copy"});
    EXPECT_TRUE(pasteEnabled());
    DataCommand(1, 1, {"Data Read-Only"});
    EXPECT_TRUE(Grid->DataReadOnly());
    EXPECT_FALSE(pasteEnabled());
    QMenu* menu = OpenDataMenu(1, 1);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(Item(menu, "Data Read-Only")->isChecked());
    Choose(menu, {"Data Read-Only"});
    EXPECT_FALSE(Grid->DataReadOnly());
    EXPECT_TRUE(pasteEnabled());
}

TEST_F(PopupTest, MasksDisableDataMenuItems) {
    DataCommand(1, 1, {"Copy"});
    Grid->SetPopupDMask(TNTabEd::AllMenuItems & ~(1u << 5) & ~(1u << 7)); // Clear and Paste
    QMenu* menu = OpenDataMenu(1, 1);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(Item(menu, "Clear")->isEnabled());
    EXPECT_FALSE(Item(menu, "Paste")->isEnabled());
    EXPECT_TRUE(Item(menu, "Copy")->isEnabled());
    EXPECT_TRUE(Item(menu, "Mark as type A")->isEnabled());
}

TEST_F(PopupTest, BlockedOrHostMenusKeepTheBuiltInMenusShut) {
    Grid->SetBlockInternalPopup(true);
    EXPECT_EQ(OpenDataMenu(1, 1), nullptr);
    EXPECT_EQ(OpenColumnMenu(1), nullptr);
    Grid->SetBlockInternalPopup(false);
    QMenu host;
    host.addAction("Host item");
    Grid->SetPopupMenu(&host);
    QContextMenuEvent request(QContextMenuEvent::Mouse, CellCenter(1, 1),
                              Grid->viewport()->mapToGlobal(CellCenter(1, 1)));
    QApplication::sendEvent(Grid->viewport(), &request);
    Flush();
    EXPECT_EQ(QApplication::activePopupWidget(), &host);
    CloseMenus();
    EXPECT_EQ(OpenRowMenu(2), nullptr);
}

TEST_F(PopupTest, CopyWritesTheSelectionWithHashesForCellsThatAreNoNumbers) {
    Grid->SetElem(1, 2, 1.5);
    Grid->SetElem(2, 2, -2.0);
    Grid->SetElem(1, 3, 123456.0);
    Grid->SetElem(2, 3, 9.0);
    Grid->SetCellState(2, 3, CellState::Empty);
    Grid->SetDecPlaces(1, -1);
    Grid->SetDecPlaces(2, 2);
    SelectCells(1, 2, 2, 3);
    DataCommand(1, 2, {"Copy"});
    EXPECT_EQ(Clipboard(), "  1.5000000000000E+0000\t-2.0000000000000E+0000\r\n"
                           "  1.2345600000000E+0005\t####\r\n");
    Grid->SetClipboardUseFullPrec(false);
    Grid->SetCellState(2, 3, CellState::Invalid);
    DataCommand(1, 2, {"Copy"});
    EXPECT_EQ(Clipboard(), "  1.5E+0000\t-2.00\r\n"
                           "  1.2E+0005\t####\r\n");
}

TEST_F(PopupTest, PasteRestoresValuesAndStatesAndSelectsTheBlock) {
    Grid->SetNrOfColumns(4);
    Grid->SetElem(1, 1, 1.25);
    Grid->SetElem(2, 1, 2.5);
    Grid->SetCellState(2, 1, CellState::MarkB);
    Grid->SetElem(1, 2, 3.0);
    Grid->SetCellState(1, 2, CellState::Empty);
    Grid->SetElem(2, 2, 4.0);
    SelectCells(1, 1, 2, 2);
    DataCommand(1, 1, {"Copy"});
    Grid->SetElem(1, 1, 0.0); // the buffer, not the table, is pasted
    QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
    QSignalSpy states(Grid.get(), &TNTabEd::OnCellStateChanged);
    QSignalSpy pasted(Grid.get(), &TNTabEd::OnPaste);
    SetClipboard("99"); // nor the clipboard
    ClickCell(3, 3);
    DataCommand(3, 3, {"Paste"});
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(states.count(), 1);
    EXPECT_EQ(pasted.count(), 1);
    EXPECT_EQ(Grid->GetElem(3, 3), 1.25);
    EXPECT_EQ(Grid->GetElem(4, 3), 2.5);
    EXPECT_EQ(Grid->GetCellState(4, 3), CellState::MarkB);
    EXPECT_EQ(Grid->GetElem(3, 4), 3.0);
    EXPECT_EQ(Grid->GetCellState(3, 4), CellState::Empty);
    EXPECT_EQ(Shown(3, 4), "");
    EXPECT_EQ(Grid->GetElem(4, 4), 4.0);
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 3, 4, 4}));
    // At the table's edge the cells that fall outside are left out.
    ClickCell(4, 4);
    DataCommand(4, 4, {"Paste"});
    EXPECT_EQ(Grid->GetElem(4, 4), 1.25);
    EXPECT_EQ(Grid->NrOfColumns(), 4);
    EXPECT_EQ(Grid->NrOfRows(), 4);
    EXPECT_EQ(Grid->Selection(), (TGridRect{4, 4, 4, 4}));
}

TEST_F(PopupTest, ExtractFromClipboardReadsNumbersFromText) {
    const struct {
        const char* Name;
        int Columns;
        QString Text;
        TGridRect Selected;
        std::vector<std::vector<double>> Block; // rows from the top-left cell (2, 2)
    } cases[] = {
        {"tab separated, CR LF", 4, "1\t2\t3\r\n4\t5\t6\r\n", {2, 2, 4, 3}, {{1, 2, 3}, {4, 5, 6}}},
        {"bare LF joins the lines", 6, "1\t2\n3\t4\n", {2, 2, 5, 2}, {{1, 2, 3, 4}}},
        {"table too narrow", 3, "1\t2\t3\r\n4\t5\t6\r\n", {2, 2, 3, 3}, {{1, 2}, {4, 5}}},
        {"scanner examples", 5, "12.5e-3 -,5 1..2", {2, 2, 5, 2}, {{0.0125, -0.5, 0, 2}}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Name);
        Grid->SetNrOfColumns(k.Columns);
        Grid->Clear();
        ClickCell(2, 2);
        SetClipboard(k.Text);
        QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
        QSignalSpy pasted(Grid.get(), &TNTabEd::OnPaste);
        DataCommand(2, 2, {"Extract from Clipboard"});
        EXPECT_EQ(change.count(), 1);
        EXPECT_EQ(pasted.count(), 1);
        EXPECT_EQ(Grid->Selection(), k.Selected);
        for (std::size_t r = 0; r < k.Block.size(); ++r)
            for (std::size_t c = 0; c < k.Block[r].size(); ++c)
                EXPECT_DOUBLE_EQ(Grid->GetElem(static_cast<int>(c) + 2, static_cast<int>(r) + 2),
                                 k.Block[r][c])
                    << "cell " << c + 2 << "," << r + 2;
        EXPECT_EQ(Grid->GetElem(1, 2), 0.0);
    }
}

TEST_F(PopupTest, ExtractingPlainWordsChangesNoCellAndKeepsTheSelection) {
    FillDistinct();
    SelectCells(2, 2, 3, 3);
    SetClipboard("no numbers in here");
    DataCommand(2, 2, {"Extract from Clipboard"});
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 2, 3, 3}));
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 4; ++r)
            EXPECT_EQ(Grid->GetElem(c, r), c * 10 + r);
    // A clipboard without text does nothing at all.
    auto* image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(image);
    QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
    DataCommand(2, 2, {"Extract from Clipboard"});
    EXPECT_EQ(change.count(), 0);
}

TEST_F(PopupTest, ExtractWritesValuesOnlyAndLeavesTheCellStates) {
    Grid->SetCellState(1, 1, CellState::Empty);
    Grid->SetCellState(2, 1, CellState::Invalid | CellState::MarkA);
    SetClipboard("5 6");
    DataCommand(1, 1, {"Extract from Clipboard"});
    EXPECT_EQ(Grid->GetElem(1, 1), 5.0);
    EXPECT_EQ(Grid->GetCellState(1, 1), CellState::Empty);
    EXPECT_EQ(Grid->GetElem(2, 1), 6.0);
    EXPECT_EQ(Shown(2, 1), "-nan-");
}

TEST_F(PopupTest, MarkingActsOnRangeColumnRowOrAll) {
    Grid->SetNrOfColumns(4);
    Grid->SetNrOfRows(5);
    const struct {
        const char* Menu;
        const char* Scope;
        CellSet A, B;
    } steps[] = {
        {"Mark as type A", "Range", Block(2, 2, 3, 3), {}},
        {"Mark as type B", "Column", Block(2, 2, 3, 3), Block(2, 1, 3, 5)},
        {"Unmark type A", "Row", {}, Block(2, 1, 3, 5)},
        {"Mark as type A", "All", Block(1, 1, 4, 5), Block(2, 1, 3, 5)},
        {"Unmark type B", "Range", Block(1, 1, 4, 5),
         [] {
             CellSet b = Block(2, 1, 3, 5);
             for (const auto& cell : Block(2, 2, 3, 3))
                 b.erase(cell);
             return b;
         }()},
    };
    Grid->SetCellState(3, 3, CellState::Empty); // other bits stay
    for (const auto& k : steps) {
        SCOPED_TRACE(std::string(k.Menu) + " / " + k.Scope);
        SelectCells(2, 2, 3, 3);
        QSignalSpy states(Grid.get(), &TNTabEd::OnCellStateChanged);
        DataCommand(2, 2, {k.Menu, k.Scope});
        EXPECT_EQ(states.count(), 1);
        EXPECT_EQ(CellsWith(*Grid, CellState::MarkA), k.A);
        EXPECT_EQ(CellsWith(*Grid, CellState::MarkB), k.B);
    }
    EXPECT_EQ(Grid->GetCellState(3, 3) & CellState::Empty, CellState::Empty);
    DataCommand(2, 2, {"Unmark All"});
    EXPECT_TRUE(CellsWith(*Grid, CellState::MarkA).empty());
    EXPECT_TRUE(CellsWith(*Grid, CellState::MarkB).empty());
    EXPECT_EQ(Grid->GetCellState(3, 3), CellState::Empty);
}

TEST_F(PopupTest, ClearZeroesTheSelectionAndRemovesMarksAndFlags) {
    FillDistinct();
    Grid->SetCellState(1, 1, CellState::MarkA);
    Grid->SetCellState(2, 1, CellState::Invalid);
    Grid->SetCellState(3, 1, CellState::MarkB);
    SelectCells(1, 1, 2, 2);
    QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
    QSignalSpy states(Grid.get(), &TNTabEd::OnCellStateChanged);
    DataCommand(1, 1, {"Clear"});
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(states.count(), 1);
    for (const auto& [c, r] : Block(1, 1, 2, 2)) {
        EXPECT_EQ(Grid->GetElem(c, r), 0.0);
        EXPECT_EQ(Grid->GetCellState(c, r), CellState::Plain);
    }
    EXPECT_EQ(Grid->GetElem(3, 1), 31.0);
    EXPECT_EQ(Grid->GetCellState(3, 1), CellState::MarkB);
    EXPECT_EQ(Shown(1, 1), "0.000");
    EXPECT_EQ(Render().at({1, 1}).TextColor, QColor(44, 85, 128));
}

TEST_F(PopupTest, ToggleEmptyStateTwiceRestoresTheCells) {
    FillDistinct();
    Grid->SetCellState(2, 2, CellState::Invalid | CellState::MarkA);
    SelectCells(1, 2, 2, 2);
    DataCommand(1, 2, {"Toggle Empty State"});
    EXPECT_EQ(Grid->GetCellState(1, 2), CellState::Empty);
    EXPECT_EQ(Grid->GetCellState(2, 2), CellState::Invalid | CellState::MarkA | CellState::Empty);
    EXPECT_EQ(Shown(1, 2), "");
    EXPECT_EQ(Shown(2, 2), "");
    DataCommand(1, 2, {"Toggle Empty State"});
    EXPECT_EQ(Shown(1, 2), "12.000");
    EXPECT_EQ(Shown(2, 2), "-nan-");
    EXPECT_EQ(Grid->GetCellState(2, 2), CellState::Invalid | CellState::MarkA);
}

TEST_F(PopupTest, SelectAllColumnAndRow) {
    QSignalSpy selections(Grid.get(), &TNTabEd::OnSelectionChanged);
    DataCommand(2, 2, {"Select All"});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 3, 4}));
    ColumnCommand(2, "Select Column");
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 1, 2, 4}));
    RowCommand(3, "Select Row");
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 3, 3, 3}));
    EXPECT_GE(selections.count(), 3);
}

TEST_F(PopupTest, HeaderMenuFitsTheClickedHeader) {
    QMenu* menu = OpenColumnMenu(2);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Captions(menu), (QStringList{"Edit Heading", "Change Precision", "Select Column",
                                           "Insert Column", "Delete Column"}));
    for (QAction* action : menu->actions())
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    CloseMenus();
    menu = OpenRowMenu(2);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Captions(menu), (QStringList{"Edit Heading", "Change Precision", "Select Row",
                                           "Insert Row", "Delete Row"}));
    EXPECT_FALSE(Item(menu, "Change Precision")->isEnabled());
    CloseMenus();
    Grid->SetDataReadOnly(true);
    menu = OpenColumnMenu(1);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(Item(menu, "Edit Heading")->isEnabled());
    EXPECT_TRUE(Item(menu, "Select Column")->isEnabled());
    EXPECT_FALSE(Item(menu, "Insert Column")->isEnabled());
    EXPECT_FALSE(Item(menu, "Delete Column")->isEnabled());
    CloseMenus();
    Grid->SetDataReadOnly(false);
    Grid->SetPopupHMask(TNTabEd::AllMenuItems & ~(1u << 1)); // no Change Precision
    menu = OpenColumnMenu(1);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(Item(menu, "Change Precision")->isEnabled());
}

TEST_F(PopupTest, MenusOpenAtTheirPlaces) {
    // The data menu: 10 pixels right of and 20 above the press.
    const QPoint press = Grid->viewport()->mapToGlobal(CellCenter(2, 4));
    QMenu* menu = OpenDataMenu(2, 4);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), press + QPoint(10, -20));
    CloseMenus();

    // The header menu: 20 pixels right of and 20 below the clicked header's corner, wherever
    // in the header the press was.
    QHeaderView* columns = Grid->horizontalHeader();
    const QPoint columnCorner =
        columns->viewport()->mapToGlobal(QPoint(columns->sectionViewportPosition(2), 0));
    menu = OpenColumnMenu(3);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), columnCorner + QPoint(20, 20));
    CloseMenus();

    QHeaderView* rows = Grid->verticalHeader();
    const QPoint rowCorner =
        rows->viewport()->mapToGlobal(QPoint(0, rows->sectionViewportPosition(2)));
    menu = OpenRowMenu(3);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), rowCorner + QPoint(20, 20));
}

TEST_F(PopupTest, ChangePrecisionStepsThroughTheDecimalPlacesWithTheMenuKeptOpen) {
    Grid->SetElem(2, 1, 0.4);
    QSignalSpy layout(Grid.get(), &TNTabEd::OnLayoutChanged);
    QMenu* menu = OpenColumnMenu(2);
    ASSERT_NE(menu, nullptr);
    const struct {
        std::uint8_t Read;
        const char* Shown;
    } steps[] = {{2, "0.40"},      {1, "0.4"},      {0, " 4.0E-01"},  {255, " 4.0E-01"},
                 {10, " 4.0E-01"}, {9, " 4.0E-01"}, {8, "0.40000000"}};
    for (const auto& k : steps) {
        Choose(menu, {"Change Precision"});
        ASSERT_TRUE(WaitFor([menu] { return menu->isVisible(); })) << "the menu opens again";
        EXPECT_EQ(Grid->GetDecPlaces(2), k.Read);
        EXPECT_EQ(Shown(2, 1), k.Shown);
    }
    EXPECT_EQ(Grid->GetDecPlaces(1), 3);
    const int whileOpen = layout.count();
    CloseMenus();
    EXPECT_EQ(layout.count(), whileOpen + 1) << "one more when the menu closes";
}

TEST_F(PopupTest, TheClickedHeaderIsOutlinedWhileItsMenuIsOpen) {
    QHeaderView* header = Grid->horizontalHeader();
    const QPoint edge(header->sectionViewportPosition(1) + 1, Grid->DefaultRowHeight() / 2);
    const QColor before = header->viewport()->grab().toImage().pixelColor(edge);
    ASSERT_NE(OpenColumnMenu(2), nullptr);
    const QColor open = header->viewport()->grab().toImage().pixelColor(edge);
    EXPECT_NE(open, before);
    CloseMenus();
    EXPECT_EQ(header->viewport()->grab().toImage().pixelColor(edge), before);
}

TEST_F(PopupTest, InsertAndDeleteColumnsKeepDecimalPlacesWithThePositions) {
    FillDistinct();
    Grid->SetDecPlaces(1, 1);
    Grid->SetDecPlaces(2, 2);
    Grid->SetDecPlaces(3, 4);
    Grid->SetColWidths(3, 90);
    Grid->SetColName(2, "Flow");
    QSignalSpy setup(Grid.get(), &TNTabEd::OnChangeSetup);
    ColumnCommand(2, "Insert Column");
    EXPECT_EQ(setup.count(), 1);
    ASSERT_EQ(Grid->NrOfColumns(), 4);
    EXPECT_EQ(Grid->GetColName(2), "(...)");
    EXPECT_EQ(Grid->GetColName(3), "Flow");
    EXPECT_EQ(Grid->GetElem(2, 1), 0.0);
    EXPECT_EQ(Grid->GetElem(3, 1), 21.0);
    const std::uint8_t afterInsert[] = {1, 2, 4, 4};
    for (int c = 1; c <= 4; ++c)
        EXPECT_EQ(Grid->GetDecPlaces(c), afterInsert[c - 1]) << c;
    EXPECT_EQ(Grid->GetColWidths(4), 90) << "the new last column takes the last width";
    EXPECT_EQ(Shown(3, 1), "21.0000");

    ColumnCommand(1, "Delete Column");
    EXPECT_EQ(setup.count(), 2);
    ASSERT_EQ(Grid->NrOfColumns(), 3);
    EXPECT_EQ(Grid->GetColName(1), "(...)");
    EXPECT_EQ(Grid->GetElem(2, 1), 21.0);
    const std::uint8_t afterDelete[] = {1, 2, 4};
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(Grid->GetDecPlaces(c), afterDelete[c - 1]) << c;
    EXPECT_EQ(Shown(2, 1), "21.00");
}

TEST_F(PopupTest, InsertAndDeleteRows) {
    FillDistinct();
    Grid->SetRowName(3, "O2");
    RowCommand(3, "Insert Row");
    ASSERT_EQ(Grid->NrOfRows(), 5);
    EXPECT_EQ(Grid->GetRowName(3), "(...)");
    EXPECT_EQ(Grid->GetRowName(4), "O2");
    EXPECT_EQ(Grid->GetElem(1, 3), 0.0);
    EXPECT_EQ(Grid->GetElem(1, 4), 13.0);
    EXPECT_EQ(Grid->GetElem(3, 5), 34.0);
    RowCommand(1, "Delete Row");
    ASSERT_EQ(Grid->NrOfRows(), 4);
    EXPECT_EQ(Grid->GetElem(1, 1), 12.0);
    EXPECT_EQ(Grid->GetRowName(3), "O2");
    EXPECT_EQ(Shown(3, 4), "34.000");
}

TEST_F(PopupTest, TheLastRowAndColumnCannotBeDeleted) {
    Grid->SetNrOfRows(1);
    Grid->SetNrOfColumns(1);
    Grid->SetElem(1, 1, 5.0);
    RowCommand(1, "Delete Row");
    ColumnCommand(1, "Delete Column");
    EXPECT_EQ(Grid->NrOfRows(), 1);
    EXPECT_EQ(Grid->NrOfColumns(), 1);
    EXPECT_EQ(Grid->GetElem(1, 1), 5.0);
}

TEST_F(PopupTest, DeletingTheEditedRowClosesTheEditorFirst) {
    ClickCell(1, 4);
    Type("7");
    ASSERT_TRUE(Grid->EditorMode());
    Grid->RemoveRow(4);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->NrOfRows(), 3);
    Type("8"); // goes to the grid, which now opens an editor on an existing cell
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->NrOfRows(), 3);
}

TEST_F(PopupTest, EditHeadingRenamesOnEnterAndKeepsTheNameOnEscape) {
    const QString long60 = QString("0123456789").repeated(6);
    const struct {
        Qt::Key Closing;
        QString Typed;
        QString Name;
    } cases[] = {{Qt::Key_Return, "Flow", "Flow"},
                 {Qt::Key_Escape, "Nothing", "Flow"},
                 {Qt::Key_Enter, long60, long60.left(50)}};
    QHeaderView* header = Grid->horizontalHeader();
    const QPoint below = header->viewport()->mapTo(
        Grid.get(), QPoint(header->sectionViewportPosition(1) + 30, Grid->DefaultRowHeight() + 5));
    for (const auto& k : cases) {
        QSignalSpy headings(Grid.get(), &TNTabEd::OnHeadingChanged);
        ColumnCommand(2, "Edit Heading");
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->pos(), below);
        EXPECT_TRUE(editor->hasSelectedText());
        Type(k.Typed);
        Key(k.Closing);
        EXPECT_FALSE(editor->isVisible());
        EXPECT_EQ(Grid->GetColName(2), k.Name);
        EXPECT_EQ(headings.count(), k.Closing == Qt::Key_Escape ? 0 : 1);
    }
    RowCommand(4, "Edit Heading");
    Type("H2O");
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->GetRowName(4), "H2O");
    EXPECT_EQ(Render().at({0, 4}).Text, "H2O");
}

TEST_F(PopupTest, EditHeadingOnAnAttributeStoresAWholeNumberFromZeroTo255) {
    Grid->SetAttribColVisible(true); // the attribute row
    const QPoint attributeCell(ColumnHeaderCenter(1).x(), Grid->DefaultRowHeight() * 3 / 2);
    const struct {
        const char* Typed;
        std::uint8_t Stored;
    } cases[] = {{"12.6", 13}, {"300", 255}, {"-5", 0}, {"abc", 0}, {"7", 7}, {"", 7}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Typed);
        QTest::mousePress(Grid->horizontalHeader()->viewport(), Qt::RightButton, Qt::NoModifier,
                          attributeCell);
        Flush();
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        Choose(menu, {"Edit Heading"});
        QApplication::focusWidget()->setProperty("text", QString());
        Type(k.Typed);
        Key(Qt::Key_Return);
        EXPECT_EQ(Grid->GetColAttrib(1), k.Stored);
        EXPECT_EQ(Grid->GetColName(1), "C-1");
    }
}

TEST_F(PopupTest, CommentEditorOnTheCorner) {
    QWidget* corner = Corner();
    ASSERT_NE(corner, nullptr);
    QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
    QTest::mousePress(corner, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    Flush();
    auto* editor = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(CornerText(), "Comment:");
    EXPECT_EQ(editor->geometry(), QRect(80, 0, Grid->width() - 100, 80));
    Type("calibrated\t2024");
    Key(Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Grid->Data().Comment(), "calibrated2024");
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(CornerText(), "1:1");

    // Escape and a press on the corner close it without a change.
    for (const bool byCorner : {false, true}) {
        QTest::mousePress(corner, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
        Flush();
        ASSERT_TRUE(editor->isVisible());
        Type("x");
        if (byCorner)
            QTest::mousePress(corner, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        else
            Key(Qt::Key_Escape);
        Flush();
        EXPECT_FALSE(editor->isVisible());
        EXPECT_EQ(Grid->Data().Comment(), "calibrated2024");
    }
    Grid->SetCommentEditingAllowed(false);
    QTest::mousePress(corner, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    Flush();
    EXPECT_FALSE(editor->isVisible());
}
