// SPDX-License-Identifier: GPL-3.0-or-later
#include "tableeditor/Vexa_ntabed.h"

#include "tableeditor/Vexa_ntabed_parts.h"
#include "tableeditor/Vexa_numtext.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>
#include <string>

namespace {

const QColor CommentBackground(0, 128, 128);

std::string ComponentMessage(const QString& name, const char* what) {
    return "Component \"" + name.toStdString() + "\": " + what;
}

std::uint8_t WithBit(std::uint8_t state, std::uint8_t bit, bool set) {
    return static_cast<std::uint8_t>(set ? state | bit : state & ~bit);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The grid

TNTabEd::Bulk::Bulk(TNTabEd& grid) : FGrid(grid), FWas(grid.FInternSuppPaint) {
    grid.FInternSuppPaint = true;
}

TNTabEd::Bulk::~Bulk() {
    FGrid.FInternSuppPaint = FWas;
    FGrid.Repaint();
}

TNTabEd::TNTabEd(QWidget* parent, const QString& name) : QTableView(parent) {
    try {
        // The tables first: they are what needs the memory.
        FData = std::make_unique<TDataTable>(name);
        FDataCopy = std::make_unique<TDataTable>(name);
        FDecP.assign(1, 3);
        setObjectName(name);

        FColorBkgnd = palette().color(QPalette::Base);
        FColorFixed = palette().color(QPalette::Button);

        FModel = new TNTabEdModel(*this);
        setModel(FModel);
        FDelegate = new TNTabEdDelegate(*this, this);
        setItemDelegate(FDelegate);
        FColHeader = new TNTabEdHeader(Qt::Horizontal, *this);
        setHorizontalHeader(FColHeader);
        FRowHeader = new TNTabEdHeader(Qt::Vertical, *this);
        setVerticalHeader(FRowHeader);
        setCornerButtonEnabled(false);
        FCorner = new TNTabEdCorner(*this);
        setSelectionMode(QAbstractItemView::ContiguousSelection);
        setSelectionBehavior(QAbstractItemView::SelectItems);
        setWordWrap(false);
        FColHeader->setDefaultSectionSize(FDefaultColWidth);
        ApplyRowHeight();
        SetCellEditing(true);

        FModel->Sync(FData->NrOfColumns(), FData->NrOfRows());
        FData->OnChange = [this](TDataTable&) { TableChanged(); };
        FData->OnChangeSetup = [this](TDataTable&) { TableSetupChanged(); };
        FData->OnResize = [this](TDataTable&, int oc, int orows, int nc, int nr) {
            TableResized(oc, orows, nc, nr);
        };
        FData->OnPercentDone = [this](TDataTable&, double percent) { emit OnPercentDone(percent); };
        // Names, states and attributes written straight into the table still show.
        FData->OnChangeNames = [this](TDataTable&) { Repaint(); };
        FData->OnChangeCellSt = [this](TDataTable&) { Repaint(); };
        FData->OnChangeAttrib = [this](TDataTable&) { Repaint(); };
        FData->Resize(3, 4);

        FNameEd = new QLineEdit(this);
        FNameEd->hide();
        FNameEd->installEventFilter(this);
        FCommentMM = new QPlainTextEdit(this);
        FCommentMM->hide();
        FCommentMM->installEventFilter(this);
        QPalette commentColours = FCommentMM->palette();
        commentColours.setColor(QPalette::Base, CommentBackground);
        commentColours.setColor(QPalette::Text, Qt::white);
        FCommentMM->setPalette(commentColours);

        BuildMenus();

        const auto selectionMoved = [this] {
            FColHeader->viewport()->update();
            FRowHeader->viewport()->update();
            FCorner->update();
            CheckSelection();
        };
        connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionMoved);
        connect(selectionModel(), &QItemSelectionModel::currentChanged, this, selectionMoved);
        connect(FColHeader, &QHeaderView::sectionResized, this, [this] { LayoutChanged(); });
        setCurrentIndex(FModel->index(0, 0));
    } catch (const std::bad_alloc&) {
        throw EVexaNTabedError(
            ComponentMessage(name, "failed to initialize table editor (out of memory)"));
    } catch (const EVexaDataTableError&) {
        throw EVexaNTabedError(
            ComponentMessage(name, "failed to initialize table editor (out of memory)"));
    }
    FInternSuppPaint = false;
}

TNTabEd::~TNTabEd() {
    // The table must not call back into a grid that is going away.
    FData->OnChange = nullptr;
    FData->OnChangeSetup = nullptr;
    FData->OnResize = nullptr;
    FData->OnPercentDone = nullptr;
    FData->OnChangeNames = nullptr;
    FData->OnChangeCellSt = nullptr;
    FData->OnChangeAttrib = nullptr;
}

void TNTabEd::Notify(void (TNTabEd::*signal)()) {
    if (!Quiet())
        emit(this->*signal)();
}

void TNTabEd::Repaint() {
    if (Quiet() || !FColHeader)
        return;
    viewport()->update();
    FColHeader->viewport()->update();
    FRowHeader->viewport()->update();
    FCorner->update();
}

void TNTabEd::RedrawCorner() {
    if (!Quiet() && FCorner)
        FCorner->repaint();
}

void TNTabEd::OutOfHeap() const {
    throw EVexaNTabedError(ComponentMessage(objectName(), "not enough memory on heap"));
}

void TNTabEd::ReserveDecPlaces(int cols) {
    try {
        FDecP.reserve(static_cast<std::size_t>(std::max(cols, 1)));
    } catch (const std::bad_alloc&) {
        OutOfHeap();
    } catch (const std::length_error&) {
        OutOfHeap();
    }
}

void TNTabEd::TableChanged() {
    Repaint();
    Notify(&TNTabEd::OnChange);
}

void TNTabEd::TableSetupChanged() {
    Repaint();
    Notify(&TNTabEd::OnChangeSetup);
}

void TNTabEd::TableResized(int oldCols, int, int newCols, int newRows) {
    const int lastWidth = oldCols >= 1 && oldCols <= FModel->columnCount()
                              ? columnWidth(oldCols - 1)
                              : FDefaultColWidth;
    const std::int8_t lastDecPlaces = FDecP.empty() ? std::int8_t{3} : FDecP.back();
    try {
        FDecP.resize(static_cast<std::size_t>(newCols), lastDecPlaces);
    } catch (const std::bad_alloc&) {
        OutOfHeap();
    } catch (const std::length_error&) {
        OutOfHeap();
    }
    FModel->Sync(newCols, newRows);
    for (int c = oldCols; c < newCols; ++c)
        setColumnWidth(c, lastWidth);
    updateGeometries();
    Repaint();
}

// --- Cells

double TNTabEd::GetElem(int ACol, int ARow) const {
    return FData->GetElem(ACol, ARow);
}

void TNTabEd::SetElem(int ACol, int ARow, double Value) {
    FData->SetElem(ACol, ARow, Value);
}

QString TNTabEd::GetColName(int ColNr) const {
    return FData->GetColName(ColNr);
}

void TNTabEd::SetColName(int ColNr, const QString& HLine) {
    if (ColNr < 1 || ColNr > NrOfColumns())
        return;
    FData->SetColName(ColNr, HLine);
    Notify(&TNTabEd::OnHeadingChanged);
    Repaint();
}

QString TNTabEd::GetRowName(int RowNr) const {
    return FData->GetRowName(RowNr);
}

void TNTabEd::SetRowName(int RowNr, const QString& HLine) {
    if (RowNr < 1 || RowNr > NrOfRows())
        return;
    FData->SetRowName(RowNr, HLine);
    Notify(&TNTabEd::OnHeadingChanged);
    Repaint();
}

std::uint8_t TNTabEd::GetCellState(int ACol, int ARow) const {
    return FData->GetCellState(ACol, ARow);
}

void TNTabEd::SetCellState(int ACol, int ARow, std::uint8_t Value) {
    FData->SetCellState(ACol, ARow, Value);
    Repaint();
    Notify(&TNTabEd::OnCellStateChanged);
}

bool TNTabEd::IsNumber(int ACol, int ARow) const {
    return FData->GetIsNumber(ACol, ARow);
}

bool TNTabEd::IsEmpty(int ACol, int ARow) const {
    return (FData->GetCellState(ACol, ARow) & CellState::Empty) != 0;
}

void TNTabEd::SetIsEmpty(int ACol, int ARow, bool Value) {
    SetCellState(ACol, ARow, WithBit(GetCellState(ACol, ARow), CellState::Empty, Value));
}

bool TNTabEd::ElemMarkedA(int ACol, int ARow) const {
    return (FData->GetCellState(ACol, ARow) & CellState::MarkA) != 0;
}

void TNTabEd::SetElemMarkedA(int ACol, int ARow, bool Value) {
    SetCellState(ACol, ARow, WithBit(GetCellState(ACol, ARow), CellState::MarkA, Value));
}

bool TNTabEd::ElemMarkedB(int ACol, int ARow) const {
    return (FData->GetCellState(ACol, ARow) & CellState::MarkB) != 0;
}

void TNTabEd::SetElemMarkedB(int ACol, int ARow, bool Value) {
    SetCellState(ACol, ARow, WithBit(GetCellState(ACol, ARow), CellState::MarkB, Value));
}

std::uint8_t TNTabEd::GetColAttrib(int ColNr) const {
    return FData->GetColAttrib(ColNr);
}

void TNTabEd::SetColAttrib(int ColNr, std::uint8_t Value) {
    if (ColNr < 1 || ColNr > NrOfColumns())
        return;
    FData->SetColAttrib(ColNr, Value);
    Repaint();
    Notify(&TNTabEd::OnAttributeChanged);
}

std::uint8_t TNTabEd::GetRowAttrib(int RowNr) const {
    return FData->GetRowAttrib(RowNr);
}

void TNTabEd::SetRowAttrib(int RowNr, std::uint8_t Value) {
    if (RowNr < 1 || RowNr > NrOfRows())
        return;
    FData->SetRowAttrib(RowNr, Value);
    Repaint();
    Notify(&TNTabEd::OnAttributeChanged);
}

void TNTabEd::Clear() {
    {
        Bulk bulk(*this);
        FData->Clear();
        std::fill(FDecP.begin(), FDecP.end(), std::int8_t{3});
    }
    Notify(&TNTabEd::OnChange);
}

// --- Size and layout

void TNTabEd::SetNrOfColumns(int n) {
    ReserveDecPlaces(n);
    try {
        FData->SetNrOfColumns(n);
    } catch (...) {
        FDecP.shrink_to_fit(); // give back what was reserved for the columns
        throw;
    }
    Notify(&TNTabEd::OnChangeSetup);
}

void TNTabEd::SetNrOfRows(int n) {
    FData->SetNrOfRows(n);
    Notify(&TNTabEd::OnChangeSetup);
}

void TNTabEd::InsertRow(int ix) {
    if (ix < 1 || ix > NrOfRows() + 1)
        return;
    {
        Bulk bulk(*this);
        FData->InsertRow(ix);
    }
    Notify(&TNTabEd::OnChangeSetup);
}

void TNTabEd::RemoveRow(int ix) {
    if (NrOfRows() < 2 || ix < 1 || ix > NrOfRows())
        return;
    CloseCellEditor();
    {
        Bulk bulk(*this);
        FData->RemoveRow(ix);
    }
    Notify(&TNTabEd::OnChangeSetup);
}

void TNTabEd::InsertColumn(int ix) {
    if (ix < 1 || ix > NrOfColumns() + 1)
        return;
    ReserveDecPlaces(NrOfColumns() + 1);
    {
        Bulk bulk(*this);
        FData->InsertColumn(ix);
    }
    Notify(&TNTabEd::OnChangeSetup);
}

void TNTabEd::RemoveColumn(int ix) {
    if (NrOfColumns() < 2 || ix < 1 || ix > NrOfColumns())
        return;
    CloseCellEditor();
    {
        Bulk bulk(*this);
        FData->RemoveColumn(ix);
    }
    Notify(&TNTabEd::OnChangeSetup);
}

int TNTabEd::SignedDecPlaces(int col) const {
    if (col < 1 || static_cast<std::size_t>(col) > FDecP.size())
        return 3;
    return FDecP[static_cast<std::size_t>(col - 1)];
}

std::uint8_t TNTabEd::GetDecPlaces(int ColNr) const {
    if (ColNr < 1 || ColNr > NrOfColumns())
        return 0;
    return static_cast<std::uint8_t>(static_cast<std::int8_t>(SignedDecPlaces(ColNr)));
}

void TNTabEd::SetDecPlaces(int ColNr, std::int8_t Dp) {
    if (ColNr < 1 || ColNr > NrOfColumns() || static_cast<std::size_t>(ColNr) > FDecP.size())
        return;
    FDecP[static_cast<std::size_t>(ColNr - 1)] = std::clamp<std::int8_t>(Dp, -1, 10);
    Repaint();
    Notify(&TNTabEd::OnLayoutChanged);
}

int TNTabEd::GetColWidths(int Index) const {
    if (Index > 0)
        return Index <= NrOfColumns() ? columnWidth(Index - 1) : 0;
    if (Index == 0)
        return FNameColWidth;
    return FColOffset == 1 ? FClassColWidth : 0;
}

void TNTabEd::SetColWidths(int Index, int Value) {
    if (Value < 0)
        return;
    if (Index > 0) {
        if (Index > NrOfColumns())
            return;
        setColumnWidth(Index - 1, Value); // reports through sectionResized
        return;
    }
    if (Index == 0)
        FNameColWidth = Value;
    else if (FColOffset == 1)
        FClassColWidth = Value;
    else
        return;
    updateGeometries();
    Repaint();
    LayoutChanged();
}

void TNTabEd::FitHeadingWidth(int Index, int minimum) {
    if (Index < 0 || Index > NrOfColumns())
        return;
    QFont heading = font();
    heading.setBold(FBoldSelHeads);
    const QFontMetrics metrics(heading);
    int widest = 0;
    if (Index == 0) {
        for (int r = 1; r <= NrOfRows(); ++r)
            widest = std::max(widest, metrics.horizontalAdvance(FData->GetRowName(r)));
    } else {
        widest = metrics.horizontalAdvance(FData->GetColName(Index));
    }
    // A heading is drawn 2 pixels into its cell, which is shrunk by 1 pixel on the left and 3
    // on the right; one pixel more keeps the last letter clear of the edge.
    SetColWidths(Index, std::max(minimum, widest + 7));
}

void TNTabEd::SetDefaultColWidth(int Value) {
    if (Value < 0)
        return;
    FDefaultColWidth = Value;
    FColHeader->setDefaultSectionSize(Value);
    for (int c = 0; c < FModel->columnCount(); ++c)
        setColumnWidth(c, Value);
    LayoutChanged();
}

void TNTabEd::SetDefaultRowHeight(int Value) {
    if (Value < 1)
        return;
    FDefaultRowHeight = Value;
    ApplyRowHeight();
    LayoutChanged();
}

void TNTabEd::SetOptimizeRowHeight(bool Value) {
    FOptRowHeight = Value;
    ApplyRowHeight();
}

int TNTabEd::RowHeight() const {
    return FOptRowHeight ? fontMetrics().height() + 3 : FDefaultRowHeight;
}

void TNTabEd::ApplyRowHeight() {
    FRowHeader->setDefaultSectionSize(RowHeight());
    for (int r = 0; r < FModel->rowCount(); ++r)
        setRowHeight(r, RowHeight());
    updateGeometries();
    Repaint();
}

int TNTabEd::RowHeaderWidth() const {
    return FNameColWidth + (FColOffset == 1 ? FClassColWidth : 0);
}

int TNTabEd::ColumnHeaderHeight() const {
    return RowHeight() * (1 + FRowOffset);
}

void TNTabEd::LayoutChanged() {
    Notify(&TNTabEd::OnLayoutChanged);
}

void TNTabEd::SetNumWidth(int w) {
    if (w >= 1 && w <= 20) {
        FNumWidth = w;
        Repaint();
    }
    LayoutChanged();
}

void TNTabEd::SetAttribRowVisible(bool Value) {
    FColOffset = Value ? 1 : 0;
    updateGeometries();
    Repaint();
    CheckSelection();
    LayoutChanged();
}

void TNTabEd::SetAttribColVisible(bool Value) {
    FRowOffset = Value ? 1 : 0;
    updateGeometries();
    Repaint();
    CheckSelection();
    LayoutChanged();
}

int TNTabEd::LeftCol() const {
    const int col = columnAt(0);
    return col < 0 ? 1 : col + 1;
}

void TNTabEd::SetLeftCol(int Value) {
    horizontalScrollBar()->setValue(std::clamp(Value, 1, NrOfColumns()) - 1);
}

int TNTabEd::TopRow() const {
    const int row = rowAt(0);
    return row < 0 ? 1 : row + 1;
}

void TNTabEd::SetTopRow(int Value) {
    verticalScrollBar()->setValue(std::clamp(Value, 1, NrOfRows()) - 1);
}

void TNTabEd::updateGeometries() {
    QTableView::updateGeometries();
    if (!FCorner)
        return;
    FCorner->setGeometry(verticalHeader()->x(), horizontalHeader()->y(), verticalHeader()->width(),
                         horizontalHeader()->height());
    FCorner->raise();
}

// --- Colours and fonts

void TNTabEd::SetColorBackground(const QColor& c) {
    FColorBkgnd = c;
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Base, c);
    colours.setColor(QPalette::Window, c);
    viewport()->setPalette(colours);
    Repaint();
}

