// SPDX-License-Identifier: GPL-3.0-or-later
// The message history and the warnings indicator, and the status line's pause that goes on
// painting but takes no input.
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "core/WindowInterface.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"
#include "ui/MessageHistory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <functional>

namespace {

using MessageHistoryTest = StartedWindowTest;

QString Row(const TMessageHistory& history, int row) {
    const HistoryMessage& m = history.Messages()[std::size_t(row)];
    return TMessageHistory::KindName(m.Kind) + QStringLiteral(": ") + m.Text;
}

// Argon through flowmeter 1 into node 1, feeding cell 1 alone, read through a curve that
// names no gas: one warning of the rig check.
void RigWithOneWarning() {
    FeedCellOneAlone({{"Ar", 1.0}});
    Cells[1].LeakO2 = Cells[1].LeakH2O = 0;
    SetConstantGasFlow(1, 1, "", 2.0);
    Flowmeters[1].Reading = 1; // the curve's one point: not above its largest reading
}

TEST_F(MessageHistoryTest, EveryMessageAndWarningIsKeptWithItsTime) {
    TMessageHistory& history = Form->History();
    const int before = history.rowCount();
    const QDateTime start = QDateTime::currentDateTime();
    ShowStatusError("first", 0);
    ShowWarning("a warning");
    ShowStatusInfo("second", 0);
    ASSERT_EQ(history.rowCount(), before + 3);
    EXPECT_EQ(Row(history, before), "Error: first");
    EXPECT_EQ(Row(history, before + 1), "Warning: a warning");
    EXPECT_EQ(Row(history, before + 2), "Info: second");
    for (int row = before; row < before + 3; ++row) {
        const QDateTime time = history.Messages()[std::size_t(row)].Time;
        EXPECT_GE(time, start);
        EXPECT_LE(time, QDateTime::currentDateTime());
    }
    // The status line shows the last status message; the warning is not one.
    EXPECT_EQ(Form->Message1->text(), "second");
    EXPECT_EQ(history.data(history.index(before, TMessageHistory::TextColumn), Qt::DisplayRole),
              "first");

    // The history keeps the last messages of a run that is left going.
    for (int i = 0; i < TMessageHistory::Capacity + 5; ++i)
        ShowStatusInfo("pass " + std::to_string(i), 0);
    EXPECT_EQ(history.rowCount(), TMessageHistory::Capacity);
    EXPECT_EQ(Row(history, TMessageHistory::Capacity - 1),
              "Info: pass " + QString::number(TMessageHistory::Capacity + 4));
}

TEST_F(MessageHistoryTest, OpenedFromTheStatusLineTheToolsMenuAndTheIndicator) {
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"a click on the status line", [&] { Click(*Form->Message1); }},
        {"Tools, Messages...", [&] { Form->Messages1->trigger(); }},
        {"the warnings indicator",
         [&] {
             ShowWarning("something to see");
             Click(*Form->WarningsIndicator);
         }},
    };
    for (const auto& [title, open] : ways) {
        SCOPED_TRACE(title);
        if (Form->HistoryDialog())
            Form->HistoryDialog()->close();
        open();
        ASSERT_NE(Form->HistoryDialog(), nullptr);
        EXPECT_TRUE(Form->HistoryDialog()->isVisible());
    }
    // The open dialog takes in a new message, and Copy gives the whole history as text.
    QTableView& table = *Form->HistoryDialog()->Table();
    const int rows = table.model()->rowCount();
    ShowStatusError("while it is open", 0);
    EXPECT_EQ(table.model()->rowCount(), rows + 1);
    Form->HistoryDialog()->CopyAll();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.endsWith(QStringLiteral("\tError\twhile it is open\n")))
        << copied.toStdString();
    EXPECT_EQ(copied.count(QLatin1Char('\n')), rows + 1);
}

