// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces TNTabEd is built from: the model that presents the data cells to QTableView, the
// delegate that draws and edits them, the headers that carry the name and attribute cells,
// and the corner. All drawing goes through TNTabEd::DrawCell.
#pragma once

#include "tableeditor/Vexa_ntabed.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QWidget>

class TNTabEdModel : public QAbstractTableModel {
public:
    explicit TNTabEdModel(TNTabEd& grid);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Follows the table's size. The view sees rows and columns added or taken away at the end;
    // the table moves the contents itself.
    void Sync(int cols, int rows);

private:
    TNTabEd& FGrid;
    int FCols = 0;
    int FRows = 0;
};

class TNTabEdDelegate : public QStyledItemDelegate {
public:
    TNTabEdDelegate(TNTabEd& grid, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    TNTabEd& FGrid;
};

// The column header holds grid row 0 (names) and, when shown, grid row 1 (attributes); the row
// header holds grid column 0 and, when shown, grid column 1.
class TNTabEdHeader : public QHeaderView {
public:
    TNTabEdHeader(Qt::Orientation orientation, TNTabEd& grid);

    QSize sizeHint() const override;
    // The grid cell under a point of the header's viewport; (-1, -1) where there is none.
    QPoint GridCellAt(const QPoint& pos) const;
    // The rectangle of a grid cell in the header's viewport.
    QRect GridCellRect(int gridCol, int gridRow) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TNTabEd& FGrid;
};

// The fixed cells above the row header: (0, 0) with the current coordinates or "Comment:",
// and the corners of the attribute column and row.
class TNTabEdCorner : public QWidget {
public:
    explicit TNTabEdCorner(TNTabEd& grid);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TNTabEd& FGrid;
};
