// SPDX-License-Identifier: GPL-3.0-or-later
// The Plots page: a sweep of one parameter of the rig, run on a worker thread on a copy of the
// setup taken when it starts, drawn as log10 partial pressures of the chosen species against
// the parameter, one line per chosen cell and species. It exports the picture as PNG or SVG and
// the data as the command line's CSV.
#pragma once

#include "analysis/Sweep.h"

#include <QFutureWatcher>
#include <QPointF>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <vector>

class QCheckBox;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
class TFileDialog;

class TPlotsPage : public QWidget {
    Q_OBJECT

public:
    TPlotsPage(TFileDialog& saveDialog, QWidget* parent = nullptr);
    ~TPlotsPage() override;

    // --- the choices, named as the page shows them ---
    QComboBox* ParameterKind = nullptr; // cell temperature, cell pressure, reading, stage
    QSpinBox* ParameterIndex = nullptr; // the cell or flowmeter
    QLineEdit* FromEdit = nullptr;
    QLineEdit* ToEdit = nullptr;
    QSpinBox* PointsEdit = nullptr;
    QCheckBox* CellBoxes[CellCount] = {}; // cells 1..8
    QLineEdit* SpeciesEdit = nullptr;     // formulas separated by spaces or commas; O2 at first
    QPushButton* PlotButton = nullptr;
    QPushButton* ExportPngButton = nullptr;
    QPushButton* ExportSvgButton = nullptr;
    QPushButton* ExportCsvButton = nullptr;
    QProgressBar* Progress = nullptr;
    QLabel* Note = nullptr;  // what went wrong, or what the last sweep was
    QLabel* Hover = nullptr; // the values of the point under the mouse
    // The chart, made when the page is first shown (or first draws): the window starts without
    // building a chart nobody may look at.
    QChartView* View = nullptr;
    QChart* Chart = nullptr;

    // Checks the cells that have a node and leaves the others unchecked: what the page shows
    // when it is first opened.
    void CheckConnectedCells();

    // Starts a sweep as the choices say, on a copy of the setup as it is now. A sweep still
    // running is cancelled: its points are not drawn. Returns false (the reason in Note) when
    // the choices are not a sweep this rig can make.
    bool StartSweep();
    // Whether a sweep is running.
    bool Running() const;
    // The last sweep that ran to its end (no points before the first).
    const SweepResult& LastSweep() const { return FLast; }

    // The lines drawn: one per chosen cell and species that has a value at some point.
    std::vector<QLineSeries*> Lines() const;
    // The values of a line's point, as the hover shows them for the point nearest the mouse.
    QString PointText(const QLineSeries* line, const QPointF& point) const;

    // The exports: the chart as drawn, at its size on the screen (PNG, SVG), and the last sweep
    // as CSV. False when the file could not be written, or there is nothing to export.
    bool ExportPng(const QString& fileName);
    bool ExportSvg(const QString& fileName);
    bool ExportCsv(const QString& fileName);

signals:
    // A sweep ran to its end and its lines are drawn.
    void SweepDrawn();

private:
    struct Job {
        std::shared_ptr<std::atomic<bool>> Cancel;
        std::shared_ptr<std::atomic<int>> Done;
        int Total = 0;
    };
    void EnsureChart();
    void KindChanged();
    void Finished(QFutureWatcher<SweepResult>* watcher, const Job& job);
    void Draw();
    void ExportClick(const char* extension, bool (TPlotsPage::*exporter)(const QString&));
    void ShowNote(const QString& text, bool error);

    TFileDialog& FSaveDialog;
    QVBoxLayout* FLayout = nullptr;
    SweepResult FLast;
    std::vector<int> FCells;           // the cells of the last sweep's lines
    std::vector<std::string> FSpecies; // and their species
    Job FJob;
    QFutureWatcher<SweepResult>* FWatcher = nullptr;
    QTimer FProgressTimer;
};
