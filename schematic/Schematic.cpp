// SPDX-License-Identifier: GPL-3.0-or-later
#include "schematic/Schematic.h"

#include "core/LatinText.h"
#include "core/NumberText.h"
#include "core/SchematicBoxes.h"
#include "core/SetupTables.h"

#include <array>
#include <string>

namespace {
const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);
const QColor Grey(128, 128, 128);
const QColor Silver(192, 192, 192);
const QColor SkyBlue(166, 202, 240);
const QColor Yellow(255, 255, 0);
const QColor Green(0, 128, 0);

// Colours 0..16 of the palette. Node 1 (mixture 17) is grey; nodes 2..16 (mixtures 18..32)
// repeat colours 1..15.
const std::array<QColor, 17> Palette = {
    Black,
    White,
    QColor(255, 0, 0),     // red
    QColor(255, 0, 255),   // fuchsia
    Yellow,                // yellow
    Green,                 // green
    QColor(0, 0, 255),     // blue
    QColor(128, 0, 0),     // maroon
    QColor(0, 255, 255),   // aqua
    QColor(160, 160, 164), // medium grey
    QColor(192, 220, 192), // money green
    QColor(0, 0, 128),     // navy
    QColor(128, 128, 0),   // olive
    QColor(128, 0, 128),   // purple
    Silver,                // silver
    SkyBlue,               // sky blue
    QColor(0, 128, 128),   // teal
};

// A file or the cell table can bring numbers that name no mixture or node: such a number has
// no bus to draw on and no node box.
bool IsNode(int m) {
    return m >= 1 && m <= NodeCount;
}

QString Label(const char* prefix, int number) {
    std::string text = prefix;
    text += number < 10 ? " " : "";
    text += std::to_string(number);
    return Latin1(text);
}

QString Fixed(double value, int width, int decimals, std::size_t cut = std::string::npos) {
    return Latin1(FormatFixed(value, width, decimals).substr(0, cut));
}

void Line(TCanvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

// A box in use: white outline, silver inside; otherwise a grey outline only. Leaves the pen and
// fill set for what is drawn next in the same style.
bool DrawBox(TCanvas& canvas, const SchematicBox& b, bool inUse) {
    canvas.PenColor = inUse ? White : Grey;
    canvas.Fill = inUse ? std::optional<QColor>(Silver) : std::nullopt;
    canvas.Rectangle(b.Left, b.Top, b.Right, b.Bottom);
    return inUse;
}

// The flowmeters' input lines, output lines and the lines from their output buses to the cells.
void DrawFlowmeterLines(TCanvas& canvas, int i) {
    const FlowmeterRecord& f = Flowmeters[i];
    const int n = f.Input;
    const int m = f.Output;
    const int x = FlowmeterBox[i].PortX;
    if (n <= MixtureCount) {
        const int y = InputBusY(n);
        canvas.PenColor = MixtureColor(f.Input);
        Line(canvas, x, y, x, FlowmeterBox[i].Bottom);
        for (int j = i; j <= FlowmeterCount; ++j)
            if (Flowmeters[j].Input == n)
                Line(canvas, x, y, FlowmeterBox[j].PortX, y);
        if (IsInputMixture(n)) {
            const SchematicBox& mixture = MixtureBox[n];
            Line(canvas, x, y, mixture.PortX + 10, y);
            Line(canvas, mixture.PortX, mixture.Top, mixture.PortX + 10, y);
        }
    }
    if (IsNode(m)) {
        const int y = OutputBusY(m);
        canvas.PenColor = MixtureColor(static_cast<std::uint16_t>(NodeMixture(m)));
        Line(canvas, x, FlowmeterBox[i].Bottom, x, y);
        for (int j = i; j <= FlowmeterCount; ++j)
            if (Flowmeters[j].Output == m)
                Line(canvas, x, y, FlowmeterBox[j].PortX, y);
        for (int e = 1; e <= CellCount; ++e)
            if (Cells[e].Mix == m)
                Line(canvas, x, y, CellBox[e].PortX - 10, y);
    }
}

// The connector that carries node m's gas from its output bus down to the input bus of the
// flowmeters that draw from it.
void DrawNodeConnector(TCanvas& canvas, int m) {
    int last = 0;  // the highest-numbered flowmeter that feeds the node
    int first = 0; // the lowest-numbered flowmeter that draws from it
    for (int i = 1; i <= FlowmeterCount; ++i) {
        if (Flowmeters[i].Output == m)
            last = i;
        if (first == 0 && Flowmeters[i].Input == NodeMixture(m))
            first = i;
    }
    if (last == 0 || first == 0)
        return;
    const int xs = ConnectorX(last);
    const int out = OutputBusY(m);
    const int in = InputBusY(NodeMixture(m));
    canvas.PenColor = MixtureColor(static_cast<std::uint16_t>(NodeMixture(m)));
    Line(canvas, FlowmeterBox[last].PortX, out, xs, out);
    Line(canvas, xs, out, xs, in);
    Line(canvas, xs, in, FlowmeterBox[first].PortX, in);
}

// The fill of a cell's status marker: pending and first pass sky blue, a pass done without
// convergence yellow, converged green; not calculated has none.
std::optional<QColor> MarkerFill(int state) {
    switch (state) {
    case CellRunState::Pending:
    case CellRunState::FirstPass:
        return SkyBlue;
    case CellRunState::Passed:
        return Yellow;
    case CellRunState::Converged:
        return Green;
    default:
        return std::nullopt;
    }
}
} // namespace

