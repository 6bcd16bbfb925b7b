// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the schematic on the left, the five tab pages on the right, the status line
// across the top and the list of current setup files across the bottom. The window only calls
// the calculation; everything that computes or stores lives in the calculation library. It is
// also the calculation's window: status line, beep, redraws, results and the Calculate caption.
#pragma once

#include "analysis/CellQuantities.h"
#include "core/WindowInterface.h"
#include "schematic/Canvas.h"
#include "ui/FileDialog.h"
#include "ui/MessageHistory.h"
#include "ui/RigEdits.h"

#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QSpinBox>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableWidget;
class TCurvePicture;
class TNTabEd;
class TFindSettingDialog;
class TPage;
class TPlotsPage;
class TQuantitiesTable;
class TStringGrid;
class TValueListEditor;

// An index selector: steps only by its arrows (and the arrow keys); nothing can be typed in.
class TIndexSpinEdit : public QSpinBox {
    Q_OBJECT

public:
    explicit TIndexSpinEdit(QWidget* parent = nullptr);
};

// The status line: a label that opens the message history when it is clicked.
class TStatusLine : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
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
    // What the results caption adds while the results are out of date.
    static const char* const OutOfDateNote;
    // The calibration curves' page, in tab order.
    static constexpr int CalibrationPageNumber = 2;
    // The Plots page, after the five pages of the rig.
    static constexpr int PlotsPageNumber = 5;

    // --- widgets, named as the rest of the program knows them ---
    TStatusLine* Message1 = nullptr;
    // Beside the status line: how many warnings the rig check and the file commands gave since
    // the last Calculate or Open All; hidden while there are none. A click opens the history.
    QPushButton* WarningsIndicator = nullptr;
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
    TCurvePicture* CurvePicture1 = nullptr; // the current curve, beside its editor
    TPlotsPage* PlotsPage1 = nullptr;
    TNTabEd* CellTabEd = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* Button3 = nullptr; // "Logarithmic" / "Linear"
    QPushButton* Button5 = nullptr; // "Cell equilibrium" / "Room temperature"
    // Under the results: the cells' derived quantities, their caption and the sensor's
    // reference pO2 in bar, which the EMF row takes.
    QLabel* QuantitiesCaption = nullptr;
    TQuantitiesTable* QuantitiesTable = nullptr;
    QLineEdit* ReferencePO2Edit = nullptr;
    QuantityOptions Quantities;

    QAction* Run1 = nullptr; // the Calculate command on the menu bar
    // The Tools menu, between Calculate and About. Another tool is one more line in BuildMenus.
    QMenu* Tools1 = nullptr;
    QAction* Messages1 = nullptr;
    QAction* FindSetting1 = nullptr;
    QAction* AboutAction = nullptr;
    // In the results table's context menus, and Ctrl+C when the table has the focus.
    QAction* CopyTable1 = nullptr;
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
    // Puts the results table on the clipboard as tab-separated text, every value in full.
    void CopyTableClick();
    // Takes the reference pO2 typed into its box: a pressure in bar above 0 sets it and shows
    // the quantities again; anything else puts the box back to the reference as it was.
    void ReferencePO2Changed();

    // --- the Calculate command ---
    // The command as the window runs it: the calculation's handler, and around it what the
    // window shows of a calculation (the results current again, the calibration page's OK).
    void CalcStartStop();

    // --- edits, unsaved changes and results out of date ---
    // What counts as an edit: a change of a stored value by the user. It marks the file kinds
    // modified in the window title and, once there are results, the results out of date. A
    // command or dialog that changes the setup calls this, or runs its change through TrackEdit.
    void MarkRigEdited(const SetupKinds& kinds);
    // Runs an edit of the stored tables and marks what it changed (MarkRigEdited).
    void TrackEdit(const std::function<void()>& edit);
    bool Modified() const;
    bool Modified(int kind) const { return FModified[std::size_t(kind)]; }
    // The results shown come from a setup that has changed since.
    bool ResultsOutOfDate() const { return FResultsOutOfDate; }
    // Before something replaces the tables of these kinds: when one of them has unsaved
    // changes, asks "Save, Discard or Cancel". True when the command may go on: saved (all four
    // files, as Save All writes them), discarded, or nothing to save.
    bool MayReplace(const SetupKinds& kinds);
    // Shows the visible page again, so that it shows the tables and its OK acts on it.
    void ShowVisiblePage();

    // --- the message history ---
    TMessageHistory& History() const { return *FHistory; }
    // Opens the history's dialog (or raises it when it is open).
    void Messages1Click();
    TMessageHistoryDialog* HistoryDialog() const { return FHistoryDialog; }

    // --- Find setting ---
    // Opens the dialog (or raises it), its lists filled from the rig as it is now. A value it
    // puts into the rig is an edit: the title marks it, the results are out of date, and the
    // visible page and the schematic show it.
    void FindSetting1Click();
    TFindSettingDialog* FindSettingDialog() const;
    int WarningCount() const { return FWarningCount; }

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
    // The About box's text: the contact, the version and where the species data come from.
    static QString AboutBoxText();
    // Saves the four files to their current names, as Save All does; true when all four were
    // written.
    bool SaveAllFiles();

    // --- what the calculation asks of the window ---
    void ShowStatusLine(StatusColour colour, const std::string& text) override;
    // The status line's pause: the window goes on painting, but takes no input.
    void Pause(double seconds) override;
    bool InPause() const { return FInPause; }
    void Beep() override;
    void ShowWarning(const std::string& text) override;
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
    QWidget* BuildStatusRow(QWidget* parent);
    QWidget* BuildPages();
    TPage* NewPage(const QString& caption);
    QPushButton* NewOKButton(QWidget* page, int pageIndex);
    TIndexSpinEdit* NewIndexSpinEdit(QWidget* page);
    void UpdateResultsCaption();
    void UpdateWindowTitle();
    void UpdateWarningsIndicator();
    // The file dialogs start in the folder of the file a command is about.
    void StartDialogIn(TFileDialog& dialog, const std::string& fileName);
    // After an Open: the kinds read are as their files hold them, the results are out of date
    // and the visible page shows the new tables.
    void Opened(const SetupKinds& read);
    // After a save: the kinds written are no longer modified. A kind that a Save As moved to
    // a new name (renamed) but could not write is: its table is in no file of that name.
    void Saved(const SetupKinds& written, const SetupKinds& renamed = {});
    void ResetWarningCount();
    // Sets the modified mark of the kinds given; true when there was one.
    bool SetModified(const SetupKinds& kinds, bool modified);
    // The single-file commands of the File menu for one kind (a row of LoadedSetupFiles).
    void OpenOne(int kind, const char* extension, std::string& currentName, bool (*load)());
    void SaveOne(int kind, bool (*save)());
    void SaveOneAs(int kind, std::string& currentName, bool (*save)());

    std::vector<TPage*> FPages; // in page order
    TMessageHistory* FHistory = nullptr;
    QPointer<TMessageHistoryDialog> FHistoryDialog;
    QPointer<TFindSettingDialog> FFindSettingDialog;
    int FWarningCount = 0;
    SetupKinds FModified{};
    bool FHaveResults = false;
    bool FResultsOutOfDate = false;
    bool FInPause = false;
    bool FPlotsShown = false;
};
