// SPDX-License-Identifier: GPL-3.0-or-later
// The schematic in the window: drawn at start-up and again whenever what it shows changes.
#include "WindowFixture.h"

#include "core/SchematicBoxes.h"
#include "core/SetupTables.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <ostream>

// Colours print as their three components when a comparison fails.
void PrintTo(const QColor& colour, std::ostream* out) {
    *out << "(" << colour.red() << ", " << colour.green() << ", " << colour.blue() << ")";
}

namespace {

const QColor White(255, 255, 255);
const QColor Grey(128, 128, 128);
const QColor SkyBlue(166, 202, 240);
const QColor Green(0, 128, 0);

class SchematicWindowTest : public StartedWindowTest {
protected:
    QColor Pixel(int x, int y) const { return Form->Image1->Picture().pixelColor(x, y); }
    QColor Marker(int cell) const { return Pixel(CellBox[cell].Right - 9, CellBox[cell].Top + 9); }
};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

TEST_F(SchematicWindowTest, DrawnAtStartUpAndAfterOK) {
    EXPECT_EQ(Form->Image1->size(), QSize(800, 620));
    EXPECT_EQ(Pixel(FlowmeterBox[1].Left, 151), White) << "node M1 over flowmeter 1";
    EXPECT_EQ(Pixel(300, 564), White) << "the I1 bus";

    // Flowmeter 1 no longer feeds node 1: the node moves over flowmeter 2 once OK is clicked.
    ShowPage(FlowmeterPage);
    TypeValue(*Form->ValueListEditor2, 5, QStringLiteral("0"));
    EXPECT_EQ(Pixel(FlowmeterBox[1].Left, 300), White) << "nothing changes before OK";
    ClickOK(FlowmeterPage);
    EXPECT_EQ(Flowmeters[1].Output, 0);
    EXPECT_EQ(Pixel(FlowmeterBox[1].Left, 300), Grey);
    EXPECT_EQ(Pixel(FlowmeterBox[2].Left, 151), White);
    EXPECT_EQ(MixtureBox[NodeMixture(1)].Left, FlowmeterBox[2].Left);
}

TEST_F(SchematicWindowTest, RedrawnWhenTheWindowIsResizedOrShownAgain) {
    Cells[4].Mix = 0;
    EXPECT_EQ(Pixel(CellBox[4].Left, CellBox[4].Top), White);
    Form->resize(Form->width() - 40, Form->height());
    QApplication::processEvents();
    EXPECT_EQ(Pixel(CellBox[4].Left, CellBox[4].Top), Grey);

    Cells[5].Mix = 0;
    Form->hide();
    Form->show();
    QApplication::processEvents();
    EXPECT_EQ(Pixel(CellBox[5].Left, CellBox[5].Top), Grey);
}

TEST_F(SchematicWindowTest, RedrawnAfterTheCellFileIsLoaded) {
    Cells[3].Mix = 0;
    CellFileName = TempPath("cells.CEL");
    SaveCellFile();
    Cells[3].Mix = 3;
    Form->DrawMixer();
    EXPECT_EQ(Pixel(CellBox[3].Left, CellBox[3].Top), White);

    AnswerDialogs({Q(TempPath("cells.CEL"))});
    Form->OutputCells1->trigger();
    EXPECT_EQ(Cells[3].Mix, 0);
    EXPECT_EQ(Pixel(CellBox[3].Left, CellBox[3].Top), Grey);
}

// Wet hydrogen through flowmeter 1 into node 1, feeding cell 1 at 800 degrees C.
TEST_F(SchematicWindowTest, CalculateRedrawsAndMarksEachCellAsItGoes) {
    SetInputMix(1, {{"H2", 0.97}, {"H2O", 0.03}});
    SetMeter(1, 1, 1, 50);
    SetConstantFlow(1, 1, 100);
    for (int c = 1; c <= CellCount; ++c) {
        Cells[c].Mix = c == 1 ? 1 : 0;
        Cells[c].Temperature = 800;
        Cells[c].LeakO2 = Cells[c].LeakH2O = 0;
    }
    QColor markerDuringRun;
    QColor cellTwoDuringRun;
    QTimer::singleShot(0, Form.get(), [&] {
        markerDuringRun = Marker(1);
        cellTwoDuringRun = Pixel(CellBox[2].Left, CellBox[2].Top);
    });
    Form->Run1->trigger();

    // The mixer's results were drawn before the cells: cell 2 lost its node. At the first pass
    // the cell was marked as pending.
    EXPECT_EQ(cellTwoDuringRun, Grey);
    EXPECT_EQ(markerDuringRun, SkyBlue);
    EXPECT_EQ(Cells[1].State, CellRunState::Converged);
    EXPECT_EQ(Marker(1), Green);
}

} // namespace
