// SPDX-License-Identifier: GPL-3.0-or-later
#include "schematic/Schematic.h"
#include "core/Defaults.h"
#include "core/SchematicBoxes.h"
#include "core/SetupTables.h"
#include "support/MixerSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace {
const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);
const QColor Grey(128, 128, 128);
const QColor Silver(192, 192, 192);

// A canvas that also keeps every text with the place it was written at.
class RecordingCanvas : public TCanvas {
public:
    using TCanvas::TCanvas;
    void TextOut(int x, int y, const QString& text) override {
        Texts[{x, y}] = text.toStdString();
        TCanvas::TextOut(x, y, text);
    }
    std::map<std::pair<int, int>, std::string> Texts;
};

// Every test starts from the defaults, with a picture as large as the layout needs.
class SchematicTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Picture.fill(QColor(1, 2, 3)); // neither black nor any colour of the schematic
    }

    void Draw() {
        Canvas.Texts.clear();
        DrawMixer(Canvas);
    }
    QColor Pixel(int x, int y) const { return Picture.pixelColor(x, y); }
    std::optional<std::string> TextAt(int x, int y) const {
        const auto t = Canvas.Texts.find({x, y});
        if (t == Canvas.Texts.end())
            return std::nullopt;
        return t->second;
    }
    bool NodeBoxStored(int m) const {
        return MixtureBox[NodeMixture(m)].Left != 0 || MixtureBox[NodeMixture(m)].Right != 0;
    }

    QImage Picture{SchematicImageWidth, SchematicImageHeight, QImage::Format_RGB32};
    RecordingCanvas Canvas{Picture};
};

// Prints a colour as its three components when a comparison fails.
testing::AssertionResult SameColour(const QColor& got, const QColor& want) {
    if (got.rgb() == want.rgb())
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "(" << got.red() << ", " << got.green() << ", " << got.blue() << ") instead of ("
           << want.red() << ", " << want.green() << ", " << want.blue() << ")";
}

void DisconnectEverything() {
    for (FlowmeterRecord& f : Flowmeters) {
        f.Input = 0;
        f.Output = 0;
    }
    for (CellRecord& c : Cells)
        c.Mix = 0;
}
} // namespace

TEST_F(SchematicTest, PaletteOfMixturesAndNodes) {
    const std::pair<std::uint16_t, QColor> cases[] = {
        {0, Black},
        {1, White},
        {2, QColor(255, 0, 0)},
        {16, QColor(0, 128, 128)},
        {17, Grey},
        {18, White},
        {21, QColor(255, 255, 0)},
        {32, QColor(166, 202, 240)},
        {33, White},
        {40, White},
        {65535, White},
    };
    for (const auto& [n, colour] : cases)
        EXPECT_TRUE(SameColour(MixtureColor(n), colour)) << "mixture " << n;
}