void TNTabEd::SetColorFixed(const QColor& c) {
    FColorFixed = c;
    Repaint();
}

void TNTabEd::SetColorNormal(const QColor& c) {
    FColorNormal = c;
    Repaint();
    LayoutChanged();
}

void TNTabEd::SetColorMarkedA(const QColor& c) {
    FColorMarked1 = c;
    Repaint();
    LayoutChanged();
}

void TNTabEd::SetColorMarkedB(const QColor& c) {
    FColorMarked2 = c;
    Repaint();
    LayoutChanged();
}

void TNTabEd::SetColorMarkedBoth(const QColor& c) {
    FColorMarkedBoth = c;
    Repaint();
    LayoutChanged();
}

void TNTabEd::SetColorSelected(const QColor& c) {
    FColorSelected = c;
    Repaint();
    LayoutChanged();
}

void TNTabEd::SetColorRangeSelFG(const QColor& c) {
    FColorRngSelFG = c;
    Repaint();
    LayoutChanged();
}

void TNTabEd::SetColorRangeSelBG(const QColor& c) {
    FColorRngSelBG = c;
    Repaint();
}

void TNTabEd::SetBoldSelHeads(bool Value) {
    FBoldSelHeads = Value;
    Repaint();
    LayoutChanged();
}

void TNTabEd::SetBoldMarks(bool Value) {
    FBoldMarks = Value;
    Repaint();
    LayoutChanged();
}

