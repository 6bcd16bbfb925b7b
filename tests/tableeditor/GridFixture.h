// SPDX-License-Identifier: GPL-3.0-or-later
// A grid on the screen (offscreen platform) driven as a user drives it: mouse presses and
// clicks on cells, headers and the corner, typed keys, the context menus and the clipboard.
#pragma once

#include "tableeditor/Vexa_ntabed.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QMenu>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <utility>

// What DrawCell was about to draw for one grid cell.
struct Rendered {
    QString Text;
    QColor TextColor;
    QColor Background;
    bool Bold = false;
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Data cell (c, r), or a header cell, in the coordinates of the widget that shows it.
    QPoint CellCenter(int col, int row) const;
    QPoint ColumnHeaderCenter(int col) const; // in the column header's viewport
    QPoint RowHeaderCenter(int row) const;    // in the row header's viewport
    QWidget* Corner() const;

    void ClickCell(int col, int row);
    void DoubleClickCell(int col, int row);
    // Types into whatever has the keyboard focus.
    void Type(const QString& text);
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Selects data cells (left, top) to (right, bottom) with a click and a shift-click.
    void SelectCells(int left, int top, int right, int bottom);

    // Paints the whole grid and returns what every cell was drawn with, by grid cell.
    std::map<std::pair<int, int>, Rendered> Render();
    // The text shown in data cell (c, r).
    QString Shown(int col, int row);
    QString CornerText();

    // Opens the data menu with a right press on a data cell and returns it.
    QMenu* OpenDataMenu(int col, int row);
    // Opens the header menu with a right press on a column or row name.
    QMenu* OpenColumnMenu(int col);
    QMenu* OpenRowMenu(int row);
    // The menu's item with this caption (null when there is none).
    static QAction* Item(QMenu* menu, const QString& caption);
    // Clicks an item, opening submenus on the way ("Mark as type A", "Range").
    void Choose(QMenu* menu, const QStringList& path);
    // Opens the data menu on a cell and chooses an item.
    void DataCommand(int col, int row, const QStringList& path);
    void ColumnCommand(int col, const QString& caption);
    void RowCommand(int row, const QString& caption);
    // Closes any open menu and lets queued work run.
    void CloseMenus();

    // Fills the table with distinct values: c * 10 + r for data cell (c, r).
    void FillDistinct();

    std::unique_ptr<TNTabEd> Grid;
};

// Lets queued events and deferred calls run.
void Flush();
// Waits (processing events) until the condition holds or a second has passed.
bool WaitFor(const std::function<bool()>& condition);
