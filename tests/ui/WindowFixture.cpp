// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowFixture.h"

#include "core/Defaults.h"
#include "core/WindowInterface.h"
#include "files/StartUp.h"
#include "ui/ValueListEditor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

void WindowTest::SetUp() {
    ASSERT_TRUE(Temp.isValid());
    ResetProgramState();
    DefaultSetupLocation = DefaultBase();
    TFileDialog::Answer = [this](const TFileDialog& dialog) -> std::optional<QString> {
        DialogsShown.push_back(
            {dialog.DialogKind(), dialog.Filter, dialog.DefaultExt, dialog.InitialDir});
        if (FAnswers.empty()) {
            ADD_FAILURE() << "a file dialog was shown that the test did not expect";
            return std::nullopt;
        }
        const QString answer = FAnswers.takeFirst();
        if (answer.isNull())
            return std::nullopt;
        return answer;
    };
}

void WindowTest::StartProgram() {
    Form = std::make_unique<TForm1>();
    Form->KeepPauses = false;
    SetWindow(Form.get());
    InstallDefaults();
    Form->show();
    QApplication::processEvents();
}

void WindowTest::TearDown() {
    FBoxAnswerer.reset();
    EXPECT_TRUE(FBoxAnswers.empty()) << "a message box the test expected was not shown";
    SetWindow(nullptr);
    Form.reset();
    TFileDialog::Answer = nullptr;
    DefaultSetupLocation = FactorySetupLocation;
    ShowEquilibrium = ShowLogarithmic = 1;
}

std::string WindowTest::TempPath(const std::string& name) const {
    return Temp.path().toStdString() + "/" + name;
}

void WindowTest::ShowPage(int page) {
    QTabBar* bar = Form->PageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(page).center());
    QApplication::processEvents();
    ASSERT_EQ(Form->PageControl1->currentIndex(), page);
}

namespace {

// Opens the cell's editor and types the text into it as the user does; the editor, or null.
QLineEdit* OpenEditorAndType(QAbstractItemView& view, int row, int column, const QString& text) {
    const QModelIndex index = view.model()->index(row, column);
    if (!index.isValid()) {
        ADD_FAILURE() << "no cell " << row << "," << column;
        return nullptr;
    }
    view.setCurrentIndex(index);
    view.edit(index);
    QLineEdit* editor = nullptr;
    for (QLineEdit* candidate : view.viewport()->findChildren<QLineEdit*>())
        if (candidate->isVisible())
            editor = candidate;
    if (!editor) {
        ADD_FAILURE() << "the cell did not open an editor";
        return nullptr;
    }
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    // Letters beyond ASCII come as the keyboard sends them: a key event carrying the letter.
    for (const QChar ch : text) {
        if (ch.unicode() < 128)
            QTest::keyClick(editor, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    return editor;
}

} // namespace

void WindowTest::TypeInto(QAbstractItemView& view, int row, int column, const QString& text) {
    if (QLineEdit* editor = OpenEditorAndType(view, row, column, text))
        QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
}

void WindowTest::TypeLeavingTheEditorOpen(QAbstractItemView& view, int row, int column,
                                          const QString& text) {
    OpenEditorAndType(view, row, column, text);
    QApplication::processEvents();
}

void WindowTest::TypeValue(TValueListEditor& table, int row, const QString& text) {
    TypeInto(table, row - 1, 1, text);
}

void WindowTest::TypeKey(TValueListEditor& table, int row, const QString& text) {
    TypeInto(table, row - 1, 0, text);
}

void WindowTest::ClickOK(int page) {
    Click(*Form->OKButton[page]);
}

void WindowTest::Click(QWidget& widget) {
    QTest::mouseClick(&widget, Qt::LeftButton);
    QApplication::processEvents();
}

void WindowTest::StepUp(QSpinBox& selector, int times) {
    for (int i = 0; i < times; ++i)
        QTest::keyClick(&selector, Qt::Key_Up);
    QApplication::processEvents();
}

void WindowTest::StepDown(QSpinBox& selector, int times) {
    for (int i = 0; i < times; ++i)
        QTest::keyClick(&selector, Qt::Key_Down);
    QApplication::processEvents();
}

void WindowTest::AnswerDialogs(const std::vector<std::optional<QString>>& answers) {
    FAnswers.clear();
    for (const std::optional<QString>& answer : answers)
        FAnswers << (answer ? *answer : QString());
}

void WindowTest::AnswerMessageBoxes(const std::vector<QMessageBox::StandardButton>& answers) {
    FBoxAnswers = answers;
    FBoxAnswerer = std::make_unique<QTimer>();
    FBoxAnswerer->setInterval(5);
    QObject::connect(FBoxAnswerer.get(), &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (FBoxAnswers.empty()) {
            ADD_FAILURE() << "a message box was shown that the test did not expect: "
                          << box->text().toStdString();
            box->reject();
            return;
        }
        MessageBoxesShown.push_back(box->text() + QLatin1Char('\n') + box->informativeText());
        QAbstractButton* button = box->button(FBoxAnswers.front());
        FBoxAnswers.erase(FBoxAnswers.begin());
        if (!button) {
            ADD_FAILURE() << "the message box has no such button";
            box->reject();
            return;
        }
        button->click();
    });
    FBoxAnswerer->start();
}