void TNTabEd::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        if (FOptRowHeight)
            ApplyRowHeight();
        Repaint();
    }
}

// --- Behaviour

void TNTabEd::SetCellEditing(bool Value) {
    FCellEditing = Value;
    setEditTriggers(Value ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed
                          : QAbstractItemView::NoEditTriggers);
}

void TNTabEd::SetDataReadOnly(bool Value) {
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    if (Value)
        CloseCellEditor();
    SetCellEditing(!Value);
    Notify(&TNTabEd::OnChangeSetup);
}

void TNTabEd::CloseCellEditor() {
    if (FCellEditor && state() == QAbstractItemView::EditingState)
        QTableView::closeEditor(FCellEditor, QAbstractItemDelegate::NoHint);
}

void TNTabEd::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::RevertModelCache) // Escape
        SetCellEditing(false);
    else if (hint == QAbstractItemDelegate::SubmitModelCache && FAutoAdvance) // Enter
        AdvanceCell();
    RedrawCorner();
}

void TNTabEd::AdvanceCell() {
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    int row = current.row();
    int col = current.column();
    if (FAutoAdvDir == orVert)
        ++row;
    else
        ++col;
    if (row >= FModel->rowCount() || col >= FModel->columnCount())
        return;
    setCurrentIndex(FModel->index(row, col));
    emit OnClick();
}

