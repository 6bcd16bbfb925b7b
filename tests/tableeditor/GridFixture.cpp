// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QTest>

void Flush() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

bool WaitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 1000);
}

void GridTest::SetUp() {
    Grid = std::make_unique<TNTabEd>(nullptr, QStringLiteral("TestGrid"));
    // Both grids of the program hide the attribute column and row.
    Grid->SetAttribRowVisible(false);
    Grid->SetDefaultRowHeight(18);
    Grid->resize(640, 420);
    Grid->show();
    Grid->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Grid.get()));
    Grid->setFocus();
    Flush();
}

void GridTest::TearDown() {
    CloseMenus();
    Grid.reset();
    QGuiApplication::clipboard()->clear();
    Flush();
}

void GridTest::CloseMenus() {
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    Flush();
}

QPoint GridTest::CellCenter(int col, int row) const {
    return Grid->visualRect(Grid->model()->index(row - 1, col - 1)).center();
}

QPoint GridTest::ColumnHeaderCenter(int col) const {
    QHeaderView* header = Grid->horizontalHeader();
    return QPoint(header->sectionViewportPosition(col - 1) + header->sectionSize(col - 1) / 2,
                  Grid->DefaultRowHeight() / 2);
}

QPoint GridTest::RowHeaderCenter(int row) const {
    QHeaderView* header = Grid->verticalHeader();
    return QPoint(Grid->GetColWidths(0) / 2,
                  header->sectionViewportPosition(row - 1) + header->sectionSize(row - 1) / 2);
}

QWidget* GridTest::Corner() const {
    return Grid->childAt(Grid->verticalHeader()->x() + 5, Grid->horizontalHeader()->y() + 5);
}

void GridTest::ClickCell(int col, int row) {
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(col, row));
    Flush();
}

void GridTest::DoubleClickCell(int col, int row) {
    QTest::mouseDClick(Grid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(col, row));
    Flush();
}

void GridTest::Type(const QString& text) {
    // Key by key: the first key may open the cell editor, which then takes the rest.
    for (const QChar ch : text) {
        QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        Flush();
    }
}

void GridTest::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    Flush();
}

void GridTest::SelectCells(int left, int top, int right, int bottom) {
    ClickCell(left, top);
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      CellCenter(right, bottom));
    Flush();
}

std::map<std::pair<int, int>, Rendered> GridTest::Render() {
    std::map<std::pair<int, int>, Rendered> drawn;
    Grid->OnBeforeRenderCell = [&drawn](int c, int r, QString& text, QColor& fg, QColor& bg,
                                        QFont& font) {
        drawn[{c, r}] = Rendered{text, fg, bg, font.bold()};
    };
    Grid->grab();
    Grid->OnBeforeRenderCell = nullptr;
    return drawn;
}

QString GridTest::Shown(int col, int row) {
    const auto drawn = Render();
    const auto it = drawn.find({col + Grid->ColOffset(), row + Grid->RowOffset()});
    EXPECT_NE(it, drawn.end()) << "cell " << col << "," << row << " was not drawn";
    return it == drawn.end() ? QString() : it->second.Text;
}

QString GridTest::CornerText() {
    const auto drawn = Render();
    const auto it = drawn.find({0, 0});
    return it == drawn.end() ? QStringLiteral("(not drawn)") : it->second.Text;
}

QMenu* GridTest::OpenDataMenu(int col, int row) {
    QTest::mousePress(Grid->viewport(), Qt::RightButton, Qt::NoModifier, CellCenter(col, row));
    Flush();
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QMenu* GridTest::OpenColumnMenu(int col) {
    QTest::mousePress(Grid->horizontalHeader()->viewport(), Qt::RightButton, Qt::NoModifier,
                      ColumnHeaderCenter(col));
    Flush();
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QMenu* GridTest::OpenRowMenu(int row) {
    QTest::mousePress(Grid->verticalHeader()->viewport(), Qt::RightButton, Qt::NoModifier,
                      RowHeaderCenter(row));
    Flush();
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QAction* GridTest::Item(QMenu* menu, const QString& caption) {
    if (!menu)
        return nullptr;
    for (QAction* action : menu->actions())
        if (action->text() == caption)
            return action;
    return nullptr;
}

void GridTest::Choose(QMenu* menu, const QStringList& path) {
    for (const QString& caption : path) {
        ASSERT_NE(menu, nullptr) << "no menu for " << caption.toStdString();
        QAction* action = Item(menu, caption);
        ASSERT_NE(action, nullptr) << "no item " << caption.toStdString();
        const QPoint at = menu->actionGeometry(action).center();
        if (QMenu* sub = action->menu()) {
            QTest::mouseMove(menu, at);
            QTest::mousePress(menu, Qt::LeftButton, Qt::NoModifier, at);
            ASSERT_TRUE(WaitFor([sub] { return sub->isVisible(); }))
                << "submenu " << caption.toStdString() << " did not open";
            menu = sub;
            continue;
        }
        QTest::mouseMove(menu, at);
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, at);
    }
    Flush();
}

void GridTest::DataCommand(int col, int row, const QStringList& path) {
    QMenu* menu = OpenDataMenu(col, row);
    ASSERT_NE(menu, nullptr) << "no data menu";
    Choose(menu, path);
}

void GridTest::ColumnCommand(int col, const QString& caption) {
    QMenu* menu = OpenColumnMenu(col);
    ASSERT_NE(menu, nullptr) << "no header menu";
    Choose(menu, {caption});
    CloseMenus();
}

void GridTest::RowCommand(int row, const QString& caption) {
    QMenu* menu = OpenRowMenu(row);
    ASSERT_NE(menu, nullptr) << "no header menu";
    Choose(menu, {caption});
    CloseMenus();
}

void GridTest::FillDistinct() {
    for (int c = 1; c <= Grid->NrOfColumns(); ++c)
        for (int r = 1; r <= Grid->NrOfRows(); ++r)
            Grid->SetElem(c, r, c * 10 + r);
}
