// SPDX-License-Identifier: GPL-3.0-or-later
// The window at start-up, its captions, the status line, About and Exit.
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"

#include "tableeditor/Vexa_ntabed.h"
#include "ui/ValueListEditor.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTabBar>
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
              QStringList({"&File", "&Calculate Start", "&Tools", "About"}));
    EXPECT_EQ(Captions(Form->Tools1->actions()),
              QStringList({"Messages\u2026", "Find setting\u2026"}));
    QMenu* file = Form->menuBar()->actions()[0]->menu();
    EXPECT_EQ(Captions(file->actions()), QStringList({"Open All", "&Open", "&Save", "Save As",
                                                      "Save All", "Save All As", "E&xit"}));
    const QStringList kinds = {"&Input Gases and Mixtures (*.INP)", "Mixer", "Calibrations"};
    EXPECT_EQ(Captions(file->actions()[1]->menu()->actions()), kinds + QStringList{"&OutputCells"});
    EXPECT_EQ(Captions(file->actions()[2]->menu()->actions()), kinds + QStringList{"&OutputCells"});
    EXPECT_EQ(Captions(file->actions()[3]->menu()->actions()), kinds + QStringList{"OutputCells"});
    const char* pages[] = {"Input gases && mixtures", "Flowmeters",
                           "Calibration curves",      "Output cells",
                           "Flowneter readings",      "Plots"};
    ASSERT_EQ(Form->PageControl1->count(), 6);
    for (int i = 0; i < 6; ++i)
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
    EXPECT_TRUE(
        shown.contains(QRegularExpression(QStringLiteral("\nQuorvane version \\d+\\.\\d+"))))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains("Species data: ")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("GNU General Public License, version 3 or any later version"))
        << shown.toStdString();

    Flowmeters[1].Reading = 99; // not a change of the user's: Exit asks nothing
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

// At 1024 x 700 every control of every page can be reached: a page that does not fit scrolls.
TEST_F(MainWindowTest, EveryControlOfEveryPageCanBeReachedAt1024By700) {
    Form->resize(1024, 700);
    QApplication::processEvents();
    ASSERT_EQ(Form->size(), QSize(1024, 700));
    for (int page = 0; page < Form->PageControl1->count(); ++page) {
        ShowPage(page);
        auto* area = qobject_cast<QScrollArea*>(Form->PageControl1->widget(page));
        ASSERT_NE(area, nullptr) << page;
        int controls = 0;
        for (QWidget* control : area->widget()->findChildren<QWidget*>()) {
            const bool isControl = qobject_cast<QAbstractButton*>(control) ||
                                   qobject_cast<QAbstractSpinBox*>(control) ||
                                   qobject_cast<QLineEdit*>(control) ||
                                   qobject_cast<QAbstractItemView*>(control);
            if (!isControl || control->parentWidget() != area->widget())
                continue;
            ++controls;
            // Scrolled to it as a whole (a view would scroll only to its current cell).
            const QRect place = control->geometry();
            area->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + 1,
                                place.height() / 2 + 1);
            QApplication::processEvents();
            const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
            EXPECT_TRUE(area->viewport()->rect().contains(shown))
                << "page " << page << ": " << control->metaObject()->className() << " at "
                << shown.x() << "," << shown.y() << " size " << shown.width() << "x"
                << shown.height() << " in a view of " << area->viewport()->width() << "x"
                << area->viewport()->height();
        }
        EXPECT_GE(controls, 2) << page; // a table and an OK button at least
    }
}

// The results table takes the page's remaining height, the switches stay under it, and every
// tab's caption is shown whole.
TEST_F(MainWindowTest, TheResultsTakeTheRemainingHeightAndTabCaptionsShowWhole) {
    ShowPage(CellPage);
    const int tableHeight = Form->CellTabEd->height();
    const int gap = Form->Button3->y() - Form->CellTabEd->geometry().bottom();
    Form->resize(1264, 1100);
    QApplication::processEvents();
    const int grown = Form->CellTabEd->height() - tableHeight;
    EXPECT_GT(grown, 100);
    EXPECT_EQ(Form->Button3->y() - Form->CellTabEd->geometry().bottom(), gap);
    const QWidget* page = Form->CellTabEd->parentWidget();
    EXPECT_EQ(page->height() - Form->Button3->geometry().bottom(),
              page->height() - Form->Button5->geometry().bottom());
    EXPECT_LT(page->height() - Form->Button3->geometry().bottom(), 10) << "at the bottom";

    const QTabBar& tabs = *Form->PageControl1->tabBar();
    EXPECT_EQ(tabs.elideMode(), Qt::ElideNone);
    for (int i = 0; i < tabs.count(); ++i) {
        const QString caption = tabs.tabText(i).replace(QStringLiteral("&&"), QStringLiteral("&"));
        EXPECT_GE(tabs.tabRect(i).width(), tabs.fontMetrics().horizontalAdvance(caption))
            << caption.toStdString();
    }
}

// Every key of the parameter tables tells its unit and meaning.
TEST_F(MainWindowTest, EveryKeyOfTheParameterTablesHasATooltip) {
    struct Case {
        int Page;
        TValueListEditor* Table;
        int Rows;
        int Row;
        const char* Says;
    };
    const Case cases[] = {
        {InputPage, Form->ValueListEditor1, 12, 3, "mole fraction"},
        {FlowmeterPage, Form->ValueListEditor2, 11, 8, "degrees Celsius"},
        {FlowmeterPage, Form->ValueListEditor2, 11, 4, "I1 to I16"},
        {CellPage, Form->ValueListEditor4, 9, 2, "degrees Celsius"},
        {CellPage, Form->ValueListEditor4, 9, 3, "bar"},
        {CellPage, Form->ValueListEditor4, 9, 6, "mole fraction"},
        {ReadingsPage, Form->ValueListEditor3, 16, 16, "unit of the curve's flows"},
    };
    for (const Case& c : cases) {
        ShowPage(c.Page);
        SCOPED_TRACE(c.Table->Key(c.Row).toStdString());
        EXPECT_TRUE(c.Table->RowTip(c.Row).contains(QString::fromLatin1(c.Says)))
            << c.Table->RowTip(c.Row).toStdString();
        // The input table's keys are the gases, which the user types: even an empty one says
        // what goes there. Rows without a key have no tip.
        for (int row = 1; row <= c.Table->RowCount(); ++row)
            EXPECT_EQ(!c.Table->RowTip(row).isEmpty(),
                      row <= c.Rows && (c.Page == InputPage || !c.Table->Key(row).isEmpty()))
                << row;
    }
}

} // namespace