void TNTabEd::SetSuppressPaint(bool Value) {
    FSuppressPaint = Value;
    if (!Quiet()) {
        viewport()->repaint();
        FColHeader->viewport()->repaint();
        FRowHeader->viewport()->repaint();
        FCorner->repaint();
    }
}

// --- Selection

TGridRect TNTabEd::DataSelection() const {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    if (const QItemSelectionModel* model = selectionModel()) {
        for (const QItemSelectionRange& range : model->selection()) {
            if (!range.isValid())
                continue;
            left = std::min(left, range.left());
            top = std::min(top, range.top());
            right = std::max(right, range.right());
            bottom = std::max(bottom, range.bottom());
        }
    }
    if (right < 0) {
        const QModelIndex current = currentIndex();
        left = right = current.isValid() ? current.column() : 0;
        top = bottom = current.isValid() ? current.row() : 0;
    }
    const int lastCol = NrOfColumns() - 1;
    const int lastRow = NrOfRows() - 1;
    return {std::clamp(left, 0, lastCol) + 1, std::clamp(top, 0, lastRow) + 1,
            std::clamp(right, 0, lastCol) + 1, std::clamp(bottom, 0, lastRow) + 1};
}

TGridRect TNTabEd::Selection() const {
    const TGridRect data = DataSelection();
    return {data.Left + FColOffset, data.Top + FRowOffset, data.Right + FColOffset,
            data.Bottom + FRowOffset};
}

