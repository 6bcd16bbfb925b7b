// SPDX-License-Identifier: GPL-3.0-or-later
// The File menu through answered dialogs.
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"
#include "tableeditor/Vexa_ntabed.h"
#include "ui/StringGrid.h"
#include "ui/ValueListEditor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using FileCommandsTest = StartedWindowTest;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

TEST_F(FileCommandsTest, SaveAllAsThenOpenAllRestoresTheRig) {
    SetInputMix(1, {{"H2", 0.05}, {"Ar", 0.95}});
    Flowmeters[2].Reading = 42.5;
    Calibrations[1000].Make.Set("Last");
    Cells[8].Name.Set("Cell eight");
    QDir(Temp.path()).mkdir("rig.v2");
    const std::string base = TempPath("rig.v2/bench");

    AnswerDialogs({Q(base + ".INP")});
    Form->SaveAllAs1->trigger();
    for (const char* ext : {".INP", ".MIX", ".CAL", ".CEL"})
        EXPECT_TRUE(QFileInfo::exists(Q(base + ext))) << ext;
    EXPECT_EQ(InputFileName, base + ".INP");
    EXPECT_EQ(CellFileName, base + ".CEL");
    EXPECT_EQ(Form->LoadedSetupFilesGrid->item(2, 1)->text(), Q(base + ".CAL"));
    EXPECT_EQ(Form->LoadedSetupFilesGrid->item(2, 0)->text(), "Cal");

    InputMixtures[1] = MixtureRecord{};
    Flowmeters[2].Reading = 0;
    Calibrations[1000].Make.Set("None");
    Cells[8].Name.Set("");
    AnswerDialogs({Q(base + ".MIX")});
    Form->OpenAll1->trigger();
    EXPECT_EQ(InputMixtures[1].Gas[2].Gas.Str(), "Ar");
    EXPECT_EQ(Flowmeters[2].Reading, 42.5);
    EXPECT_EQ(Calibrations[1000].Make.Str(), "Last");
    EXPECT_EQ(Cells[8].Name.Str(), "Cell eight");
    EXPECT_EQ(CurrentTable, InputMixtureTable) << "the visible page was shown again";

    // Each dialog starts in the folder of the current file set: the default set's first, then
    // the one saved.
    ASSERT_EQ(DialogsShown.size(), 2u);
    EXPECT_EQ(DialogsShown[0].Kind, TFileDialog::Kind::Save);
    EXPECT_TRUE(DialogsShown[0].Filter.isEmpty());
    EXPECT_EQ(DialogsShown[0].InitialDir, Temp.path());
    EXPECT_EQ(DialogsShown[1].Kind, TFileDialog::Kind::Open);
    EXPECT_EQ(DialogsShown[1].Filter, "*.INP,*.MIX,*.CAL,*.CEL;");
    EXPECT_EQ(DialogsShown[1].InitialDir, Q(TempPath("rig.v2")));
}

