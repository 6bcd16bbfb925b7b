// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh program with its real main window for every test: the window is created, the
// defaults are installed from a default file set in a temporary folder (empty unless the test
// puts files there), and the window is shown offscreen. Status-line pauses return at once.
#pragma once

#include "support/TestSetup.h"
#include "ui/MainWindow.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class QAbstractItemView;
class TValueListEditor;

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

enum PageIndex {
    InputPage = 0,
    FlowmeterPage = 1,
    CalibrationPage = 2,
    CellPage = 3,
    ReadingsPage = 4
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program: creates the window, installs the defaults and shows the window.
    void StartProgram();
    std::string TempPath(const std::string& name) const;
    std::string DefaultBase() const { return TempPath("Default"); }

    // --- acting as the user ---
    // Clicks the tab of a page.
    void ShowPage(int page);
    // Types into a cell as the user does: opens the cell's editor, replaces its text, Enter.
    void TypeInto(QAbstractItemView& view, int row, int column, const QString& text);
    // The same without the closing Enter: the cell's editor stays open.
    void TypeLeavingTheEditorOpen(QAbstractItemView& view, int row, int column,
                                  const QString& text);
    void TypeValue(TValueListEditor& table, int row, const QString& text);
    void TypeKey(TValueListEditor& table, int row, const QString& text);
    // Clicks the OK button of the page on which it sits.
    void ClickOK(int page);
    void Click(QWidget& widget);
    // Steps an index selector with its up or down arrow key.
    void StepUp(QSpinBox& selector, int times = 1);
    void StepDown(QSpinBox& selector, int times = 1);
    // Answers the next file dialogs with these names (nothing for Cancel), in order, and
    // records the dialogs that were shown.
    void AnswerDialogs(const std::vector<std::optional<QString>>& answers);

    // Answers the message boxes that open from now on with these buttons, in order, and records
    // each box's text and informative text, joined by a line break.
    void AnswerMessageBoxes(const std::vector<QMessageBox::StandardButton>& answers);
    std::vector<QString> MessageBoxesShown;

    struct ShownDialog {
        TFileDialog::Kind Kind;
        QString Filter;
        QString DefaultExt;
        QString InitialDir;
    };
    std::vector<ShownDialog> DialogsShown;

    QTemporaryDir Temp;
    std::unique_ptr<TForm1> Form;

private:
    QStringList FAnswers; // a null text answers Cancel
    std::vector<QMessageBox::StandardButton> FBoxAnswers;
    std::unique_ptr<QTimer> FBoxAnswerer;
};

// The program already started with no default files.
class StartedWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
    }
};
