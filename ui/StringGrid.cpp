#include "ui/StringGrid.h"

#include <QHeaderView>

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
    : QTableView(parent), FModel(new TStringGridModel(columns, this)) {
    setModel(FModel);
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
    if (FModel->FUpdating > 0 && --FModel->FUpdating == 0)
        FModel->endResetModel();
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
