// The File menu through answered dialogs.
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"

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
