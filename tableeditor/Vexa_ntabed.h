// SPDX-License-Identifier: GPL-3.0-or-later
// TNTabEd, the numeric table editor: a grid that shows and edits one TDataTable. Grid column 0
// holds the row names and grid row 0 the column names; an optional attribute column (grid
// column 1) and attribute row (grid row 1) show each row's and column's attribute. Data cell
// (c, r), both from 1, is grid cell (c + ColOffset, r + RowOffset).
//
// Built on QTableView: the model cells are the data cells only, the two headers carry the
// fixed name and attribute cells, and a corner widget the corner. Every cell is drawn by
// DrawCell. The operations that take column and row numbers use data numbers from 1 and
// ignore numbers outside the table; reads outside it give 0 or an empty text.
#pragma once

#include "tableeditor/Vexa_datatable.h"

#include <QColor>
#include <QLineEdit>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QTableView>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QAction;
class QPlainTextEdit;

class EVexaNTabedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TOrientation { orVert, orHoriz };

// A rectangle of cells, corners included.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

class TNTabEdModel;
class TNTabEdDelegate;
class TNTabEdHeader;
class TNTabEdCorner;

class TNTabEd : public QTableView {
    Q_OBJECT

public:
    // Bits of the data menu's mask: bit i - 1 enables item i (items 5 to 12 follow it).
    static constexpr std::uint32_t AllMenuItems = 0xFFFFFFFFu;
    // Bits of the header menu's mask for its items 4 and 5, "Insert.." and "Delete..".
    static constexpr std::uint32_t HeaderInsertItem = 1u << 3;
    static constexpr std::uint32_t HeaderDeleteItem = 1u << 4;

    // A 3 x 4 table with the attribute column shown. Throws EVexaNTabedError when the memory
    // is not there.
    explicit TNTabEd(QWidget* parent = nullptr, const QString& name = QString());
    ~TNTabEd() override;

    // The table shown, created and owned by the grid.
    TDataTable& Data() { return *FData; }
    const TDataTable& Data() const { return *FData; }

    // --- Cells
    double GetElem(int ACol, int ARow) const;
    void SetElem(int ACol, int ARow, double Value); // the cell state stays
    QString GetColName(int ColNr) const;
    void SetColName(int ColNr, const QString& HLine); // cut to 50 characters
    QString GetRowName(int RowNr) const;
    void SetRowName(int RowNr, const QString& HLine);
    std::uint8_t GetCellState(int ACol, int ARow) const;
    void SetCellState(int ACol, int ARow, std::uint8_t Value);
    bool IsNumber(int ACol, int ARow) const;
    bool IsEmpty(int ACol, int ARow) const;
    void SetIsEmpty(int ACol, int ARow, bool Value);
    bool ElemMarkedA(int ACol, int ARow) const;
    void SetElemMarkedA(int ACol, int ARow, bool Value);
    bool ElemMarkedB(int ACol, int ARow) const;
    void SetElemMarkedB(int ACol, int ARow, bool Value);
    std::uint8_t GetColAttrib(int ColNr) const;
    void SetColAttrib(int ColNr, std::uint8_t Value);
    std::uint8_t GetRowAttrib(int RowNr) const;
    void SetRowAttrib(int RowNr, std::uint8_t Value);
    // Clears the table (values, states, attributes, comment, numbered names) and sets every
    // column's decimal places to 3; the size and the widths stay.
    void Clear();

    // --- Size and layout
    int NrOfColumns() const { return FData->NrOfColumns(); }
    int NrOfRows() const { return FData->NrOfRows(); }
    void SetNrOfColumns(int n);
    void SetNrOfRows(int n);
    // Inserting accepts 1 to one past the last row or column and inserts before it; removing
    // refuses the last remaining row or column and closes an open cell editor first.
    void InsertRow(int ix);
    void RemoveRow(int ix);
    void InsertColumn(int ix);
    void RemoveColumn(int ix);