void TNTabEd::SetSelection(const TGridRect& rect) {
    SelectData(rect.Left - FColOffset, rect.Top - FRowOffset, rect.Right - FColOffset,
               rect.Bottom - FRowOffset);
}

void TNTabEd::SelectData(int left, int top, int right, int bottom) {
    left = std::clamp(left, 1, NrOfColumns());
    right = std::clamp(right, left, NrOfColumns());
    top = std::clamp(top, 1, NrOfRows());
    bottom = std::clamp(bottom, top, NrOfRows());
    const QModelIndex topLeft = FModel->index(top - 1, left - 1);
    selectionModel()->setCurrentIndex(topLeft, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(topLeft, FModel->index(bottom - 1, right - 1)),
                             QItemSelectionModel::ClearAndSelect);
    Repaint();
    CheckSelection();
}

void TNTabEd::CheckSelection() {
    if (Quiet() || !selectionModel())
        return;
    const TGridRect now = Selection();
    if (now == FOldSel)
        return;
    FOldSel = now;
    emit OnSelectionChanged();
}

// --- Texts

QString TNTabEd::FormatCell(double Value, int DecPlaces) const {
    return QString::fromStdString(FormatCellText(Value, FNumWidth, DecPlaces));
}

QString TNTabEd::CellText(int col, int row) const {
    const TMScaleType type = FData->GetMScaleType(col);
    if (type == stNominal || type == stOrdinal) {
        const double value = FData->GetElem(col, row);
        if (!std::isfinite(value) || std::fabs(value) > 1e9)
            return ScaleTypeName(type) + ':' + FormatCell(value, 0).trimmed();
        return ScaleTypeName(type) + ':' + QString::number(static_cast<long long>(value));
    }
    return FormatCell(FData->GetElem(col, row), SignedDecPlaces(col));
}

