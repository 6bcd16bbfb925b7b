// The File menu through answered dialogs.
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTableWidget>

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
    EXPECT_EQ(CurrentTable, CalibrationTable) << "the calibration page was refilled";

    ASSERT_EQ(DialogsShown.size(), 2u);
    EXPECT_EQ(DialogsShown[0].Kind, TFileDialog::Kind::Save);
    EXPECT_TRUE(DialogsShown[0].Filter.isEmpty());
    EXPECT_EQ(DialogsShown[1].Kind, TFileDialog::Kind::Open);
    EXPECT_EQ(DialogsShown[1].Filter, "*.INP,*.MIX,*.CAL,*.CEL;");
    for (const ShownDialog& d : DialogsShown)
        EXPECT_EQ(d.InitialDir, QCoreApplication::applicationDirPath());
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

TEST_F(FileCommandsTest, FailedSaveIsReportedOnTheStatusLine) {
    AnswerDialogs({Q(TempPath("no/such/folder/rig.INP"))});
    Form->InputMixtures2->trigger();
    EXPECT_TRUE(Form->Message1->text().startsWith("Could not save"))
        << Form->Message1->text().toStdString();
    EXPECT_EQ(Form->Message1->palette().color(QPalette::Window), QColor(255, 0, 0));
}

} // namespace