QColor MixtureColor(std::uint16_t n) {
    if (IsNodeMixture(n))
        return MixtureNode(n) == 1 ? Grey : Palette[std::size_t(MixtureNode(n) - 1)];
    if (n > MixtureCount)
        return White;
    return Palette[n]; // none (0) or an input mixture
}

void DrawMixer(TCanvas& canvas) {
    canvas.Fill = Black;
    canvas.FillRect(0, 0, 1600, 1600);
    DrawGasLines(canvas);
    for (int i = 1; i <= FlowmeterCount; ++i) {
        DrawFlowmeter(canvas, i);
        DrawGasFixStage(canvas, i);
        // Each node is drawn once, over the lowest-numbered flowmeter that feeds it.
        const int m = Flowmeters[i].Output;
        bool first = IsNode(m);
        for (int j = 1; j < i && first; ++j)
            first = Flowmeters[j].Output != m;
        if (first) {
            SchematicBox& node = MixtureBox[NodeMixture(m)];
            node.Left = FlowmeterBox[i].Left;
            node.Right = FlowmeterBox[i].Right;
            DrawMixture(canvas, NodeMixture(m));
        }
    }
    for (int e = 1; e <= CellCount; ++e)
        DrawCell(canvas, e);
    for (int k = 1; k <= InputMixtureCount; ++k)
        DrawMixture(canvas, k);
}

void DrawGasLines(TCanvas& canvas) {
    for (int i = 1; i <= FlowmeterCount; ++i)
        DrawFlowmeterLines(canvas, i);
    for (int m = 1; m <= NodeCount; ++m)
        DrawNodeConnector(canvas, m);
    for (int e = 1; e <= CellCount; ++e) {
        const int m = Cells[e].Mix;
        if (!IsNode(m))
            continue;
        const SchematicBox& b = CellBox[e];
        canvas.PenColor = MixtureColor(static_cast<std::uint16_t>(NodeMixture(m)));
        Line(canvas, b.PortX, b.Bottom, b.PortX - 10, OutputBusY(m));
    }
}

void DrawFlowmeter(TCanvas& canvas, int i) {
    if (!FlowmeterBox.Contains(i))
        return;
    const FlowmeterRecord& f = Flowmeters[i];
    const SchematicBox& b = FlowmeterBox[i];
    if (!DrawBox(canvas, b, f.Input != 0 && f.Output != 0))
        return;
    const int x = b.Left + 3;
    canvas.TextOut(x, b.Top + 2, Label("FM", i));
    canvas.TextOut(x, b.Top + 22, Latin1(f.Make));
    canvas.TextOut(x, b.Top + 42, Latin1(f.Size));
    canvas.TextOut(x, b.Top + 62, Latin1(f.Float));
    canvas.TextOut(x, b.Top + 82, Fixed(f.Flow, 6, 2));
    canvas.TextOut(x, b.Top + 102, Fixed(f.Reading, 5, 1));
}

// Drawn with the pen and fill that DrawFlowmeter left for the same flowmeter.
void DrawGasFixStage(TCanvas& canvas, int i) {
    if (!FlowmeterBox.Contains(i) || !Flowmeters[i].FixGasUsed)
        return;
    const FlowmeterRecord& f = Flowmeters[i];
    const SchematicBox& b = FlowmeterBox[i];
    const bool before = f.FixGasBefore != 0;
    const int top = before ? b.Bottom + 5 : b.Top - 80;
    canvas.Rectangle(b.Left, top, b.Right, top + 60);
    const int x = b.Left + 3;
    const int text = before ? b.Bottom + 12 : top;
    const int step = before ? 15 : 20;
    canvas.TextOut(x, text, Latin1(f.FixGas));
    canvas.TextOut(x, text + step, Latin1(f.FixGasType));
    canvas.TextOut(x, text + 2 * step, Fixed(f.FixGasT, 4, 1) + QLatin1Char('C'));
}

void DrawMixture(TCanvas& canvas, int k) {
    if (!MixtureBox.Contains(k))
        return;
    const SchematicBox& b = MixtureBox[k];
    DrawBox(canvas, b, true);
    const int x = b.Left + 3;
    if (IsInputMixture(k)) {
        if (!InputMixtures[k].Ready)
            return;
        canvas.TextOut(x, b.Top + 2, Latin1(MixtureLabel(k, 2)));
        canvas.TextOut(x, b.Top + 17, Latin1(InputMixtures[k].Name));
    } else {
        canvas.TextOut(x, b.Top + 2, Latin1(MixtureLabel(k, 2)));
        canvas.TextOut(x, b.Top + 17, Fixed(Mixtures[k].Flow, 6, 2, 6));
    }
}

void DrawCell(TCanvas& canvas, int e) {
    if (!CellBox.Contains(e))
        return;
    const CellRecord& c = Cells[e];
    const SchematicBox& b = CellBox[e];
    if (!DrawBox(canvas, b, c.Mix != 0))
        return;
    const int x = b.Left + 3;
    canvas.TextOut(x, b.Top + 2, Label("C", e));
    canvas.TextOut(x, b.Top + 17, Latin1(c.Name));
    canvas.TextOut(x, b.Top + 32, Fixed(c.Temperature, 6, 1, 12) + QStringLiteral(" C"));
    canvas.TextOut(x, b.Top + 47, Fixed(c.Pressure, 6, 3, 12) + QStringLiteral(" bar"));
    canvas.Fill = MarkerFill(c.State);
    canvas.Rectangle(b.Right - 15, b.Top + 3, b.Right - 3, b.Top + 15);
}