    // Decimal places of a column, -1 (scientific) to 10: negative values become -1 and values
    // above 10 become 10. Read back as an unsigned byte, so -1 reads 255; 0 outside the table.
    std::uint8_t GetDecPlaces(int ColNr) const;
    void SetDecPlaces(int ColNr, std::int8_t Dp);
    // Index > 0: a data column; 0: the row-name column; negative: the attribute column (set
    // only while it is shown).
    int GetColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    // Gives column Index (0: the row names) the width `minimum`, or more where its heading needs
    // the room to show whole in the grid's font, bold as the current row's or column's heading
    // is drawn: every row name for the row-name column, the column's name for a data column.
    void FitHeadingWidth(int Index, int minimum);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value); // also gives every data column this width
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    bool OptimizeRowHeight() const { return FOptRowHeight; }
    void SetOptimizeRowHeight(bool Value);
    // Minimum field width of a formatted number, 1..20; other values are ignored.
    int NumWidth() const { return FNumWidth; }
    void SetNumWidth(int w);
    bool AttribRowVisible() const { return FColOffset == 1; } // the attribute column
    void SetAttribRowVisible(bool Value);
    bool AttribColVisible() const { return FRowOffset == 1; } // the attribute row
    void SetAttribColVisible(bool Value);
    int ColOffset() const { return FColOffset; }
    int RowOffset() const { return FRowOffset; }
    // The first scrolled data column and row, clamped to the table.
    int LeftCol() const;
    void SetLeftCol(int Value);
    int TopRow() const;
    void SetTopRow(int Value);

    // --- Colours and fonts
    QColor ColorBackground() const { return FColorBkgnd; }
    void SetColorBackground(const QColor& c);
    QColor ColorFixed() const { return FColorFixed; }
    void SetColorFixed(const QColor& c);
    QColor ColorNormal() const { return FColorNormal; }
    void SetColorNormal(const QColor& c);
    QColor ColorMarkedA() const { return FColorMarked1; }
    void SetColorMarkedA(const QColor& c);
    QColor ColorMarkedB() const { return FColorMarked2; }
    void SetColorMarkedB(const QColor& c);
    QColor ColorMarkedBoth() const { return FColorMarkedBoth; }
    void SetColorMarkedBoth(const QColor& c);
    QColor ColorSelected() const { return FColorSelected; }
    void SetColorSelected(const QColor& c);
    QColor ColorRangeSelFG() const { return FColorRngSelFG; }
    void SetColorRangeSelFG(const QColor& c);
    QColor ColorRangeSelBG() const { return FColorRngSelBG; }
    void SetColorRangeSelBG(const QColor& c);
    bool BoldSelHeads() const { return FBoldSelHeads; }
    void SetBoldSelHeads(bool Value);
    bool BoldMarks() const { return FBoldMarks; }
    void SetBoldMarks(bool Value);

    // --- Behaviour
    bool AutoAdvance() const { return FAutoAdvance; }
    void SetAutoAdvance(bool Value) { FAutoAdvance = Value; }
    TOrientation AutoAdvanceDir() const { return FAutoAdvDir; }
    void SetAutoAdvanceDir(TOrientation Value) { FAutoAdvDir = Value; }
    bool DataReadOnly() const { return FReadOnly; }
    void SetDataReadOnly(bool Value);
    // The grid's cell-editing option: whether typing, Enter, F2 and clicks may open the cell
    // editor. The grid switches it itself (see the mouse and key handling).
    bool CellEditing() const { return FCellEditing; }
    void SetCellEditing(bool Value);
    // Whether the cell editor is open.
    bool EditorMode() const { return state() == QAbstractItemView::EditingState; }
    bool ClipboardUseFullPrec() const { return FClipUseFullPrec; }
    void SetClipboardUseFullPrec(bool Value) { FClipUseFullPrec = Value; }
    bool BlockInternalPopup() const { return FBlockIntPopup; }
    void SetBlockInternalPopup(bool Value) { FBlockIntPopup = Value; }
    bool CommentEditingAllowed() const { return FCommEdAllowed; }
    void SetCommentEditingAllowed(bool Value) { FCommEdAllowed = Value; }
    // A menu of the host; while one is attached the built-in menus never open.
    QMenu* PopupMenu() const { return FHostMenu; }
    void SetPopupMenu(QMenu* menu) { FHostMenu = menu; }
    std::uint32_t PopupDMask() const { return FPopupDMask; }
    void SetPopupDMask(std::uint32_t mask);
    std::uint32_t PopupHMask() const { return FPopupHMask; }
    void SetPopupHMask(std::uint32_t mask);
    QMenu* PopupD() const { return FPopupD; }
    QMenu* PopupH() const { return FPopupH; }

    // --- Selection and painting
    // The selection in grid cells (never empty: at least the current cell).
    TGridRect Selection() const;
    void SetSelection(const TGridRect& rect);
    bool SuppressPaint() const { return FSuppressPaint; }
    // Suppresses painting and change notifications; clearing it repaints at once.
    void SetSuppressPaint(bool Value);

    // --- Texts
    // The number text of a value with the given decimal places and NumWidth.
    QString FormatCell(double Value, int DecPlaces) const;
    // The cell editor's text for data cell (ACol, ARow), and applying an edited text.
    QString GetEditText(int ACol, int ARow) const;
    void SetEditText(int ACol, int ARow, const QString& Value);

    // Draws grid cell (ACol, ARow) into its rectangle.
    void DrawCell(QPainter& painter, int ACol, int ARow, const QRect& rect, bool selected);

    // --- Popup commands: the data commands act on the selection, the header commands on the
    // header cell that was right-clicked last.
    void PopupMenuClickMarkARange();
    void PopupMenuClickMarkAColumn();
    void PopupMenuClickMarkARow();
    void PopupMenuClickMarkAAll();
    void PopupMenuClickMarkBRange();
    void PopupMenuClickMarkBColumn();
    void PopupMenuClickMarkBRow();
    void PopupMenuClickMarkBAll();
    void PopupMenuClickUnMarkARange();
    void PopupMenuClickUnMarkAColumn();
    void PopupMenuClickUnMarkARow();
    void PopupMenuClickUnMarkAAll();
    void PopupMenuClickUnMarkBRange();
    void PopupMenuClickUnMarkBColumn();
    void PopupMenuClickUnMarkBRow();
    void PopupMenuClickUnMarkBAll();
    void PopupMenuClickUnMarkAll();
    void PopupMenuClickClear();
    void PopupMenuClickCopy();
    void PopupMenuClickPaste();
    void PopupMenuClickEdit();
    void PopupMenuClickExtClip();
    void PopupMenuClickSelAll();
    void PopupMenuClickEmptyCells();
    void PopupMenuClickChangeID();
    void PopupMenuClickPrecision();
    void PopupMenuClickSelectCol();
    void PopupMenuClickSelectRow();
    void PopupMenuClickInsertCol();
    void PopupMenuClickInsertRow();
    void PopupMenuClickDeleteCol();
    void PopupMenuClickDeleteRow();

    // Notifications with var parameters: they may change what is drawn or edited.
    // OnBeforeRenderCell gets grid coordinates.
    std::function<void(int ACol, int ARow, QString& text, QColor& textColor, QColor& background,
                       QFont& font)>
        OnBeforeRenderCell;
    std::function<void(int ACol, int ARow, QString& text)> OnGetEditText;