TEST_F(MessageHistoryTest, TheIndicatorCountsTheWarningsOfTheRigAsItIs) {
    // The default set is missing: each file a warning with the system's reason.
    EXPECT_EQ(Form->WarningCount(), 4);
    EXPECT_EQ(Form->WarningsIndicator->text(), "4 warnings");
    EXPECT_EQ(Row(Form->History(), 0),
              QString::fromStdString("Warning: Could not read " + DefaultBase() +
                                     ".INP: No such file or directory; "
                                     "the input gases and mixtures are "
                                     "left as they were"));

    // Calculate starts the count afresh with the rig check's warnings.
    RigWithOneWarning();
    Form->Run1->trigger();
    EXPECT_EQ(Form->WarningCount(), 1);
    EXPECT_EQ(Form->WarningsIndicator->text(), "1 warning");
    EXPECT_TRUE(Form->WarningsIndicator->isVisibleTo(Form.get()));
    // In the history as a warning, and on no status line.
    QStringList warnings;
    QStringList statusLines;
    for (const HistoryMessage& m : Form->History().Messages())
        (m.Kind == MessageKind::Warning ? warnings : statusLines) << m.Text;
    EXPECT_EQ(warnings.last(), "Flowmeter 1 reads Ar through curve 1, which names no gas");
    EXPECT_FALSE(statusLines.contains(warnings.last()));

    // A rig without warnings hides the indicator; so does Open All of a set that is whole.
    Calibrations[1].Gas.Set("Ar");
    Form->Run1->trigger();
    EXPECT_EQ(Form->WarningCount(), 0);
    EXPECT_FALSE(Form->WarningsIndicator->isVisibleTo(Form.get()));
    ShowWarning("left from before");
    SaveFileSet(TempPath("whole"));
    AnswerDialogs({QString::fromStdString(TempPath("whole.INP"))});
    Form->OpenAll1->trigger();
    EXPECT_EQ(Form->WarningCount(), 0);
}

// The status line's pause goes on painting what needs it, and drops the user's input. A
// timer acts as the user while the pause lasts.
TEST_F(MessageHistoryTest, ThePauseRepaintsTheWindowButTakesNoInput) {
    struct PaintWatch : QObject {
        const TForm1* Form = nullptr;
        int PaintsInPause = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && Form->InPause())
                ++PaintsInPause;
            return false;
        }
    } watch;
    watch.Form = Form.get();
    Form->Image1->installEventFilter(&watch);
    ShowPage(CellPage);

    // During the pause a part of the window needs painting, as when the window is uncovered;
    // later the user clicks, presses a key and closes the window.
    QTimer::singleShot(30, Form.get(), [&] { Form->Image1->update(); });
    bool actedDuringThePause = false;
    int paintsBeforeTheInput = 0;
    QTimer::singleShot(150, Form.get(), [&] {
        actedDuringThePause = Form->InPause();
        paintsBeforeTheInput = watch.PaintsInPause;
        Click(*Form->Button3);
        QTest::keyClick(Form->SpinEditOutPutCells, Qt::Key_Up);
        Form->close();
    });
    Form->KeepPauses = true;
    QElapsedTimer clock;
    clock.start();
    ShowStatusError("A failure held for its pause", 0.3);
    const qint64 held = clock.elapsed();
    Form->KeepPauses = false;

    EXPECT_GE(held, 300) << "the pause still holds the program";
    EXPECT_GT(paintsBeforeTheInput, 0) << "the window painted during the pause";
    EXPECT_TRUE(actedDuringThePause);
    EXPECT_EQ(Form->Button3->text(), "Logarithmic") << "the click was not taken";
    EXPECT_EQ(Form->SpinEditOutPutCells->value(), 1) << "the key was not taken";
    EXPECT_TRUE(Form->isVisible()) << "nor the close";
    EXPECT_FALSE(Form->InPause());

    // After the pause the window takes input again.
    Click(*Form->Button3);
    EXPECT_EQ(Form->Button3->text(), "Linear");
}

} // namespace
