// SPDX-License-Identifier: GPL-3.0-or-later
// The Plots page and the calibration curve's picture, driven offscreen through their widgets.
#include "ui/PlotsPage.h"
#include "WindowFixture.h"
#include "core/Calibration.h"
#include "core/SetupTables.h"
#include "files/RigJson.h"
#include "report/SweepReport.h"
#include "tableeditor/Vexa_ntabed.h"
#include "ui/CurvePicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QThreadPool>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <cmath>

namespace {

class PlotsPageTest : public StartedWindowTest {
protected:
    void ReadExampleRig() {
        QFile file(QStringLiteral(QUORVANE_EXAMPLE_RIG_JSON));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::string error;
        ASSERT_TRUE(RigFromJson(file.readAll().toStdString(), error)) << error;
    }
    TPlotsPage& Page() { return *Form->PlotsPage1; }
    void ShowPlots() { Form->PageControl1->setCurrentIndex(TForm1::PlotsPageNumber); }
    // Chooses a sweep as the user does.
    void Choose(int kind, int index, const QString& from, const QString& to, int points) {
        Page().ParameterKind->setCurrentIndex(kind);
        Page().ParameterIndex->setValue(index);
        Page().FromEdit->setText(from);
        Page().ToEdit->setText(to);
        Page().PointsEdit->setValue(points);
    }
    // Clicks Plot and waits for the lines (a short sweep may be drawn while the click is
    // still being handled).
    bool PlotAndWait() {
        QSignalSpy drawn(&Page(), &TPlotsPage::SweepDrawn);
        Click(*Page().PlotButton);
        return drawn.count() > 0 || drawn.wait(60000);
    }
};

TEST_F(PlotsPageTest, IsASixthTabThatPlotsEveryPointOfEachChosenCellAndSpecies) {
    ReadExampleRig();
    EXPECT_EQ(Form->PageControl1->count(), 6);
    EXPECT_EQ(Form->PageControl1->tabText(TForm1::PlotsPageNumber), "Plots");
    ShowPlots();
    // The cells with a node are chosen at first, and O2.
    for (int c = 1; c <= CellCount; ++c)
        EXPECT_EQ(Page().CellBoxes[c - 1]->isChecked(), c <= 4) << c;
    EXPECT_EQ(Page().SpeciesEdit->text(), "O2");

    Page().CellBoxes[2]->setChecked(false); // cells 1, 2 and 4
    Page().SpeciesEdit->setText("O2 H2O");
    Choose(0, 1, "700", "1000", 13); // cell 1's temperature
    ASSERT_TRUE(PlotAndWait()) << Page().Note->text().toStdString();
    const std::vector<QLineSeries*> lines = Page().Lines();
    // Cells 1, 2 and 4 all hold O2 and H2O: six lines.
    ASSERT_EQ(lines.size(), 6u);
    for (QLineSeries* line : lines) {
        SCOPED_TRACE(line->name().toStdString());
        ASSERT_EQ(line->count(), 13);
        EXPECT_EQ(line->at(0).x(), 700);
        EXPECT_EQ(line->at(12).x(), 1000);
    }
    // The points are the sweep's: cell 1's O2 at each temperature.
    const SweepResult& sweep = Page().LastSweep();
    ASSERT_EQ(sweep.Points.size(), 13u);
    QLineSeries* cellOneO2 = lines[0];
    EXPECT_EQ(cellOneO2->name(), "Cell 1 Wet H2, O2");
    for (int i = 0; i < 13; ++i) {
        const CellPoint* cell = sweep.Points[static_cast<std::size_t>(i)].Result.Cell(1);
        ASSERT_NE(cell, nullptr);
        for (const SpeciesPressure& s : cell->Equilibrium) {
            if (s.Species == "O2") {
                EXPECT_DOUBLE_EQ(cellOneO2->at(i).y(), std::log10(static_cast<double>(s.Pressure)));
            }
        }
    }
    // The axes say what they show, with units.
    const auto axes = Page().Chart->axes();
    ASSERT_EQ(axes.size(), 2);
    EXPECT_EQ(axes[0]->titleText(), QString::fromUtf8("Cell 1 temperature (°C)"));
    EXPECT_EQ(axes[1]->titleText(), "log10 partial pressure (bar)");
    // Hovering over a line shows the values of the sweep's point nearest the mouse.
    emit cellOneO2->hovered(QPointF(780, -18), true);
    EXPECT_TRUE(Page().Hover->text().startsWith(
        "Cell 1 Wet H2, O2: Cell 1 temperature (°C) = 775, log10 p = "))
        << Page().Hover->text().toStdString();
    EXPECT_EQ(Page().Progress->value(), 13);
}

TEST_F(PlotsPageTest, ExportsThePictureAtTheChartsSizeAndTheDataAsTheCommandLinesCsv) {
    ReadExampleRig();
    ShowPlots();
    Page().SpeciesEdit->setText("O2");
    Choose(3, 1, "5", "60", 7); // flowmeter 1's saturator
    ASSERT_TRUE(PlotAndWait());
    ASSERT_EQ(Page().Lines().size(), 4u);
    EXPECT_EQ(Page().Chart->axes()[1]->titleText(), "log10 p(O2) (bar)");

    const QString png = QString::fromStdString(TempPath("plot.png"));
    ASSERT_TRUE(Page().ExportPng(png));
    QImage image;
    ASSERT_TRUE(image.load(png, "PNG"));
    EXPECT_EQ(image.size(), Page().View->size() * Page().View->devicePixelRatio());
    EXPECT_GT(Page().View->width(), 100);

    const QString svg = QString::fromStdString(TempPath("plot.svg"));
    ASSERT_TRUE(Page().ExportSvg(svg));
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    const QByteArray svgText = svgFile.readAll();
    EXPECT_TRUE(svgText.contains("<svg")) << svgText.left(200).toStdString();
    EXPECT_TRUE(svgText.contains(QStringLiteral("width=\"%1").arg(Page().View->width()).toUtf8()));

    // The CSV through the page's button and its save dialog.
    const QString csv = QString::fromStdString(TempPath("plot.csv"));
    AnswerDialogs({csv});
    Click(*Page().ExportCsvButton);
    QFile csvFile(csv);
    ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(csvFile.readAll().toStdString(), FormatSweep(Page().LastSweep(), SweepFormat::Csv));
    EXPECT_EQ(Page().LastSweep().Request.Parameter.Name(), "flowmeter1.stageTemperature");
}

TEST_F(PlotsPageTest, ASecondRequestCancelsTheFirstAndTheWindowStaysResponsive) {
    ReadExampleRig();
    ShowPlots();
    // The most points a sweep takes: many seconds of work, in the worker thread.
    Choose(0, 1, "600", "1100", MaxSweepPoints);
    Click(*Page().PlotButton);
    ASSERT_TRUE(Page().Running());
    // The window answers while it runs: a timer fires and the tab can be changed.
    QTest::qWait(50);
    Form->PageControl1->setCurrentIndex(0);
    EXPECT_EQ(Form->PageControl1->currentIndex(), 0);
    Form->PageControl1->setCurrentIndex(TForm1::PlotsPageNumber);
    Choose(0, 2, "700", "900", 5);
    ASSERT_TRUE(PlotAndWait());
    // Only the second sweep was drawn.
    EXPECT_EQ(Page().LastSweep().Request.Parameter.Name(), "cell2.temperature");
    for (QLineSeries* line : Page().Lines())
        EXPECT_EQ(line->count(), 5);
    EXPECT_FALSE(Page().Running());
    // The first sweep stopped at its next point instead of running to its end.
    EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(3000));
}

