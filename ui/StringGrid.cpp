// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/StringGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>

#include <algorithm>

TStringGridModel::TStringGridModel(int columns, QObject* parent)
    : QAbstractTableModel(parent), FColumns(columns), FCells(std::size_t(columns)) {}

int TStringGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FRows;
}

int TStringGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FColumns;
}

QVariant TStringGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return At(index.column(), index.row() + 1);
    if (role == Qt::BackgroundRole && index.column() == 0)
        return QColor(240, 240, 240); // the fixed column in the button face colour
    return {};
}

bool TStringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() == 0)
        return false;
    At(index.column(), index.row() + 1) = value.toString();
    emit dataChanged(index, index);
    return true;
}

QVariant TStringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < FColumns)
        return At(section, 0);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TStringGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

TStringGrid::TStringGrid(int columns, QWidget* parent)
    : QTableView(parent), FModel(new TStringGridModel(columns, this)),
      FLayoutWidths(std::size_t(std::max(columns, 0)), 0) {
    setModel(FModel);
    setTextElideMode(Qt::ElideNone);
    horizontalHeader()->setTextElideMode(Qt::ElideNone);
    // A text typed into a cell widens its column as well.
    connect(FModel, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (FModel->FUpdating > 0)
                    return;
                for (int c = topLeft.column(); c <= bottomRight.column(); ++c)
                    for (int r = topLeft.row(); r <= bottomRight.row(); ++r)
                        FitToText(c, FModel->At(c, r + 1));
            });
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(16);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
}

int TStringGrid::ColumnCount() const {
    return FModel->FColumns;
}

int TStringGrid::RowCount() const {
    return FModel->FRows;
}

void TStringGrid::SetRowCount(int rows) {
    rows = std::max(rows, 0);
    if (rows == FModel->FRows)
        return;
    if (FModel->FUpdating == 0)
        FModel->beginResetModel();
    FModel->FRows = rows;
    FModel->FCells.resize(std::size_t(rows + 1) * FModel->FColumns);
    if (FModel->FUpdating == 0)
        FModel->endResetModel();
}

QString TStringGrid::Cell(int column, int row) const {
    if (column < 0 || column >= FModel->FColumns || row < 0 || row > FModel->FRows)
        return {};
    return FModel->At(column, row);
}

void TStringGrid::SetCell(int column, int row, const QString& text) {
    if (column < 0 || column >= FModel->FColumns || row < 0 || row > FModel->FRows)
        return;
    FModel->At(column, row) = text;
    if (FModel->FUpdating > 0)
        return;
    if (row == 0) {
        emit FModel->headerDataChanged(Qt::Horizontal, column, column);
        FitColumn(column);
    } else {
        const QModelIndex index = FModel->index(row - 1, column);
        emit FModel->dataChanged(index, index);
    }
}

void TStringGrid::BeginUpdate() {
    if (FModel->FUpdating++ == 0)
        FModel->beginResetModel();
}

void TStringGrid::EndUpdate() {
    if (FModel->FUpdating > 0 && --FModel->FUpdating == 0) {
        FModel->endResetModel();
        for (int c = 0; c < FModel->FColumns; ++c)
            FitColumn(c);
    }
}

void TStringGrid::SetLayoutWidth(int column, int width) {
    if (column < 0 || column >= FModel->FColumns)
        return;
    FLayoutWidths[std::size_t(column)] = width;
    FitColumn(column);
}

int TStringGrid::WidthFor(const QString& text) const {
    if (text.isEmpty())
        return 0;
    const auto known = FTextWidths.constFind(text);
    if (known != FTextWidths.constEnd())
        return *known;
    // The item's text sits between two margins of the style, and the grid line takes a pixel.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int width = fontMetrics().horizontalAdvance(text) + 2 * margin + (showGrid() ? 1 : 0) + 1;
    FTextWidths.insert(text, width);
    return width;
}

void TStringGrid::FitColumn(int column) {
    if (FModel->FUpdating > 0)
        return;
    int width =
        std::max(FLayoutWidths[std::size_t(column)], horizontalHeader()->sectionSizeHint(column));
    for (int row = 1; row <= FModel->FRows; ++row)
        width = std::max(width, WidthFor(FModel->At(column, row)));
    if (width != columnWidth(column))
        setColumnWidth(column, width);
}

void TStringGrid::FitToText(int column, const QString& text) {
    const int width = WidthFor(text);
    if (width > columnWidth(column))
        setColumnWidth(column, width);
}

void TStringGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FTextWidths.clear();
        for (int c = 0; c < FModel->FColumns; ++c)
            FitColumn(c);
    }
}

void TStringGrid::SelectRow(int row) {
    if (row < 1 || row > FModel->FRows)
        return;
    const QModelIndex first = FModel->index(row - 1, 0);
    const QModelIndex last = FModel->index(row - 1, FModel->FColumns - 1);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
    scrollTo(first);
}

QRect TStringGrid::Selection() const {
    const QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return QRect(QPoint(-1, -1), QPoint(-1, -1));
    int left = cells.first().column(), right = left;
    int top = cells.first().row(), bottom = top;
    for (const QModelIndex& i : cells) {
        left = std::min(left, i.column());
        right = std::max(right, i.column());
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
    }
    return QRect(QPoint(left, top + 1), QPoint(right, bottom + 1));
}