TEST_F(SchematicTest, DefaultsJoinEveryFlowmeterToTheI1BusAndPairThemOnEightNodes) {
    Draw();
    // Nothing of the picture before survives the redraw.
    EXPECT_TRUE(SameColour(Pixel(799, 0), Black));
    EXPECT_TRUE(SameColour(Pixel(799, 619), Black));

    // The white I1 bus at y = 564, from the first flowmeter's port to the last one's.
    for (int x = FlowmeterBox[1].PortX; x <= FlowmeterBox[16].PortX; x += 25)
        EXPECT_TRUE(SameColour(Pixel(x, 564), White)) << "x " << x;
    for (int i = 1; i <= 16; ++i)
        EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[i].PortX, 500), White)) << "flowmeter " << i;

    for (int m = 1; m <= 8; ++m) {
        SCOPED_TRACE("node " + std::to_string(m));
        const SchematicBox& over = FlowmeterBox[2 * m - 1];
        const SchematicBox& next = FlowmeterBox[2 * m];
        EXPECT_EQ(MixtureBox[NodeMixture(m)].Left, over.Left);
        EXPECT_EQ(MixtureBox[NodeMixture(m)].Right, over.Right);
        EXPECT_TRUE(SameColour(Pixel(over.Left, 151), White));
        EXPECT_TRUE(SameColour(Pixel(over.Right - 1, 185), White));
        EXPECT_TRUE(SameColour(Pixel(over.Right - 3, 184), Silver));
        EXPECT_EQ(TextAt(over.Left + 3, 153), "M " + std::to_string(m));
        // No box over the other flowmeter of the pair.
        EXPECT_TRUE(SameColour(Pixel(next.Left + 5, 170), Black));
        // Both flowmeters rise to the node's output bus, in the node's colour.
        const QColor colour = MixtureColor(static_cast<std::uint16_t>(NodeMixture(m)));
        EXPECT_TRUE(SameColour(Pixel(next.PortX, 200), colour));
        EXPECT_TRUE(SameColour(Pixel((over.PortX + next.PortX) / 2, OutputBusY(m)), colour));

        // Cell m hangs on the node's bus by a slanted line that ends on it.
        const SchematicBox& cell = CellBox[m];
        EXPECT_TRUE(SameColour(Pixel(cell.PortX, cell.Bottom), colour));
        const int y = OutputBusY(m) - 1;
        EXPECT_TRUE(SameColour(Pixel(cell.PortX - 10, y), colour) ||
                    SameColour(Pixel(cell.PortX - 9, y), colour));
    }
    for (int m = 9; m <= 16; ++m)
        EXPECT_FALSE(NodeBoxStored(m)) << "node " << m << " is fed by no flowmeter";
}

TEST_F(SchematicTest, NodeFedByTwoFlowmetersCarriesItsGasToTheFlowmeterThatDrawsFromIt) {
    DisconnectEverything();
    SetMeter(3, 1, 5, 10);
    SetMeter(7, 2, 5, 10);
    SetMeter(9, NodeMixture(5), 6, 10);
    SetMeter(12, NodeMixture(5), 6, 10);
    Draw();

    const QColor node5 = MixtureColor(21);
    const int out = OutputBusY(5);
    const int in = InputBusY(21);
    EXPECT_EQ(MixtureBox[21].Left, FlowmeterBox[3].Left);
    EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[3].Left, 151), White));
    EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[7].Left + 5, 170), Black));
    // The output bus spans the feeding flowmeters and goes on to the connector column.
    const int xs = FlowmeterBox[7].Right + 4;
    EXPECT_EQ(ConnectorX(7), xs);
    for (const int x : {int(FlowmeterBox[3].PortX), 200, int(FlowmeterBox[7].PortX), xs - 1})
        EXPECT_TRUE(SameColour(Pixel(x, out), node5)) << "x " << x;
    EXPECT_TRUE(SameColour(Pixel(xs + 1, out), Black));
    // The connector runs down the middle of the gap right of flowmeter 7 ...
    for (const int y : {out + 1, 300, 450, in - 1})
        EXPECT_TRUE(SameColour(Pixel(xs, y), node5)) << "y " << y;
    EXPECT_TRUE(SameColour(Pixel(xs - 1, 450), Black));
    EXPECT_TRUE(SameColour(Pixel(xs + 1, 450), Black));
    // ... to the input bus of node 5, which joins flowmeters 9 and 12, up into their boxes.
    for (const int x : {xs, int(FlowmeterBox[9].PortX), FlowmeterBox[12].PortX - 1})
        EXPECT_TRUE(SameColour(Pixel(x, in), node5)) << "x " << x;
    EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[12].PortX, 450), node5));
    // A flowmeter drawing from a node has no line to an input mixture box.
    const SchematicBox& i9 = MixtureBox[9];
    EXPECT_TRUE(SameColour(Pixel(i9.PortX + 5, (i9.Top + in) / 2), Black));
    // Node 6, fed by flowmeters 9 and 12, sits over flowmeter 9.
    EXPECT_EQ(MixtureBox[NodeMixture(6)].Left, FlowmeterBox[9].Left);
}