TEST_F(PlotsPageTest, RefusesASweepTheRigCannotMakeAndSaysWhy) {
    ReadExampleRig();
    ShowPlots();
    Choose(3, 2, "5", "60", 7); // flowmeter 2 has no stage in use
    EXPECT_FALSE(Page().StartSweep());
    EXPECT_EQ(
        Page().Note->text(),
        "Cannot sweep flowmeter2.stageTemperature: flowmeter 2 has no conditioning stage in use");
    Choose(0, 1, "abc", "60", 7);
    EXPECT_FALSE(Page().StartSweep());
    EXPECT_EQ(Page().Note->text(), "From and to are numbers");
    Choose(0, 1, "5", "60", 7);
    Page().SpeciesEdit->setText("  ");
    EXPECT_FALSE(Page().StartSweep());
    EXPECT_FALSE(Page().Running());
}

using CurvePictureTest = StartedWindowTest;

TEST_F(CurvePictureTest, SamplesTheCurveEvaluationOfTheCurrentCurveAfterEveryClickAndChange) {
    // A curve whose polynomial wiggles between its points.
    const double points[][2] = {{10, 5}, {20, 30}, {30, 12}, {40, 45}, {60, 50}};
    for (int k = 0; k < 5; ++k)
        Calibrations[4].Point[k + 1] = {points[k][0], points[k][1]};
    Calibrations[4].Point[6] = {15, 99}; // after the largest reading: left out
    ShowPage(CalibrationPage);
    StepUp(*Form->SpinEdit2CalCurve, 3);
    ASSERT_EQ(CurrentCalCurve, 4);
    const TCurvePicture& picture = *Form->CurvePicture1;
    const auto expectSamplesOf = [&](int k) {
        EXPECT_EQ(picture.CurveNumber(), k);
        ASSERT_EQ(picture.Samples().size(), std::size_t(TCurvePicture::SampleCount));
        for (const QPointF& p : picture.Samples())
            ASSERT_EQ(p.y(), CurveFlow(k, p.x())) << "at reading " << p.x();
        EXPECT_EQ(picture.Samples().back().x(), LargestReading(k));
    };
    expectSamplesOf(4);
    EXPECT_EQ(picture.UsedPoints().size(), 5u);
    ASSERT_EQ(picture.UnusedPoints().size(), 1u);
    EXPECT_EQ(picture.UnusedPoints()[0], QPointF(15, 99));
    // The wiggle is in the samples: between 20 and 30 the line leaves the points' range.
    double low = 1e300;
    for (const QPointF& p : picture.Samples())
        if (p.x() > 20 && p.x() < 30)
            low = std::min(low, p.y());
    EXPECT_LT(low, 12);
    EXPECT_GT(picture.width(), 100);
    EXPECT_TRUE(picture.isVisible());

    // A click in the editor stores the points and redraws.
    TNTabEd& editor = *Form->CalCurveEdit;
    TypeInto(editor, 4, 1, "80"); // the flow of point 5
    const QRect cell = editor.visualRect(editor.model()->index(6, 0));
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    ASSERT_EQ(Calibrations[4].Point[5].Flow, 80);
    expectSamplesOf(4);
    EXPECT_EQ(picture.Samples().back().y(), 80);

    // Another curve: the picture follows; one without points says there is no flow.
    StepUp(*Form->SpinEdit2CalCurve);
    EXPECT_EQ(picture.CurveNumber(), 5);
    EXPECT_TRUE(picture.Samples().empty());
    StepDown(*Form->SpinEdit2CalCurve);
    expectSamplesOf(4);
}

} // namespace