TEST_F(FileCommandsTest, CancelChangesNothing) {
    const std::string before = InputFileName;
    AnswerDialogs({std::nullopt, std::nullopt, std::nullopt});
    Form->OpenAll1->trigger();
    Form->InputGases1->trigger();
    Form->SaveAllAs1->trigger();
    EXPECT_EQ(InputFileName, before);
    EXPECT_EQ(DialogsShown.size(), 3u);
    EXPECT_TRUE(QDir(Temp.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(FileCommandsTest, SingleOpenCommandsSetFilterAndDefaultExtension) {
    struct Case {
        QAction* Command;
        const char* Ext;
        std::string* CurrentName;
    };
    const Case cases[] = {
        {Form->InputGases1, "INP", &InputFileName},
        {Form->MixerOutline1, "MIX", &MixerFileName},
        {Form->Calibrations1, "CAL", &CalibrationFileName},
        {Form->OutputCells1, "CEL", &CellFileName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Ext);
        DialogsShown.clear();
        // Typed without an extension: the dialog adds its default extension.
        AnswerDialogs({Q(TempPath("missing"))});
        c.Command->trigger();
        ASSERT_EQ(DialogsShown.size(), 1u);
        EXPECT_EQ(DialogsShown[0].Filter, QStringLiteral("*.") + c.Ext);
        EXPECT_EQ(DialogsShown[0].DefaultExt, c.Ext);
        EXPECT_EQ(*c.CurrentName, TempPath("missing.") + c.Ext);
    }
    // Open All keeps the default extension last set on the shared open dialog.
    DialogsShown.clear();
    AnswerDialogs({std::nullopt});
    Form->OpenAll1->trigger();
    EXPECT_EQ(DialogsShown[0].DefaultExt, "CEL");
}

TEST_F(FileCommandsTest, SaveAsStoresExactlyTheTypedName) {
    Cells[1].Name.Set("kept");
    AnswerDialogs({Q(TempPath("cells_without_extension"))});
    Form->OutputCells2->trigger();
    EXPECT_TRUE(QFileInfo::exists(Q(TempPath("cells_without_extension"))));
    EXPECT_EQ(ReadFileBytes(TempPath("cells_without_extension")).size(), 576u);
    // Save writes to the current name without asking.
    Cells[1].Name.Set("changed");
    Form->Cells1->trigger();
    Cells[1].Name.Set("");
    CellFileName = TempPath("cells_without_extension");
    LoadCellFile();
    EXPECT_EQ(Cells[1].Name.Str(), "changed");
}

TEST_F(FileCommandsTest, FailedSaveIsReportedOnTheStatusLineWithTheSystemsReason) {
    AnswerDialogs({Q(TempPath("no/such/folder/rig.INP"))});
    Form->InputMixtures2->trigger();
    EXPECT_EQ(Form->Message1->text(), Q("Could not save " + TempPath("no/such/folder/rig.INP") +
                                        ": No such file or directory"));
    EXPECT_EQ(Form->Message1->palette().color(QPalette::Window), QColor(255, 0, 0));
}

// After an open the visible page shows what was read, and its selector and OK act on it: the
// page is shown again. (The set opened holds 5 for the reading of flowmeter 2, "Saved" for the
// make of flowmeter 3 and of curve 4, 700 degrees for cell 2 and "Set" for the name of input
// mixture 2; the window holds other values before the open.)
TEST_F(FileCommandsTest, AfterAnOpenTheVisiblePageShowsWhatWasReadAndOKActsOnIt) {
    struct Case {
        const char* Title;
        int Page;
        QAction* Command;
        const char* Chosen; // in the temporary folder
        std::function<void()> StepToTheRecord;
        std::function<void()> CheckShown;
        std::function<void()> EditOKAndCheck;
    };
    TForm1& f = *Form;
    const std::vector<Case> cases = {
        {"readings, Open All", ReadingsPage, f.OpenAll1, "rig.CEL", [] {},
         [&] { EXPECT_EQ(f.ValueListEditor3->Value(2), "   5.0"); },
         [&] {
             TypeValue(*f.ValueListEditor3, 2, "7");
             ClickOK(ReadingsPage);
             EXPECT_EQ(Flowmeters[2].Reading, 7);
         }},
        {"flowmeters, Open Mixer", FlowmeterPage, f.MixerOutline1, "rig.MIX",
         [&] { StepUp(*f.SpinEdit1, 2); },
         [&] { EXPECT_EQ(f.ValueListEditor2->Value(1), "Saved"); },
         [&] {
             TypeValue(*f.ValueListEditor2, 1, "Typed");
             ClickOK(FlowmeterPage);
             EXPECT_EQ(Flowmeters[3].Make.Str(), "Typed");
         }},
        {"cells, Open Calibrations", CellPage, f.Calibrations1, "rig.CAL",
         [&] { StepUp(*f.SpinEditOutPutCells); },
         [&] {
             EXPECT_EQ(CurrentTable, CellTable);
             EXPECT_EQ(f.ValueListEditor4->Value(2), "25.0") << "the cells were not opened";
             EXPECT_EQ(f.CalGrid1->Cell(1, 4), "Saved") << "the curves were";
         },
         [&] {
             TypeValue(*f.ValueListEditor4, 2, "900");
             ClickOK(CellPage);
             EXPECT_EQ(Cells[2].Temperature, 900);
         }},
        {"input mixtures, Open Input Gases", InputPage, f.InputGases1, "rig.INP",
         [&] { StepUp(*f.SpinEditINP); }, [&] { EXPECT_EQ(f.Edit2->text(), "Set"); },
         [&] {
             f.Edit2->setText(QStringLiteral("Typed"));
             ClickOK(InputPage);
             EXPECT_EQ(InputMixtures[2].Name.Str(), "Typed");
         }},
        {"calibration curves, Open All", CalibrationPage, f.OpenAll1, "rig.INP", [] {},
         [&] { EXPECT_EQ(f.CalGrid1->Cell(1, 4), "Saved"); },
         [&] {
             TypeInto(*f.CalGrid1, 3, 1, QStringLiteral("Typed"));
             ClickOK(CalibrationPage);
             EXPECT_EQ(Calibrations[4].Make.Str(), "Typed");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        SetInputMix(2, {{"Ar", 1.0}});
        InputMixtures[2].Name.Set("Set");
        Flowmeters[2].Reading = 5;
        Flowmeters[3].Make.Set("Saved");
        Calibrations[4].Make.Set("Saved");
        Cells[2].Temperature = 700;
        SaveFileSet(TempPath("rig"));
        InputMixtures[2].Name.Set("Before");
        Flowmeters[2].Reading = 9;
        Flowmeters[3].Make.Set("Before");
        Calibrations[4].Make.Set("Before");
        Cells[2].Temperature = 25;

        ShowPage(c.Page);
        AnswerDialogs({Q(TempPath(c.Chosen))});
        c.Command->trigger();
        c.StepToTheRecord();
        c.CheckShown();
        c.EditOKAndCheck();
        // The edit was the user's: discard it before the next case opens the set again.
        AnswerMessageBoxes({QMessageBox::Discard});
        AnswerDialogs({Q(TempPath("rig.INP"))});
        Form->OpenAll1->trigger();
        ShowPage(InputPage);
    }
}

TEST_F(FileCommandsTest, TheTitleNamesTheSetAndMarksItModifiedUntilSavedOrOpened) {
    SaveFileSet(DefaultBase());
    EXPECT_EQ(Form->windowTitle(), "Default[*] - Quorvane");
    EXPECT_FALSE(Form->isWindowModified());

    // An OK that changes a stored byte marks it; rounding to the shown precision counts.
    Flowmeters[4].Reading = 12.34;
    ShowPage(ReadingsPage);
    ClickOK(ReadingsPage);
    EXPECT_TRUE(Form->isWindowModified());
    EXPECT_TRUE(Form->Modified(MixerFileRow));
    EXPECT_FALSE(Form->Modified(CellFileRow));

    // A save of that kind clears it; Save All As names the new set.
    Form->Mixer1->trigger();
    EXPECT_FALSE(Form->isWindowModified());
    TypeValue(*Form->ValueListEditor3, 1, "3");
    ClickOK(ReadingsPage);
    EXPECT_TRUE(Form->isWindowModified());
    AnswerDialogs({Q(TempPath("bench.INP"))});
    Form->SaveAllAs1->trigger();
    EXPECT_EQ(Form->windowTitle(), "bench[*] - Quorvane");
    EXPECT_FALSE(Form->isWindowModified());

    // OK without a change, and Calculate's own fields, do not mark it.
    ClickOK(ReadingsPage);
    Flowmeters[1].Flow = 12;
    Cells[1].State = CellRunState::Converged;
    EXPECT_FALSE(Form->isWindowModified());

    // A click in the curve editor that changes a point marks the curves.
    ShowPage(CalibrationPage);
    TNTabEd& editor = *Form->CalCurveEdit;
    const auto clickCell = [&](int col, int row) {
        editor.SetLeftCol(1);
        editor.SetTopRow(1);
        QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::NoModifier,
                          editor.visualRect(editor.model()->index(row - 1, col - 1)).center());
        QApplication::processEvents();
    };
    clickCell(1, 1);
    EXPECT_FALSE(Form->isWindowModified()) << "a click that changes no point";
    editor.SetElem(2, 1, 42.5);
    clickCell(1, 2);
    EXPECT_TRUE(Form->Modified(CalibrationFileRow));
    EXPECT_EQ(Calibrations[1].Point[1].Flow, 42.5);

    // A single open names the files when the set is no longer one.
    AnswerMessageBoxes({QMessageBox::Discard});
    AnswerDialogs({Q(DefaultBase() + ".CAL")});
    Form->Calibrations1->trigger();
    EXPECT_FALSE(Form->isWindowModified()) << "the file read is as it was saved";
    EXPECT_EQ(Form->windowTitle(), "bench.INP, bench.MIX, Default.CAL, bench.CEL[*] - Quorvane");
}

TEST_F(FileCommandsTest, UnsavedChangesAreNeverDroppedWithoutAsking) {
    SaveFileSet(DefaultBase());
    const auto edit = [this](const char* reading) {
        ShowPage(ReadingsPage);
        TypeValue(*Form->ValueListEditor3, 1, reading);
        ClickOK(ReadingsPage);
        ASSERT_TRUE(Form->isWindowModified());
    };
    const std::string set = "\nSave them to Default?";

    // Cancel: nothing happens, no dialog opens, the change stays.
    edit("33");
    AnswerMessageBoxes({QMessageBox::Cancel});
    Form->OpenAll1->trigger();
    EXPECT_TRUE(DialogsShown.empty());
    EXPECT_EQ(Flowmeters[1].Reading, 33);
    EXPECT_EQ(MessageBoxesShown,
              std::vector<QString>{Q("The rig has changes that are not saved." + set)});

    // Discard: the open goes on and reads the files.
    AnswerMessageBoxes({QMessageBox::Discard});
    AnswerDialogs({Q(DefaultBase() + ".MIX")});
    Form->MixerOutline1->trigger();
    EXPECT_EQ(Flowmeters[1].Reading, 0);
    EXPECT_FALSE(Form->isWindowModified());

    // Save: writes what Save All writes, to the current names, then goes on.
    edit("33");
    AnswerMessageBoxes({QMessageBox::Save});
    AnswerDialogs({Q(DefaultBase() + ".INP")});
    Form->OpenAll1->trigger();
    EXPECT_EQ(Flowmeters[1].Reading, 33) << "saved, then read back";
    EXPECT_FALSE(Form->isWindowModified());

    // Only a change that the open would replace is asked about.
    edit("44");
    AnswerDialogs({Q(DefaultBase() + ".CEL")});
    Form->OutputCells1->trigger();
    EXPECT_TRUE(Form->isWindowModified()) << "the readings are not in the cells file";

    // Exit and closing the window ask too; Cancel keeps the window open.
    AnswerMessageBoxes({QMessageBox::Cancel, QMessageBox::Discard});
    Form->Exit1->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(Form->isVisible());
    Form->close();
    QApplication::processEvents();
    EXPECT_FALSE(Form->isVisible());
}

TEST_F(FileCommandsTest, ASaveThatFailsKeepsTheChangesAndTheQuestionStops) {
    ShowPage(ReadingsPage);
    TypeValue(*Form->ValueListEditor3, 1, "33");
    ClickOK(ReadingsPage);
    MixerFileName = TempPath("no such folder/rig.MIX");
    AnswerMessageBoxes({QMessageBox::Save});
    Form->OpenAll1->trigger();
    EXPECT_TRUE(DialogsShown.empty()) << "the open did not go on";
    EXPECT_TRUE(Form->Modified(MixerFileRow));
    EXPECT_EQ(Flowmeters[1].Reading, 33);
    EXPECT_EQ(Form->Message1->text(),
              Q("Could not save " + MixerFileName + ": No such file or directory"));
    EXPECT_TRUE(QFileInfo::exists(Q(DefaultBase() + ".CEL"))) << "the others were written";
}

// The open dialog itself, not an answer in its place: the name is typed into it and confirmed
// with Enter. Returns false when the dialog refused the name ("File not found"); its message is
// closed and the dialog cancelled.
bool TypeIntoTheOpenDialog(QAction& command, const QString& typed) {
    bool typedIn = false;
    bool refused = false;
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            refused = true;
            box->done(QMessageBox::Ok);
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return;
        if (refused) {
            dialog->reject();
            return;
        }
        if (typedIn)
            return;
        typedIn = true;
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) {
            ADD_FAILURE() << "the dialog has no name field";
            dialog->reject();
            return;
        }
        name->setText(typed);
        // Pressed after this handler returns: the dialog may open a message in a loop of its
        // own, which this timer must then be free to close.
        QMetaObject::invokeMethod(
            name, [name] { QTest::keyClick(name, Qt::Key_Return); }, Qt::QueuedConnection);
    });
    driver.start();
    command.trigger();
    driver.stop();
    EXPECT_TRUE(typedIn) << "no dialog was shown";
    return !refused;
}

TEST_F(FileCommandsTest, OpenAllTakesTheBaseNameOfASet) {
    TFileDialog::Answer = nullptr;
    Cells[8].Name.Set("eight");
    SaveFileSet(TempPath("MyRig"));
    QFile::remove(Q(TempPath("MyRig.CAL")));
    struct Case {
        const char* Typed;
        const char* DefaultExt; // left on the shared dialog by an earlier command
        bool Taken;
    };
    const Case cases[] = {
        {"MyRig", "", true},
        {"MyRig", "CAL", true}, // MyRig.CAL is missing, the rest of the set is there
        {"MyRig.MIX", "", true},
        {"NoSuchRig", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Typed) + " ." + c.DefaultExt);
        Cells[8].Name.Set("");
        InputFileName.clear();
        Form->OpenDialog1.DefaultExt = QString::fromLatin1(c.DefaultExt);
        EXPECT_EQ(TypeIntoTheOpenDialog(*Form->OpenAll1, Q(TempPath(c.Typed))), c.Taken);
        EXPECT_EQ(Cells[8].Name.Str(), c.Taken ? "eight" : "");
        EXPECT_EQ(InputFileName, c.Taken ? TempPath("MyRig.INP") : "");
    }
    // Opening one file still needs the file.
    CalibrationFileName.clear();
    EXPECT_FALSE(TypeIntoTheOpenDialog(*Form->Calibrations1, Q(TempPath("MyRig"))));
    EXPECT_EQ(CalibrationFileName, "");
}

} // namespace
