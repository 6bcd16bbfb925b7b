// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration page: the list of all 1000 curves with their header fields, read back on
// OK, and the editor of the current curve's twenty points, stored at every click in it.
#include "core/LatinText.h"
#include "core/NumberText.h"
#include "core/SetupTables.h"
#include "tableeditor/Vexa_ntabed.h"
#include "ui/CurvePicture.h"
#include "ui/MainWindow.h"
#include "ui/ParameterText.h"
#include "ui/StringGrid.h"

namespace {

enum ListColumn {
    CurveColumn,
    MakeColumn,
    SizeColumn,
    FloatColumn,
    GasColumn,
    TempColumn,
    PressColumn,
    FlowmeterColumn
};

// The curve editor's row-name column as laid out; "Curve 1000 P-20" may need more.
constexpr int CurveEditorNameWidth = 80;

// Temperatures and pressures: two decimals, right-aligned in nine characters.
QString ListReal(double value) {
    return QString::fromStdString(FormatFixed(value, 9, 2));
}

} // namespace

void TForm1::Calibrations4Click() {
    CurrentTable = CalibrationTable;
    if (CurrentCalCurve < 1 || CurrentCalCurve > CalibrationCount)
        CurrentCalCurve = 1;
    // When this changes the selector, its handler fills the page once more for the same curve.
    SpinEdit2CalCurve->setValue(CurrentCalCurve);

    CalGrid1->BeginUpdate();
    CalGrid1->SetRowCount(CalibrationCount);
    const char* const titles[8] = {"Curve", "Make",  "Size",   "Float",
                                   "Gas",   "Temp.", "Press.", "Flowmeter"};
    for (int c = 0; c < 8; ++c)
        CalGrid1->SetCell(c, 0, QString::fromLatin1(titles[c]));
    for (int k = 1; k <= CalibrationCount; ++k) {
        const CalibrationRecord& r = Calibrations[k];
        CalGrid1->SetCell(CurveColumn, k, QString::number(k));
        CalGrid1->SetCell(MakeColumn, k, Latin1(r.Make));
        CalGrid1->SetCell(SizeColumn, k, Latin1(r.Size));
        CalGrid1->SetCell(FloatColumn, k, Latin1(r.Float));
        CalGrid1->SetCell(GasColumn, k, Latin1(r.Gas));
        CalGrid1->SetCell(TempColumn, k, ListReal(r.Temp));
        CalGrid1->SetCell(PressColumn, k, ListReal(r.Press));
        CalGrid1->SetCell(FlowmeterColumn, k, QString::number(r.Flowmeter));
    }
    CalGrid1->EndUpdate();
    ListCalCurve();
}

void TForm1::SetCurveEditorShape() {
    CalCurveEdit->SetColWidths(0, CurveEditorNameWidth);
    CalCurveEdit->SetNrOfColumns(2);
    CalCurveEdit->SetNrOfRows(20);
    CalCurveEdit->SetColWidths(1, 111);
    CalCurveEdit->SetColWidths(2, 78);
}

void TForm1::ListCalCurve() {
    const int k = CurrentCalCurve;
    if (k < 1 || k > CalibrationCount)
        return;
    // Every click stores twenty points of two columns: a curve is never shown in another shape.
    if (CalCurveEdit->NrOfColumns() != 2 || CalCurveEdit->NrOfRows() != 20)
        SetCurveEditorShape();
    CalCurveEdit->SetColName(1, QStringLiteral("Reading"));
    CalCurveEdit->SetColName(2, QStringLiteral("Flow"));
    const QString prefix = QStringLiteral("Curve ") + QString::number(k) + QStringLiteral(" P-");
    for (int r = 1; r <= 20; ++r) {
        CalCurveEdit->SetRowName(r, prefix + QString::number(r));
        CalCurveEdit->SetElem(1, r, Calibrations[k].Point[r].Reading);
        CalCurveEdit->SetElem(2, r, Calibrations[k].Point[r].Flow);
    }
    CalCurveEdit->FitHeadingWidth(0, CurveEditorNameWidth);
    CurvePicture1->SetCurve(Calibrations[k], k);
}

void TForm1::ReadCalibrationsTable() {
    for (int k = 1; k <= CalibrationCount && k <= CalGrid1->RowCount(); ++k)
        ReadCalibrationRow(
            {Typed(CalGrid1->Cell(MakeColumn, k)), Typed(CalGrid1->Cell(SizeColumn, k)),
             Typed(CalGrid1->Cell(FloatColumn, k)), Typed(CalGrid1->Cell(GasColumn, k)),
             Typed(CalGrid1->Cell(TempColumn, k)), Typed(CalGrid1->Cell(PressColumn, k)),
             Typed(CalGrid1->Cell(FlowmeterColumn, k))},
            Calibrations[k]);
}

void TForm1::ReadCalCurve() {
    const int k = CurrentCalCurve;
    if (k < 1 || k > CalibrationCount)
        return;
    for (int r = 1; r <= 20; ++r) {
        Calibrations[k].Point[r].Reading = CalCurveEdit->GetElem(1, r);
        Calibrations[k].Point[r].Flow = CalCurveEdit->GetElem(2, r);
    }
    CurvePicture1->SetCurve(Calibrations[k], k);
}