TEST_F(SchematicTest, FlowmetersInAndOutOfUse) {
    struct Case {
        std::uint16_t Input, Output;
        QColor Outline;
        QColor InputLine; // just below the box
        bool Texts;
    };
    const Case cases[] = {
        {2, 3, White, QColor(255, 0, 0), true},
        {2, 0, Grey, QColor(255, 0, 0), false}, // the input line stays in the mixture's colour
        {0, 3, Grey, Black, false},
        {0, 0, Grey, Black, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("input " + std::to_string(c.Input) + ", output " + std::to_string(c.Output));
        SetDefaultFlowmeter(4);
        Flowmeters[4].Input = c.Input;
        Flowmeters[4].Output = c.Output;
        Flowmeters[4].Flow = 12.345;
        Flowmeters[4].Reading = 67.89;
        Draw();
        const SchematicBox& b = FlowmeterBox[4];
        EXPECT_TRUE(SameColour(Pixel(b.Left, 300), c.Outline));
        EXPECT_TRUE(SameColour(Pixel(b.Right - 1, b.Bottom - 1), c.Outline));
        EXPECT_TRUE(SameColour(Pixel(b.Left + 30, b.Bottom - 2), c.Texts ? Silver : Black));
        EXPECT_TRUE(SameColour(Pixel(b.PortX, 450), c.InputLine));
        if (c.Texts) {
            EXPECT_EQ(TextAt(b.Left + 3, b.Top + 2), "FM 4");
            EXPECT_EQ(TextAt(b.Left + 3, b.Top + 22), "None");
            EXPECT_EQ(TextAt(b.Left + 3, b.Top + 82), " 12.35");
            EXPECT_EQ(TextAt(b.Left + 3, b.Top + 102), " 67.9");
        } else {
            EXPECT_FALSE(TextAt(b.Left + 3, b.Top + 2));
        }
    }
    Draw();
    EXPECT_EQ(TextAt(FlowmeterBox[16].Left + 3, 273), "FM16");
}

TEST_F(SchematicTest, ConditioningStageBelowOrAboveTheFlowmeter) {
    struct Case {
        bool Before;
        bool InUse;
        int Top;
        int TextY[3];
    };
    const Case cases[] = {
        {true, true, 396, {403, 418, 433}},
        {false, true, 191, {191, 211, 231}},
        {true, false, 396, {403, 418, 433}},
        {false, false, 191, {191, 211, 231}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Before ? "before" : "after") + (c.InUse ? "" : ", not in use"));
        SetDefaultFlowmeter(6);
        SetStage(6, "O2", "Getter", 25, c.Before);
        Flowmeters[6].Output = c.InUse ? 3 : 0;
        Draw();
        const SchematicBox& b = FlowmeterBox[6];
        const QColor outline = c.InUse ? White : Grey;
        EXPECT_TRUE(SameColour(Pixel(b.Left, c.Top), outline));
        EXPECT_TRUE(SameColour(Pixel(b.Right - 1, c.Top + 59), outline));
        EXPECT_FALSE(SameColour(Pixel(b.Left, c.Top - 1), outline));
        EXPECT_FALSE(SameColour(Pixel(b.Left, c.Top + 60), outline));
        EXPECT_TRUE(SameColour(Pixel(b.Left + 5, c.Top + 58), c.InUse ? Silver : Black));
        EXPECT_EQ(TextAt(b.Left + 3, c.TextY[0]), "O2");
        EXPECT_EQ(TextAt(b.Left + 3, c.TextY[1]), "Getter");
        EXPECT_EQ(TextAt(b.Left + 3, c.TextY[2]), "25.0C");
    }
    // Without a stage in use nothing is drawn below the box but the input line.
    Flowmeters[6].FixGasUsed = 0;
    Draw();
    EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[6].Left, 396), Black));
}

