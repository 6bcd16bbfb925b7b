// SPDX-License-Identifier: GPL-3.0-or-later
// A grid of texts with a fixed title row and a fixed first column: the calibration curve
// list. Cells are addressed as (column, row); row 0 is the title row, rows 1..RowCount() hold
// the data. The texts live in one flat array, so that filling a thousand rows costs little.
// No text is cut short: a column is as wide as laid out, or wider where a text needs the room
// in the font at hand.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QTableView>

#include <vector>

class TStringGridModel;

class TStringGrid : public QTableView {
    Q_OBJECT

public:
    TStringGrid(int columns, QWidget* parent = nullptr);

    int ColumnCount() const;
    int RowCount() const; // data rows, without the title row
    void SetRowCount(int rows);

    QString Cell(int column, int row) const;
    void SetCell(int column, int row, const QString& text);

    // Between BeginUpdate and EndUpdate the view is told about changes once, at the end.
    void BeginUpdate();
    void EndUpdate();

    // The column's width as laid out: it is never narrower, and wider where a text needs it.
    void SetLayoutWidth(int column, int width);
    // The width a column needs to show this text whole, grid line included.
    int WidthFor(const QString& text) const;

    // Makes the cells of one data row, all columns, the current selection and shows it.
    void SelectRow(int row);
    // The selected cells as (first column, first row, last column, last row), or all -1.
    QRect Selection() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    // Sets the column to its layout width, or to what its widest text or its title needs.
    void FitColumn(int column);
    // Widens the column as far as one new text needs; an edit never makes a column narrower.
    void FitToText(int column, const QString& text);

    TStringGridModel* FModel;
    std::vector<int> FLayoutWidths;
    mutable QHash<QString, int> FTextWidths; // in the current font
};

class TStringGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TStringGridModel(int columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    friend class TStringGrid;

    QString& At(int column, int row) { return FCells[std::size_t(row) * FColumns + column]; }
    const QString& At(int column, int row) const {
        return FCells[std::size_t(row) * FColumns + column];
    }

    int FColumns;
    int FRows = 0;               // data rows
    std::vector<QString> FCells; // (FRows + 1) x FColumns, row 0 the titles
    int FUpdating = 0;
};