QString TNTabEd::GetEditText(int ACol, int ARow) const {
    QString text = FormatCell(FData->GetElem(ACol, ARow), SignedDecPlaces(ACol));
    if (OnGetEditText)
        OnGetEditText(ACol, ARow, text);
    return text;
}

void TNTabEd::SetEditText(int ACol, int ARow, const QString& Value) {
    if (FData->Contains(ACol, ARow)) {
        QString text = Value;
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        text = text.trimmed();
        double number = 0;
        bool ok = false;
        const TMScaleType type = FData->GetMScaleType(ACol);
        if (type == stNominal || type == stOrdinal) {
            number = text.toInt(&ok);
        } else {
            const QByteArray latin = text.toLatin1();
            ok = !text.isEmpty() &&
                 ParseDecimal(
                     std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())),
                     number);
        }
        if (ok) {
            FData->SetElem(ACol, ARow, number);
            FData->SetCellState(ACol, ARow, CellState::Plain);
        } else {
            FData->SetCellState(ACol, ARow, CellState::Invalid);
        }
    }
    emit OnSetEditText(ACol, ARow, Value);
}

// --- Drawing

void TNTabEd::DrawCell(QPainter& painter, int ACol, int ARow, const QRect& rect, bool selected) {
    painter.save();
    QFont font = this->font();
    QString text;
    QColor textColor = FColorNormal;
    QColor background = FColorFixed;
    QRect textRect = rect;
    QPoint origin(2, 1);
    const bool header = !(ACol > FColOffset && ARow > FRowOffset) && !(ACol == 0 && ARow == 0);

    if (ACol > FColOffset && ARow > FRowOffset) {
        const int col = ACol - FColOffset;
        const int row = ARow - FRowOffset;
        const std::uint8_t state = FData->GetCellState(col, row);
        if (state & CellState::Empty)
            text.clear();
        else if (state & CellState::Invalid)
            text = QStringLiteral("-nan-");
        else
            text = CellText(col, row);
        background = selected ? FColorRngSelBG : FColorBkgnd;
        const bool markA = state & CellState::MarkA;
        const bool markB = state & CellState::MarkB;
        if (markA || markB) {
            textColor = markA && markB ? FColorMarkedBoth : markA ? FColorMarked1 : FColorMarked2;
            font.setBold(FBoldMarks);
        } else {
            textColor = selected ? FColorRngSelFG : FColorNormal;
        }
    } else if (ACol == 0 && ARow == 0) {
        origin = QPoint(3, 2);
        if (FCommentMMActive) {
            text = QStringLiteral("Comment:");
            textColor = Qt::white;
            background = CommentBackground;
        } else {
            const TGridRect sel = DataSelection();
            text = QStringLiteral("%1:%2").arg(sel.Left).arg(sel.Top);
            background = palette().color(QPalette::Base);
        }
    } else {
        // Header cells: shrunk by 1 pixel on each side and 2 more on the right.
        textRect = rect.adjusted(1, 1, -3, -1);
        const TGridRect sel = DataSelection();
        bool current = false;
        if (ACol > FColOffset) { // column name or column attribute
            const int col = ACol - FColOffset;
            text = ARow == 0 ? FData->GetColName(col) : QString::number(FData->GetColAttrib(col));
            current = col == sel.Left;
        } else if (ARow > FRowOffset) { // row name or row attribute
            const int row = ARow - FRowOffset;
            text = ACol == 0 ? FData->GetRowName(row) : QString::number(FData->GetRowAttrib(row));
            current = row == sel.Top;
            if (ACol == 0)
                origin = QPoint(2, 0);
        } else if (ACol == 1 && ARow == 0) {
            text = QStringLiteral("Attrib");
        } else if (ACol == 0 && ARow == 1) {
            text = QStringLiteral("Attribute");
        }
        if (current) {
            textColor = FColorSelected;
            font.setBold(FBoldSelHeads);
        }
    }

    if (OnBeforeRenderCell)
        OnBeforeRenderCell(ACol, ARow, text, textColor, background, font);

    painter.fillRect(rect, background);
    if (header) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(rect.topRight(), rect.bottomRight());
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    }
    painter.setFont(font);
    painter.setPen(textColor);
    painter.drawText(textRect.adjusted(origin.x(), origin.y(), 0, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    if (header && FHeaderOutlined && QPoint(ACol, ARow) == FHeaderCell) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(Qt::white);
        painter.drawRect(rect.adjusted(1, 1, -2, -2));
    }
    if (!header && ACol > FColOffset && hasFocus()) {
        const QModelIndex current = currentIndex();
        if (current.isValid() && current.column() + 1 + FColOffset == ACol &&
            current.row() + 1 + FRowOffset == ARow) {
            painter.setPen(QPen(textColor, 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        }
    }
    painter.restore();
}

void TNTabEd::paintEvent(QPaintEvent* event) {
    if (Quiet())
        return;
    QTableView::paintEvent(event);
}

// --- Mouse and keys

void TNTabEd::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        // A right press never moves the current cell; the data menu acts on the selection.
        if (index.isValid() && !FHostMenu && !FBlockIntPopup)
            OpenDataMenu(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton || !index.isValid()) {
        QTableView::mousePressEvent(event);
        return;
    }
    // The first press on a cell only selects it; pressing the same cell again may edit it.
    const QPoint cell(index.column() + 1, index.row() + 1);
    if (cell != FLastPress)
        SetCellEditing(false);
    else if (!FReadOnly)
        SetCellEditing(true);
    FLastPress = cell;
    const bool editHere = FCellEditing && index == currentIndex() &&
                          state() != QAbstractItemView::EditingState &&
                          event->modifiers() == Qt::NoModifier;
    QTableView::mousePressEvent(event);
    if (editHere)
        edit(index);
    RedrawCorner();
}

void TNTabEd::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    SetCellEditing(!FReadOnly);
    if (event->button() == Qt::LeftButton)
        emit OnClick();
}