TEST_F(SchematicTest, BoxTextsAndTheirFormats) {
    Mixtures[NodeMixture(1)].Flow = 1234.56;
    Mixtures[NodeMixture(2)].Flow = 5.0;
    Mixtures[NodeMixture(3)].Flow = 123456.0;
    SetInputMix(1, {{"H2", 0.05}, {"Ar", 0.95}});
    InputMixtures[1].Name.Set("Forming");
    InputMixtures[1].Ready = 1;
    InputMixtures[16].Name.Set("Spare");
    InputMixtures[16].Ready = 1;
    InputMixtures[2].Name.Set("NotReady");
    InputMixtures[2].Ready = 0;
    Cells[3].Name.Set("Buffer");
    Cells[3].Temperature = 850.04;
    Cells[3].Pressure = 1.01325;
    Cells[4].Temperature = 1e15;
    Draw();

    const int nodeText = MixtureBox[17].Top + 17;
    EXPECT_EQ(TextAt(FlowmeterBox[1].Left + 3, nodeText), "1234.5"); // cut to six characters
    EXPECT_EQ(TextAt(FlowmeterBox[3].Left + 3, nodeText), "  5.00");
    EXPECT_EQ(TextAt(FlowmeterBox[5].Left + 3, nodeText), "123456");

    const SchematicBox& i1 = MixtureBox[1];
    EXPECT_EQ(TextAt(i1.Left + 3, i1.Top + 2), "I 1");
    EXPECT_EQ(TextAt(i1.Left + 3, i1.Top + 17), "Forming");
    EXPECT_EQ(TextAt(MixtureBox[16].Left + 3, i1.Top + 2), "I16");
    // A mixture that is not ready shows an empty box.
    const SchematicBox& i2 = MixtureBox[2];
    EXPECT_FALSE(TextAt(i2.Left + 3, i2.Top + 2));
    EXPECT_TRUE(SameColour(Pixel(i2.Left, i2.Top), White));
    EXPECT_TRUE(SameColour(Pixel(i2.Right - 3, i2.Bottom - 2), Silver));

    const SchematicBox& c3 = CellBox[3];
    EXPECT_EQ(TextAt(c3.Left + 3, c3.Top + 2), "C 3");
    EXPECT_EQ(TextAt(c3.Left + 3, c3.Top + 17), "Buffer");
    EXPECT_EQ(TextAt(c3.Left + 3, c3.Top + 32), " 850.0 C");
    EXPECT_EQ(TextAt(c3.Left + 3, c3.Top + 47), " 1.013 bar");
    const SchematicBox& c4 = CellBox[4];
    EXPECT_EQ(TextAt(c4.Left + 3, c4.Top + 32), "100000000000 C");
}

TEST_F(SchematicTest, CellStatusMarkerAndALoneCellRedraw) {
    Draw();
    const QImage before = Picture.copy();
    const SchematicBox& b = CellBox[3];
    const std::pair<int, std::optional<QColor>> cases[] = {
        {CellRunState::NotCalculated, std::nullopt},
        {CellRunState::Pending, QColor(166, 202, 240)},
        {CellRunState::FirstPass, QColor(166, 202, 240)},
        {CellRunState::Passed, QColor(255, 255, 0)},
        {CellRunState::Converged, QColor(0, 128, 0)},
    };
    for (const auto& [state, fill] : cases) {
        SCOPED_TRACE("state " + std::to_string(state));
        Cells[3].State = static_cast<std::uint8_t>(state);
        Cells[5].State = CellRunState::Converged; // another cell changes but is not redrawn
        DrawCell(Canvas, 3);
        EXPECT_TRUE(SameColour(Pixel(b.Right - 15, b.Top + 3), White));
        EXPECT_TRUE(SameColour(Pixel(b.Right - 4, b.Top + 14), White));
        // With no fill the box's silver shows through the marker.
        EXPECT_TRUE(SameColour(Pixel(b.Right - 9, b.Top + 9), fill.value_or(Silver)));
        int changedOutside = 0;
        for (int y = 0; y < Picture.height(); ++y)
            for (int x = 0; x < Picture.width(); ++x)
                if ((x < b.Left || x >= b.Right || y < b.Top || y >= b.Bottom) &&
                    Picture.pixel(x, y) != before.pixel(x, y))
                    ++changedOutside;
        EXPECT_EQ(changedOutside, 0);
    }

    // A cell without a node: a grey outline, no texts, no marker and no line.
    Cells[3].Mix = 0;
    Cells[3].State = CellRunState::Converged;
    Draw();
    EXPECT_TRUE(SameColour(Pixel(b.Left, b.Top), Grey));
    EXPECT_TRUE(SameColour(Pixel(b.Right - 9, b.Top + 9), Black));
    EXPECT_TRUE(SameColour(Pixel(b.PortX, b.Bottom + 3), Black));
    EXPECT_FALSE(TextAt(b.Left + 3, b.Top + 2));
}

