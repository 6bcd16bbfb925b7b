// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces of the grid that Qt's table view asks for: the model that presents the data cells,
// the delegate that draws and edits them, the two headers with the name and attribute cells,
// and the corner. Each hands its work to TNTabEd, which keeps the drawing and the state.
#include "tableeditor/Vexa_ntabed_parts.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

// ---------------------------------------------------------------------------------------------
// Model

TNTabEdModel::TNTabEdModel(TNTabEd& grid) : QAbstractTableModel(&grid), FGrid(grid) {}

int TNTabEdModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FRows;
}

int TNTabEdModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FCols;
}

QVariant TNTabEdModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole: {
        const std::uint8_t state = FGrid.FData->GetCellState(col, row);
        if (state & CellState::Empty)
            return QString();
        if (state & CellState::Invalid)
            return QStringLiteral("-nan-");
        return FGrid.CellText(col, row);
    }
    case Qt::EditRole:
        return FGrid.GetEditText(col, row);
    default:
        return {};
    }
}

QVariant TNTabEdModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? FGrid.GetColName(section + 1)
                                         : FGrid.GetRowName(section + 1);
}

Qt::ItemFlags TNTabEdModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!FGrid.FReadOnly)
        flags |= Qt::ItemIsEditable;
    return flags;
}

void TNTabEdModel::Sync(int cols, int rows) {
    if (rows > FRows) {
        beginInsertRows(QModelIndex(), FRows, rows - 1);
        FRows = rows;
        endInsertRows();
    } else if (rows < FRows) {
        beginRemoveRows(QModelIndex(), rows, FRows - 1);
        FRows = rows;
        endRemoveRows();
    }
    if (cols > FCols) {
        beginInsertColumns(QModelIndex(), FCols, cols - 1);
        FCols = cols;
        endInsertColumns();
    } else if (cols < FCols) {
        beginRemoveColumns(QModelIndex(), cols, FCols - 1);
        FCols = cols;
        endRemoveColumns();
    }
}

// ---------------------------------------------------------------------------------------------
// Delegate

TNTabEdDelegate::TNTabEdDelegate(TNTabEd& grid, QObject* parent)
    : QStyledItemDelegate(parent), FGrid(grid) {}

void TNTabEdDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    FGrid.DrawCell(*painter, index.column() + 1 + FGrid.FColOffset,
                   index.row() + 1 + FGrid.FRowOffset, option.rect,
                   option.state.testFlag(QStyle::State_Selected));
}

QWidget* TNTabEdDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setFont(FGrid.font());
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    TNTabEd* grid = &FGrid;
    // Every change of the text goes to the cell at once.
    QObject::connect(editor, &QLineEdit::textEdited, grid,
                     [grid, col, row](const QString& text) { grid->SetEditText(col, row, text); });
    FGrid.FCellEditor = editor;
    return editor;
}

void TNTabEdDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(FGrid.GetEditText(index.column() + 1, index.row() + 1));
}

void TNTabEdDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
    // The text was applied while it was typed.
}

void TNTabEdDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

// ---------------------------------------------------------------------------------------------
// Headers

TNTabEdHeader::TNTabEdHeader(Qt::Orientation orientation, TNTabEd& grid)
    : QHeaderView(orientation, &grid), FGrid(grid) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumSectionSize(1);
    setSectionResizeMode(orientation == Qt::Horizontal ? QHeaderView::Interactive
                                                       : QHeaderView::Fixed);
}

QSize TNTabEdHeader::sizeHint() const {
    if (orientation() == Qt::Horizontal)
        return QSize(length(), FGrid.ColumnHeaderHeight());
    return QSize(FGrid.RowHeaderWidth(), length());
}

