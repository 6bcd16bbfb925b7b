// The main window: the schematic on the left, the five tab pages on the right, the status line
// across the top and the list of current setup files across the bottom. The window only calls
// the calculation; everything that computes or stores lives in the calculation library. It is
// also the calculation's window: status line, beep, redraws, results and the Calculate caption.
#pragma once

#include "core/WindowInterface.h"
#include "schematic/Canvas.h"
#include "ui/FileDialog.h"

#include <QImage>
#include <QMainWindow>
#include <QSpinBox>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableWidget;
class TNTabEd;
class TStringGrid;
class TValueListEditor;

// An index selector: steps only by its arrows (and the arrow keys); nothing can be typed in.
class TIndexSpinEdit : public QSpinBox {
    Q_OBJECT

public:
    explicit TIndexSpinEdit(QWidget* parent = nullptr);
};

// The schematic's picture and the canvas it is drawn with. The picture keeps what was drawn
// until it is drawn over, so one cell can be redrawn alone.
class TSchematicImage : public QWidget {
    Q_OBJECT

public:
    explicit TSchematicImage(QWidget* parent = nullptr);

    TCanvas& Canvas() { return FCanvas; }
    const QImage& Picture() const { return FPicture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FPicture;
    TCanvas FCanvas;
};

class TForm1 : public QMainWindow, public WindowInterface {
    Q_OBJECT

public:
    // Creates the window and runs its creation handler (FormCreate). The defaults routine runs
    // after this, with this window set as the calculation's window.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Texts of the window.
    static const char* const ProductCaption;
    static const char* const AboutText;

    // --- widgets, named as the rest of the program knows them ---
    QLabel* Message1 = nullptr;
    QWidget* Panel1 = nullptr;
    TSchematicImage* Image1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QTableWidget* LoadedSetupFilesGrid = nullptr;

    TValueListEditor* ValueListEditor1 = nullptr; // input gases and mixtures
    TValueListEditor* ValueListEditor2 = nullptr; // flowmeters
    TValueListEditor* ValueListEditor3 = nullptr; // flowmeter readings
    TValueListEditor* ValueListEditor4 = nullptr; // output cells
    TIndexSpinEdit* SpinEditINP = nullptr;
    TIndexSpinEdit* SpinEdit1 = nullptr;
    TIndexSpinEdit* SpinEdit2CalCurve = nullptr;
    TIndexSpinEdit* SpinEditOutPutCells = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* OKButton[5] = {}; // one per page, in page order
    TStringGrid* CalGrid1 = nullptr;
    TNTabEd* CalCurveEdit = nullptr;
    TNTabEd* CellTabEd = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* Button3 = nullptr; // "Logarithmic" / "Linear"
    QPushButton* Button5 = nullptr; // "Cell equilibrium" / "Room temperature"

    QAction* Run1 = nullptr; // the Calculate command on the menu bar
    QAction* AboutAction = nullptr;
    QAction* OpenAll1 = nullptr;
    QAction* InputGases1 = nullptr;
    QAction* MixerOutline1 = nullptr;
    QAction* Calibrations1 = nullptr;
    QAction* OutputCells1 = nullptr;
    QAction* InputMixtures1 = nullptr;
    QAction* Mixer1 = nullptr;
    QAction* Calibrations2 = nullptr;
    QAction* Cells1 = nullptr;
    QAction* InputMixtures2 = nullptr;
    QAction* Flowmeters1 = nullptr;
    QAction* Calibrations3 = nullptr;
    QAction* OutputCells2 = nullptr;
    QAction* SaveAll1 = nullptr;
    QAction* SaveAllAs1 = nullptr;
    QAction* Exit1 = nullptr;

    // The shared open and save dialogs: each keeps the filter and default extension last set.
    TFileDialog OpenDialog1;
    TFileDialog SaveDialog1;

    // Off in tests: the status-line pauses return at once instead of holding the window.
    bool KeepPauses = true;

    // --- the parameter tables ---
    void InputMixtures3Click();
    void Flowmeters2Click();
    void OutputCells3Click();
    void FlowmeterReadings1Click();
    void ReadInputGasesTable();
    void ReadFlowmetersTable();
    void ReadCellsTable();
    void ReadFlowmeterReadingsTable();
    void Button4OutputCellsOKClick();
    void SpinEditINPChange(QSpinBox* selector);

    // --- the calibration page ---
    void Calibrations4Click();
    void ListCalCurve();
    void ReadCalibrationsTable();
    void ReadCalCurve();
    // The curve editor's shape: two columns of twenty points, as laid out.
    void SetCurveEditorShape();

    // --- the results table ---
    void Linlogtoggle1Click();
    void EquilRTtoggle1Click();

    // --- the menus ---
    void OpenAll1Click();
    void InputGases1Click();
    void MixerOutline1Click();
    void Calibrations1Click();
    void OutputCells1Click();
    void InputMixtures1Click();
    void Mixer1Click();
    void Calibrations2Click();
    void Cells1Click();
    void InputMixtures2Click();
    void Flowmeters1Click();
    void Calibrations3Click();
    void OutputCells2Click();
    void SaveAll1Click();
    void SaveAllAs();
    void Exit1Click();
    void AboutClick();

    // --- what the calculation asks of the window ---
    void ShowStatusLine(StatusColour colour, const std::string& text) override;
    void Pause(double seconds) override;
    void Beep() override;
    void DrawMixer() override;
    void DrawCell(int cell) override;
    void ShowCellResults() override;
    void RefreshCellColumn(int cell, const long double* amounts, int count) override;
    void SetCalculateCaption(const std::string& caption) override;
    void ProcessPendingEvents() override;
    void LoadedSetupFilesChanged() override;
    void CalibrationsLoaded() override;
    void AddParameterTableRows() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void BuildMenus();
    QWidget* BuildPages();
    QWidget* NewPage(const QString& caption);
    QPushButton* NewOKButton(QWidget* page, int pageIndex);
    TIndexSpinEdit* NewIndexSpinEdit(QWidget* page);
    void UpdateResultsCaption();
};