void TNTabEd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TNTabEd::keyPressEvent(QKeyEvent* event) {
    // Ctrl+A selects every data cell, as the data menu's Select All does.
    if (event->matches(QKeySequence::SelectAll) && state() != QAbstractItemView::EditingState) {
        event->accept();
        PopupMenuClickSelAll();
        RedrawCorner();
        return;
    }
    const QModelIndex before = currentIndex();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != QAbstractItemView::EditingState) {
        event->accept();
        if (FCellEditing && !FReadOnly && before.isValid())
            edit(before);
        else if (FAutoAdvance)
            AdvanceCell();
        RedrawCorner();
        return;
    }
    QTableView::keyPressEvent(event);
    RedrawCorner();
    if (currentIndex() != before)
        emit OnClick();
}

void TNTabEd::wheelEvent(QWheelEvent* event) {
    QTableView::wheelEvent(event);
    RedrawCorner();
    CheckSelection();
}

void TNTabEd::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    emit OnTopLeftChanged();
    CheckSelection();
}

void TNTabEd::contextMenuEvent(QContextMenuEvent* event) {
    if (FHostMenu)
        FHostMenu->popup(event->globalPos());
    event->accept();
}

void TNTabEd::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (FCommentMMActive)
        FCommentMM->setGeometry(FNameColWidth, 0, std::max(1, width() - FNameColWidth - 20), 80);
}