QPoint TNTabEdHeader::GridCellAt(const QPoint& pos) const {
    if (orientation() == Qt::Horizontal) {
        const int logical = logicalIndexAt(pos.x());
        if (logical < 0)
            return {-1, -1};
        const int gridRow = FGrid.FRowOffset == 1 && pos.y() >= FGrid.RowHeight() ? 1 : 0;
        return {logical + 1 + FGrid.FColOffset, gridRow};
    }
    const int logical = logicalIndexAt(pos.y());
    if (logical < 0)
        return {-1, -1};
    const int gridCol = FGrid.FColOffset == 1 && pos.x() >= FGrid.FNameColWidth ? 1 : 0;
    return {gridCol, logical + 1 + FGrid.FRowOffset};
}

QRect TNTabEdHeader::GridCellRect(int gridCol, int gridRow) const {
    if (orientation() == Qt::Horizontal) {
        const int logical = gridCol - FGrid.FColOffset - 1;
        const int height = FGrid.RowHeight();
        return QRect(sectionViewportPosition(logical), gridRow == 0 ? 0 : height,
                     sectionSize(logical), height);
    }
    const int logical = gridRow - FGrid.FRowOffset - 1;
    const int nameWidth = FGrid.FNameColWidth;
    return QRect(gridCol == 0 ? 0 : nameWidth, sectionViewportPosition(logical),
                 gridCol == 0 ? nameWidth : FGrid.FClassColWidth, sectionSize(logical));
}

void TNTabEdHeader::paintEvent(QPaintEvent* event) {
    if (FGrid.Quiet())
        return;
    QHeaderView::paintEvent(event);
}

void TNTabEdHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (orientation() == Qt::Horizontal) {
        const int gridCol = logicalIndex + 1 + FGrid.FColOffset;
        const int height = FGrid.RowHeight();
        FGrid.DrawCell(*painter, gridCol, 0, QRect(rect.left(), rect.top(), rect.width(), height),
                       false);
        if (FGrid.FRowOffset == 1)
            FGrid.DrawCell(*painter, gridCol, 1,
                           QRect(rect.left(), rect.top() + height, rect.width(), height), false);
        return;
    }
    const int gridRow = logicalIndex + 1 + FGrid.FRowOffset;
    const int nameWidth = FGrid.FNameColWidth;
    FGrid.DrawCell(*painter, 0, gridRow, QRect(rect.left(), rect.top(), nameWidth, rect.height()),
                   false);
    if (FGrid.FColOffset == 1)
        FGrid.DrawCell(
            *painter, 1, gridRow,
            QRect(rect.left() + nameWidth, rect.top(), FGrid.FClassColWidth, rect.height()), false);
}

void TNTabEdHeader::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const QPoint cell = GridCellAt(event->position().toPoint());
        if (cell.x() >= 0)
            FGrid.HeaderRightPress(cell.x(), cell.y());
        event->accept();
        return;
    }
    QHeaderView::mousePressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Corner

TNTabEdCorner::TNTabEdCorner(TNTabEd& grid) : QWidget(&grid), FGrid(grid) {}

void TNTabEdCorner::paintEvent(QPaintEvent*) {
    if (FGrid.Quiet())
        return;
    QPainter painter(this);
    const int nameWidth = FGrid.FNameColWidth;
    const int height = FGrid.RowHeight();
    const int attribWidth = FGrid.FClassColWidth;
    FGrid.DrawCell(painter, 0, 0, QRect(0, 0, nameWidth, height), false);
    if (FGrid.FColOffset == 1)
        FGrid.DrawCell(painter, 1, 0, QRect(nameWidth, 0, attribWidth, height), false);
    if (FGrid.FRowOffset == 1) {
        FGrid.DrawCell(painter, 0, 1, QRect(0, height, nameWidth, height), false);
        if (FGrid.FColOffset == 1)
            FGrid.DrawCell(painter, 1, 1, QRect(nameWidth, height, attribWidth, height), false);
    }
}

void TNTabEdCorner::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (pos.x() < FGrid.FNameColWidth && pos.y() < FGrid.RowHeight())
        FGrid.CornerPressed(event->button());
    event->accept();
}