// Only a file (or the cell table) brings such numbers: each element keeps its own box, but no
// node box is stored for them and no line is drawn for them.
TEST_F(SchematicTest, NumbersThatNameNoMixtureOrNodeDrawNoLineAndNoNodeBox) {
    DisconnectEverything();
    SetMeter(2, 1, 17, 10);
    SetMeter(4, 1, 65535, 10);
    SetMeter(6, 33, 1, 10);
    SetMeter(8, 65535, 1, 10);
    Cells[2].Mix = 17;
    Cells[3].Mix = 65535;
    Draw();
    for (int m = 2; m <= 16; ++m)
        EXPECT_FALSE(NodeBoxStored(m)) << "node " << m;
    for (const int i : {2, 4, 6, 8}) {
        SCOPED_TRACE("flowmeter " + std::to_string(i));
        const SchematicBox& b = FlowmeterBox[i];
        EXPECT_TRUE(SameColour(Pixel(b.Left, 300), White)); // in use: both numbers above 0
        EXPECT_EQ(TextAt(b.Left + 3, b.Top + 2), i < 10 ? "FM " + std::to_string(i) : "");
    }
    // No output line above flowmeters 2 and 4, no input line below 6 and 8.
    EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[2].PortX, 200), Black));
    EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[4].PortX, 200), Black));
    EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[6].PortX, 450), Black));
    EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[8].PortX, 450), Black));
    // Flowmeters 6 and 8 still feed node 1.
    EXPECT_TRUE(SameColour(Pixel(FlowmeterBox[8].PortX, 200), Grey));
    for (const int e : {2, 3}) {
        const SchematicBox& c = CellBox[e];
        EXPECT_TRUE(SameColour(Pixel(c.Left, c.Top), White)) << "cell " << e;
        EXPECT_TRUE(SameColour(Pixel(c.PortX, c.Bottom + 3), Black)) << "cell " << e;
    }

    // Numbers outside the tables draw nothing at all.
    const QImage before = Picture.copy();
    for (const int n : {0, -1, 17, 65535}) {
        DrawFlowmeter(Canvas, n);
        DrawGasFixStage(Canvas, n);
        DrawCell(Canvas, n);
    }
    for (const int k : {0, 33, -5})
        DrawMixture(Canvas, k);
    EXPECT_EQ(Picture, before);
}