signals:
    // Change notifications, sent only while painting is not suppressed.
    void OnChange();
    void OnHeadingChanged();
    void OnAttributeChanged();
    void OnLayoutChanged();
    void OnCellStateChanged();
    void OnSelectionChanged();
    void OnChangeSetup();
    // Sent whenever their event happens.
    void OnTopLeftChanged();
    void OnPaste();
    void OnPercentDone(double percent);
    void OnBeforePopup(QMenu* menu);
    void OnSetEditText(int ACol, int ARow, const QString& text);
    // A mouse press and release in the grid ended, or the keyboard moved the current cell.
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

protected slots:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class TNTabEdModel;
    friend class TNTabEdDelegate;
    friend class TNTabEdHeader;
    friend class TNTabEdCorner;

    // Sets the internal suppression while a bulk operation runs; repaints once at its end.
    class Bulk {
    public:
        explicit Bulk(TNTabEd& grid);
        ~Bulk();
        Bulk(const Bulk&) = delete;
        Bulk& operator=(const Bulk&) = delete;

    private:
        TNTabEd& FGrid;
        bool FWas;
    };

    enum class Scope { Range, Column, Row, All };
    enum class HeaderKind { None, Column, Row };

    bool Quiet() const { return FSuppressPaint || FInternSuppPaint; }
    void Notify(void (TNTabEd::*signal)());
    void Repaint();
    [[noreturn]] void OutOfHeap() const;
    void ReportError(const QString& message);
    template <typename Command> void Guarded(Command command);

    // Table notifications.
    void TableChanged();
    void TableSetupChanged();
    void TableResized(int oldCols, int oldRows, int newCols, int newRows);
    void ReserveDecPlaces(int cols);

    // Data-number view of the selection, clamped to the table.
    TGridRect DataSelection() const;
    void SelectData(int left, int top, int right, int bottom);
    void CheckSelection();
    int SignedDecPlaces(int col) const;
    QString CellText(int col, int row) const;
    void ApplyRowHeight();
    int RowHeight() const;
    int NameColumnWidth() const { return FNameColWidth; }
    int RowHeaderWidth() const;
    int ColumnHeaderHeight() const;
    void LayoutChanged();
    void AdvanceCell();
    void CloseCellEditor();
    void RedrawCorner();

    // Header cells and menus.
    HeaderKind KindOf(int gridCol, int gridRow) const;
    QRect HeaderCellRect(int gridCol, int gridRow) const; // in the grid's coordinates
    void HeaderRightPress(int gridCol, int gridRow);
    void OpenDataMenu(const QPoint& globalPos);
    void OpenHeaderMenu();
    void HeaderMenuClosed();
    void BuildMenus();
    void ApplyMenuMasks();
    void ChangeMarks(std::uint8_t bit, bool set, Scope scope);
    void OpenHeadingEditor();
    void CloseHeadingEditor(bool apply);
    void CornerPressed(Qt::MouseButton button);
    void OpenCommentEditor();
    void CloseCommentEditor(bool apply);

    // Component state.
    bool FAutoAdvance = true;
    TOrientation FAutoAdvDir = orVert;
    TGridRect FOldSel{-1, -1, -1, -1};
    int FClassColWidth = 32;
    bool FOptRowHeight = false;
    int FColOffset = 1;
    int FRowOffset = 0;
    std::vector<std::int8_t> FDecP;
    bool FClipUseFullPrec = true;
    std::unique_ptr<TDataTable> FDataCopy;
    bool FDataCopyAvail = false;
    int FNumWidth = 1;
    bool FSuppressPaint = false;
    bool FInternSuppPaint = true; // until construction ends
    bool FBlockIntPopup = false;
    bool FCommEdAllowed = true;
    bool FReadOnly = false;
    QMenu* FPopupD = nullptr;
    std::uint32_t FPopupDMask = AllMenuItems;
    QMenu* FPopupH = nullptr;
    std::uint32_t FPopupHMask = AllMenuItems;
    QColor FColorBkgnd;
    QColor FColorFixed;
    QColor FColorNormal{0, 32, 0};
    QColor FColorMarked1{255, 0, 0};
    QColor FColorMarked2{0, 0, 255};
    QColor FColorMarkedBoth{187, 0, 204};
    QColor FColorSelected{64, 64, 64};
    QColor FColorRngSelFG{44, 85, 128};
    QColor FColorRngSelBG{224, 232, 248};
    bool FBoldSelHeads = true;
    bool FBoldMarks = true;
    bool FNameEdActive = false;
    QLineEdit* FNameEd = nullptr;
    bool FCommentMMActive = false;
    QPlainTextEdit* FCommentMM = nullptr;
    std::unique_ptr<TDataTable> FData;

    // Widget state.
    TNTabEdModel* FModel = nullptr;
    TNTabEdDelegate* FDelegate = nullptr;
    TNTabEdHeader* FColHeader = nullptr;
    TNTabEdHeader* FRowHeader = nullptr;
    TNTabEdCorner* FCorner = nullptr;
    QPointer<QMenu> FHostMenu;
    QPointer<QLineEdit> FCellEditor;
    bool FCellEditing = true;
    QPoint FLastPress{-1, -1}; // data cell of the last left press
    int FNameColWidth = 80;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    // The header cell that was right-clicked last, in grid cells, and whether it is outlined.
    QPoint FHeaderCell{-1, -1};
    bool FHeaderOutlined = false;
    bool FPrecisionStepping = false; // Change Precision reopens the header menu
    bool FHeaderMenuReopening = false;
    QPoint FHeaderMenuPos;

    // Data menu items 5 to 12 and the header menu items 1 to 5.
    QAction* FItemUnmarkAll = nullptr;
    QAction* FItemClear = nullptr;
    QAction* FItemCopy = nullptr;
    QAction* FItemPaste = nullptr;
    QAction* FItemReadOnly = nullptr;
    QAction* FItemExtClip = nullptr;
    QAction* FItemSelAll = nullptr;
    QAction* FItemEmpty = nullptr;
    QAction* FItemHeading = nullptr;
    QAction* FItemPrecision = nullptr;
    QAction* FItemSelect = nullptr;
    QAction* FItemInsert = nullptr;
    QAction* FItemDelete = nullptr;
    HeaderKind FHeaderMenuKind = HeaderKind::None;
};