// --- Heading and comment editors

void TNTabEd::CornerPressed(Qt::MouseButton button) {
    if (FCommentMMActive) {
        CloseCommentEditor(false);
        return;
    }
    if (button == Qt::RightButton && FCommEdAllowed && !FBlockIntPopup)
        OpenCommentEditor();
}

void TNTabEd::OpenCommentEditor() {
    FCommentMM->setGeometry(FNameColWidth, 0, std::max(1, width() - FNameColWidth - 20), 80);
    FCommentMM->setPlainText(FData->Comment());
    FCommentMMActive = true;
    FCommentMM->show();
    FCommentMM->raise();
    FCommentMM->setFocus();
    RedrawCorner();
}

void TNTabEd::CloseCommentEditor(bool apply) {
    if (!FCommentMMActive)
        return;
    FCommentMMActive = false;
    FCommentMM->hide();
    if (apply) {
        FData->SetComment(FCommentMM->toPlainText());
        Notify(&TNTabEd::OnChange);
    }
    setFocus();
    RedrawCorner();
}

void TNTabEd::OpenHeadingEditor() {
    const HeaderKind kind = KindOf(FHeaderCell.x(), FHeaderCell.y());
    if (kind == HeaderKind::None)
        return;
    const int gridCol = FHeaderCell.x();
    const int gridRow = FHeaderCell.y();
    QString text;
    if (kind == HeaderKind::Column)
        text = gridRow == 0 ? GetColName(gridCol - FColOffset)
                            : QString::number(GetColAttrib(gridCol - FColOffset));
    else
        text = gridCol == 0 ? GetRowName(gridRow - FRowOffset)
                            : QString::number(GetRowAttrib(gridRow - FRowOffset));
    const QRect cell = HeaderCellRect(gridCol, gridRow);
    FNameEd->setText(text);
    FNameEd->resize(std::max(120, cell.width()), FNameEd->sizeHint().height());
    FNameEd->move(cell.left() + 30, cell.top() + cell.height() + 5);
    FNameEdActive = true;
    FNameEd->show();
    FNameEd->raise();
    FNameEd->setFocus();
    FNameEd->selectAll();
}

void TNTabEd::CloseHeadingEditor(bool apply) {
    if (!FNameEdActive)
        return;
    FNameEdActive = false;
    FNameEd->hide();
    const int gridCol = FHeaderCell.x();
    const int gridRow = FHeaderCell.y();
    const HeaderKind kind = KindOf(gridCol, gridRow);
    if (apply && kind != HeaderKind::None) {
        const QString text = FNameEd->text();
        const bool attribute = kind == HeaderKind::Column ? gridRow != 0 : gridCol != 0;
        if (!attribute) {
            if (kind == HeaderKind::Column)
                SetColName(gridCol - FColOffset, text);
            else
                SetRowName(gridRow - FRowOffset, text);
        } else {
            double value = 0;
            const QByteArray latin = text.trimmed().toLatin1();
            if (ParseDecimal(
                    std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())),
                    value)) {
                const auto attrib =
                    static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
                if (kind == HeaderKind::Column)
                    SetColAttrib(gridCol - FColOffset, attrib);
                else
                    SetRowAttrib(gridRow - FRowOffset, attrib);
                Notify(&TNTabEd::OnHeadingChanged);
            }
        }
    }
    setFocus();
    Repaint();
}

bool TNTabEd::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == FNameEd || watched == FCommentMM)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool escape = key->key() == Qt::Key_Escape;
        if (enter || escape) {
            if (watched == FNameEd)
                CloseHeadingEditor(enter);
            else
                CloseCommentEditor(enter);
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}