// What a damaged file can hold draws without a fault: reals that are not finite or at the ends
// of the range, every index at its largest, and texts whose length byte says 255.
TEST_F(SchematicTest, ValuesOfADamagedFileDrawWithoutFault) {
    const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(), -1e308, 1e308};
    for (const double v : values) {
        SCOPED_TRACE(v);
        for (FlowmeterRecord& f : Flowmeters) {
            f.Flow = f.Reading = f.FixGasT = v;
            f.FixGasUsed = 0xFF;
            f.FixGasBefore = 0xFF;
            f.Make.Length = 255;
        }
        for (MixtureRecord& m : Mixtures)
            m.Flow = v;
        for (MixtureRecord& m : InputMixtures) {
            m.Ready = 0xFF;
            m.Name.Length = 255;
        }
        for (CellRecord& c : Cells) {
            c.Temperature = c.Pressure = v;
            c.State = 0xFF;
            c.Name.Length = 255;
        }
        Draw();
        const SchematicBox& c1 = CellBox[1];
        EXPECT_LE(TextAt(c1.Left + 3, c1.Top + 32)->size(), 14u); // 12 characters and " C"
        EXPECT_LE(TextAt(FlowmeterBox[1].Left + 3, MixtureBox[17].Top + 17)->size(), 6u);
        EXPECT_EQ(TextAt(FlowmeterBox[1].Left + 3, FlowmeterBox[1].Top + 22)->size(), 8u);
    }
    EXPECT_EQ(TextAt(CellBox[2].Left + 3, CellBox[2].Top + 32), "100000000000 C");

    // Node boxes keep what the last drawing gave them; none is given one for these numbers.
    for (int m = 1; m <= 16; ++m)
        MixtureBox[NodeMixture(m)].Left = MixtureBox[NodeMixture(m)].Right = 0;
    for (FlowmeterRecord& f : Flowmeters)
        f.Input = f.Output = 65535;
    for (CellRecord& c : Cells)
        c.Mix = 65535;
    Draw();
    for (int m = 1; m <= 16; ++m)
        EXPECT_FALSE(NodeBoxStored(m));
}

TEST(CanvasTest, RectanglesAndLinesLeaveOutTheirFarEdgeAndEndPoint) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    TCanvas canvas(image);
    canvas.PenColor = White;
    canvas.Fill = Silver;
    canvas.Rectangle(12, 9, 2, 4); // corners in either order: (2, 4) to (12, 9)
    EXPECT_TRUE(SameColour(image.pixelColor(2, 4), White));
    EXPECT_TRUE(SameColour(image.pixelColor(11, 8), White));
    EXPECT_TRUE(SameColour(image.pixelColor(12, 8), Black));
    EXPECT_TRUE(SameColour(image.pixelColor(11, 9), Black));
    EXPECT_TRUE(SameColour(image.pixelColor(10, 7), Silver));

    canvas.Fill.reset();
    canvas.PenColor = Grey;
    canvas.Rectangle(0, 12, 5, 18);
    EXPECT_TRUE(SameColour(image.pixelColor(0, 12), Grey));
    EXPECT_TRUE(SameColour(image.pixelColor(2, 14), Black)); // no fill: interior untouched

    canvas.PenColor = QColor(255, 0, 0);
    canvas.MoveTo(15, 0);
    canvas.LineTo(15, 5);
    EXPECT_TRUE(SameColour(image.pixelColor(15, 0), QColor(255, 0, 0)));
    EXPECT_TRUE(SameColour(image.pixelColor(15, 4), QColor(255, 0, 0)));
    EXPECT_TRUE(SameColour(image.pixelColor(15, 5), Black));
    // A slanted line reaches the row before its end; lines off the image are clipped.
    canvas.MoveTo(19, 19);
    canvas.LineTo(17, 10);
    EXPECT_TRUE(SameColour(image.pixelColor(19, 19), QColor(255, 0, 0)));
    EXPECT_TRUE(SameColour(image.pixelColor(17, 11), QColor(255, 0, 0)));
    EXPECT_TRUE(SameColour(image.pixelColor(17, 10), Black));
    canvas.MoveTo(-100, -100);
    canvas.LineTo(30000, 30000);
    EXPECT_TRUE(SameColour(image.pixelColor(6, 6), QColor(255, 0, 0)));
    canvas.Fill = White;
    canvas.FillRect(-5, -5, 1600, 1600);
    EXPECT_TRUE(SameColour(image.pixelColor(19, 19), White));

    // A picture of fewer bits per pixel is taken to 32 bits before anything is drawn.
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(0);
    TCanvas greyCanvas(grey);
    greyCanvas.Fill = Silver;
    greyCanvas.FillRect(0, 0, 8, 8);
    EXPECT_EQ(grey.depth(), 32);
    EXPECT_TRUE(SameColour(grey.pixelColor(7, 7), Silver));
}
