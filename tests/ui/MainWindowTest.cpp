// The window at start-up, its captions, the status line, About and Exit.
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

namespace {

QStringList Captions(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* a : actions)
        if (!a->isSeparator())
            texts << a->text();
    return texts;
}

using MainWindowTest = StartedWindowTest;

TEST_F(MainWindowTest, StartsOnTheFirstPageWithTheProductCaption) {
    EXPECT_EQ(Form->PageControl1->currentIndex(), InputPage);
    EXPECT_EQ(CurrentTable, InputMixtureTable) << "the first page's show routine ran";
    EXPECT_EQ(Form->Message1->text(), TForm1::ProductCaption);
    EXPECT_EQ(Form->Message1->palette().color(QPalette::Window), QColor(Qt::yellow));
    const char* labels[] = {"Inp", "Mix", "Cal", "Out"};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Form->LoadedSetupFilesGrid->item(row, 0)->text(), labels[row]);
        EXPECT_TRUE(Form->LoadedSetupFilesGrid->item(row, 1)->text().isEmpty());
    }
    EXPECT_EQ(CurrentCalCurve, 1);
}

TEST_F(MainWindowTest, MenusAndPagesCarryTheirCaptions) {
    EXPECT_EQ(Captions(Form->menuBar()->actions()),
              QStringList({"&File", "&Calculate Start", "About"}));
    QMenu* file = Form->menuBar()->actions()[0]->menu();
    EXPECT_EQ(Captions(file->actions()), QStringList({"Open All", "&Open", "&Save", "Save As",
                                                      "Save All", "Save All As", "E&xit"}));
    const QStringList kinds = {"&Input Gases and Mixtures (*.INP)", "Mixer", "Calibrations"};
    EXPECT_EQ(Captions(file->actions()[1]->menu()->actions()), kinds + QStringList{"&OutputCells"});
    EXPECT_EQ(Captions(file->actions()[2]->menu()->actions()), kinds + QStringList{"&OutputCells"});
    EXPECT_EQ(Captions(file->actions()[3]->menu()->actions()), kinds + QStringList{"OutputCells"});
    const char* pages[] = {"Input gases && mixtures", "Flowmeters", "Calibration curves",
                           "Output cells", "Flowneter readings"};
    ASSERT_EQ(Form->PageControl1->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Form->PageControl1->tabText(i), pages[i]);
}

TEST_F(MainWindowTest, StatusMessageKeepsItsColourUntilTheNext) {
    ShowStatusError("first", 0);
    ShowStatusInfo("second", 0);
    EXPECT_EQ(Form->Message1->text(), "second");
    EXPECT_EQ(Form->Message1->palette().color(QPalette::Window), QColor(0, 0, 255));
    ShowPage(FlowmeterPage);
    EXPECT_EQ(Form->Message1->text(), "second");
}

TEST_F(MainWindowTest, AboutShowsTheContactAndExitCloses) {
    QString shown;
    QTimer::singleShot(0, Form.get(), [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->accept();
    });
    Form->AboutAction->trigger();
    EXPECT_TRUE(shown.startsWith("For more information, contact ")) << shown.toStdString();

    Flowmeters[1].Reading = 99; // unsaved: Exit asks nothing
    Form->Exit1->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(Form->isVisible());
}

using StartupTest = WindowTest;

TEST_F(StartupTest, DefaultFilesAreReadAndListed) {
    SetInputMix(5, {{"o2", 1}});
    Cells[3].Name.Set("From file");
    InputFileName = DefaultBase() + ".INP";
    CellFileName = DefaultBase() + ".CEL";
    SaveInputFile();
    SaveCellFile();
    InputMixtures = {};
    Cells = {};
    for (auto& row : LoadedSetupFiles)
        row[1].clear();

    StartProgram();
    EXPECT_EQ(Form->Message1->text(), "Input mix 5 not properly defined");
    EXPECT_EQ(Cells[3].Name.Str(), "From file");
    EXPECT_EQ(Form->LoadedSetupFilesGrid->item(0, 1)->text().toStdString(), DefaultBase() + ".INP");
    EXPECT_TRUE(Form->LoadedSetupFilesGrid->item(1, 1)->text().isEmpty());
    EXPECT_TRUE(Form->LoadedSetupFilesGrid->item(2, 1)->text().isEmpty());
    EXPECT_EQ(Form->LoadedSetupFilesGrid->item(3, 1)->text().toStdString(), DefaultBase() + ".CEL");
}

} // namespace
