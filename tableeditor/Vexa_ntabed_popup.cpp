// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's two context menus and their commands: marking, clearing, the empty state, copy,
// paste and reading numbers from the clipboard, selecting, read-only mode, headings, decimal
// places, and inserting and deleting rows and columns.
#include "tableeditor/Vexa_ntabed.h"

#include "tableeditor/Vexa_ntabed_parts.h"
#include "tableeditor/Vexa_numtext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>

#include <algorithm>
#include <new>

namespace {

bool Bit(std::uint32_t mask, int bit) {
    return (mask >> bit & 1u) != 0;
}

// Mask bits of the data menu's items 5 to 12.
constexpr int BitUnmarkAll = 4;
constexpr int BitClear = 5;
constexpr int BitCopy = 6;
constexpr int BitPaste = 7;
constexpr int BitReadOnly = 8;
constexpr int BitExtClip = 9;
constexpr int BitSelAll = 10;
constexpr int BitEmpty = 11;
// Mask bits of the header menu's items 1 to 5.
constexpr int BitHeading = 0;
constexpr int BitPrecision = 1;
constexpr int BitSelect = 2;
constexpr int BitInsert = 3;
constexpr int BitDelete = 4;
static_assert(TNTabEd::HeaderInsertItem == 1u << BitInsert);
static_assert(TNTabEd::HeaderDeleteItem == 1u << BitDelete);

} // namespace

void TNTabEd::ReportError(const QString& message) {
    auto* box =
        new QMessageBox(QMessageBox::Critical, windowTitle(), message, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// Runs a command chosen from a menu. Running out of memory ends the command with a message
// instead of unwinding through the event loop.
template <typename Command> void TNTabEd::Guarded(Command command) {
    try {
        command();
    } catch (const EVexaNTabedError& e) {
        ReportError(QString::fromStdString(e.what()));
    } catch (const EVexaDataTableError& e) {
        ReportError(QString::fromStdString(e.what()));
    } catch (const std::bad_alloc&) {
        ReportError(
            QStringLiteral("Component \"%1\": not enough memory on heap").arg(objectName()));
    }
}

void TNTabEd::BuildMenus() {
    FPopupD = new QMenu(this);
    using Click = void (TNTabEd::*)();
    const auto add = [this](QMenu* menu, const QString& caption, Click click) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this,
                [this, click] { Guarded([=, this] { (this->*click)(); }); });
        return action;
    };
    const struct {
        const char* Caption;
        Click Range, Column, Row, All;
    } markMenus[] = {
        {"Mark as type A", &TNTabEd::PopupMenuClickMarkARange, &TNTabEd::PopupMenuClickMarkAColumn,
         &TNTabEd::PopupMenuClickMarkARow, &TNTabEd::PopupMenuClickMarkAAll},
        {"Mark as type B", &TNTabEd::PopupMenuClickMarkBRange, &TNTabEd::PopupMenuClickMarkBColumn,
         &TNTabEd::PopupMenuClickMarkBRow, &TNTabEd::PopupMenuClickMarkBAll},
        {"Unmark type A", &TNTabEd::PopupMenuClickUnMarkARange,
         &TNTabEd::PopupMenuClickUnMarkAColumn, &TNTabEd::PopupMenuClickUnMarkARow,
         &TNTabEd::PopupMenuClickUnMarkAAll},
        {"Unmark type B", &TNTabEd::PopupMenuClickUnMarkBRange,
         &TNTabEd::PopupMenuClickUnMarkBColumn, &TNTabEd::PopupMenuClickUnMarkBRow,
         &TNTabEd::PopupMenuClickUnMarkBAll},
    };
    for (const auto& m : markMenus) {
        QMenu* sub = FPopupD->addMenu(QString::fromLatin1(m.Caption));
        add(sub, QStringLiteral("Range"), m.Range);
        add(sub, QStringLiteral("Column"), m.Column);
        add(sub, QStringLiteral("Row"), m.Row);
        add(sub, QStringLiteral("All"), m.All);
    }
    FItemUnmarkAll = add(FPopupD, QStringLiteral("Unmark All"), &TNTabEd::PopupMenuClickUnMarkAll);
    FItemClear = add(FPopupD, QStringLiteral("Clear"), &TNTabEd::PopupMenuClickClear);
    FItemCopy = add(FPopupD, QStringLiteral("Copy"), &TNTabEd::PopupMenuClickCopy);
    FItemPaste = add(FPopupD, QStringLiteral("Paste"), &TNTabEd::PopupMenuClickPaste);
    FItemReadOnly = add(FPopupD, QStringLiteral("Data Read-Only"), &TNTabEd::PopupMenuClickEdit);
    FItemReadOnly->setCheckable(true);
    FItemExtClip =
        add(FPopupD, QStringLiteral("Extract from Clipboard"), &TNTabEd::PopupMenuClickExtClip);
    FItemSelAll = add(FPopupD, QStringLiteral("Select All"), &TNTabEd::PopupMenuClickSelAll);
    FItemEmpty =
        add(FPopupD, QStringLiteral("Toggle Empty State"), &TNTabEd::PopupMenuClickEmptyCells);
    connect(FPopupD, &QMenu::aboutToShow, this, [this] {
        FItemPaste->setEnabled(Bit(FPopupDMask, BitPaste) && FDataCopyAvail && !FReadOnly);
    });

    FPopupH = new QMenu(this);
    FItemHeading = add(FPopupH, QStringLiteral("Edit Heading"), &TNTabEd::PopupMenuClickChangeID);
    FItemPrecision =
        add(FPopupH, QStringLiteral("Change Precision"), &TNTabEd::PopupMenuClickPrecision);
    // Items 3 to 5 act on a column or a row, whichever header was clicked.
    const auto addHeader = [this](const QString& caption, Click onColumn, Click onRow) {
        QAction* action = FPopupH->addAction(caption);
        connect(action, &QAction::triggered, this, [this, onColumn, onRow] {
            const Click click = FHeaderMenuKind == HeaderKind::Row ? onRow : onColumn;
            Guarded([=, this] { (this->*click)(); });
        });
        return action;
    };
    FItemSelect = addHeader(QStringLiteral("Select.."), &TNTabEd::PopupMenuClickSelectCol,
                            &TNTabEd::PopupMenuClickSelectRow);
    FItemInsert = addHeader(QStringLiteral("Insert.."), &TNTabEd::PopupMenuClickInsertCol,
                            &TNTabEd::PopupMenuClickInsertRow);
    FItemDelete = addHeader(QStringLiteral("Delete.."), &TNTabEd::PopupMenuClickDeleteCol,
                            &TNTabEd::PopupMenuClickDeleteRow);
    connect(FPopupH, &QMenu::aboutToHide, this, &TNTabEd::HeaderMenuClosed);
    ApplyMenuMasks();
}

void TNTabEd::ApplyMenuMasks() {
    FItemUnmarkAll->setEnabled(Bit(FPopupDMask, BitUnmarkAll));
    FItemClear->setEnabled(Bit(FPopupDMask, BitClear));
    FItemCopy->setEnabled(Bit(FPopupDMask, BitCopy));
    FItemPaste->setEnabled(Bit(FPopupDMask, BitPaste) && FDataCopyAvail && !FReadOnly);
    FItemReadOnly->setEnabled(Bit(FPopupDMask, BitReadOnly));
    FItemExtClip->setEnabled(Bit(FPopupDMask, BitExtClip));
    FItemSelAll->setEnabled(Bit(FPopupDMask, BitSelAll));
    FItemEmpty->setEnabled(Bit(FPopupDMask, BitEmpty));
    FItemHeading->setEnabled(Bit(FPopupHMask, BitHeading));
    FItemPrecision->setEnabled(Bit(FPopupHMask, BitPrecision));
    FItemSelect->setEnabled(Bit(FPopupHMask, BitSelect));
    FItemInsert->setEnabled(Bit(FPopupHMask, BitInsert));
    FItemDelete->setEnabled(Bit(FPopupHMask, BitDelete));
}

void TNTabEd::SetPopupDMask(std::uint32_t mask) {
    FPopupDMask = mask;
    ApplyMenuMasks();
}

void TNTabEd::SetPopupHMask(std::uint32_t mask) {
    FPopupHMask = mask;
    ApplyMenuMasks();
}

// --- Opening the menus

void TNTabEd::OpenDataMenu(const QPoint& globalPos) {
    FItemReadOnly->setChecked(FReadOnly);
    emit OnBeforePopup(FPopupD);
    FPopupD->popup(globalPos + QPoint(10, -20));
}

TNTabEd::HeaderKind TNTabEd::KindOf(int gridCol, int gridRow) const {
    if (gridRow >= 0 && gridRow <= FRowOffset && gridCol > FColOffset &&
        gridCol <= NrOfColumns() + FColOffset)
        return HeaderKind::Column;
    if (gridCol >= 0 && gridCol <= FColOffset && gridRow > FRowOffset &&
        gridRow <= NrOfRows() + FRowOffset)
        return HeaderKind::Row;
    return HeaderKind::None;
}

QRect TNTabEd::HeaderCellRect(int gridCol, int gridRow) const {
    switch (KindOf(gridCol, gridRow)) {
    case HeaderKind::Column: {
        const QRect r = FColHeader->GridCellRect(gridCol, gridRow);
        return r.translated(FColHeader->viewport()->mapTo(this, QPoint(0, 0)));
    }
    case HeaderKind::Row: {
        const QRect r = FRowHeader->GridCellRect(gridCol, gridRow);
        return r.translated(FRowHeader->viewport()->mapTo(this, QPoint(0, 0)));
    }
    case HeaderKind::None:
        break;
    }
    return {};
}

void TNTabEd::HeaderRightPress(int gridCol, int gridRow) {
    if (FHostMenu || FBlockIntPopup)
        return;
    const HeaderKind kind = KindOf(gridCol, gridRow);
    if (kind == HeaderKind::None)
        return;
    FHeaderCell = QPoint(gridCol, gridRow);
    FHeaderMenuKind = kind;
    OpenHeaderMenu();
}

void TNTabEd::OpenHeaderMenu() {
    const bool column = FHeaderMenuKind == HeaderKind::Column;
    FItemHeading->setEnabled(Bit(FPopupHMask, BitHeading));
    if (Bit(FPopupHMask, BitPrecision))
        FItemPrecision->setEnabled(column);
    FItemSelect->setEnabled(Bit(FPopupHMask, BitSelect));
    FItemInsert->setEnabled(Bit(FPopupHMask, BitInsert) && !FReadOnly);
    FItemDelete->setEnabled(Bit(FPopupHMask, BitDelete) && !FReadOnly);
    FItemSelect->setText(column ? QStringLiteral("Select Column") : QStringLiteral("Select Row"));
    FItemInsert->setText(column ? QStringLiteral("Insert Column") : QStringLiteral("Insert Row"));
    FItemDelete->setText(column ? QStringLiteral("Delete Column") : QStringLiteral("Delete Row"));
    FHeaderOutlined = true;
    Repaint();
    emit OnBeforePopup(FPopupH);
    FHeaderMenuPos =
        mapToGlobal(HeaderCellRect(FHeaderCell.x(), FHeaderCell.y()).topLeft() + QPoint(20, 20));
    FPopupH->popup(FHeaderMenuPos);
}

void TNTabEd::HeaderMenuClosed() {
    // The menu hides before its command runs; look once the command is done whether it opened
    // the menu again (Change Precision does).
    QTimer::singleShot(0, this, [this] {
        if (FHeaderMenuReopening || FPopupH->isVisible())
            return;
        FHeaderOutlined = false;
        Repaint();
        if (FPrecisionStepping) {
            FPrecisionStepping = false;
            LayoutChanged();
        }
    });
}

// --- Marks, clearing and the empty state

void TNTabEd::ChangeMarks(std::uint8_t bit, bool set, Scope scope) {
    const TGridRect sel = DataSelection();
    const bool allCols = scope == Scope::Row || scope == Scope::All;
    const bool allRows = scope == Scope::Column || scope == Scope::All;
    const int left = allCols ? 1 : sel.Left;
    const int right = allCols ? NrOfColumns() : sel.Right;
    const int top = allRows ? 1 : sel.Top;
    const int bottom = allRows ? NrOfRows() : sel.Bottom;
    {
        Bulk bulk(*this);
        for (int c = left; c <= right; ++c)
            for (int r = top; r <= bottom; ++r) {
                const std::uint8_t state = FData->GetCellState(c, r);
                FData->SetCellState(c, r,
                                    static_cast<std::uint8_t>(set ? state | bit : state & ~bit));
            }
    }
    Notify(&TNTabEd::OnCellStateChanged);
}

void TNTabEd::PopupMenuClickMarkARange() {
    ChangeMarks(CellState::MarkA, true, Scope::Range);
}
void TNTabEd::PopupMenuClickMarkAColumn() {
    ChangeMarks(CellState::MarkA, true, Scope::Column);
}
void TNTabEd::PopupMenuClickMarkARow() {
    ChangeMarks(CellState::MarkA, true, Scope::Row);
}
void TNTabEd::PopupMenuClickMarkAAll() {
    ChangeMarks(CellState::MarkA, true, Scope::All);
}
void TNTabEd::PopupMenuClickMarkBRange() {
    ChangeMarks(CellState::MarkB, true, Scope::Range);
}
void TNTabEd::PopupMenuClickMarkBColumn() {
    ChangeMarks(CellState::MarkB, true, Scope::Column);
}
void TNTabEd::PopupMenuClickMarkBRow() {
    ChangeMarks(CellState::MarkB, true, Scope::Row);
}
void TNTabEd::PopupMenuClickMarkBAll() {
    ChangeMarks(CellState::MarkB, true, Scope::All);
}
void TNTabEd::PopupMenuClickUnMarkARange() {
    ChangeMarks(CellState::MarkA, false, Scope::Range);
}
void TNTabEd::PopupMenuClickUnMarkAColumn() {
    ChangeMarks(CellState::MarkA, false, Scope::Column);
}
void TNTabEd::PopupMenuClickUnMarkARow() {
    ChangeMarks(CellState::MarkA, false, Scope::Row);
}
void TNTabEd::PopupMenuClickUnMarkAAll() {
    ChangeMarks(CellState::MarkA, false, Scope::All);
}
void TNTabEd::PopupMenuClickUnMarkBRange() {
    ChangeMarks(CellState::MarkB, false, Scope::Range);
}
void TNTabEd::PopupMenuClickUnMarkBColumn() {
    ChangeMarks(CellState::MarkB, false, Scope::Column);
}
void TNTabEd::PopupMenuClickUnMarkBRow() {
    ChangeMarks(CellState::MarkB, false, Scope::Row);
}
void TNTabEd::PopupMenuClickUnMarkBAll() {
    ChangeMarks(CellState::MarkB, false, Scope::All);
}
void TNTabEd::PopupMenuClickUnMarkAll() {
    ChangeMarks(CellState::MarkA | CellState::MarkB, false, Scope::All);
}

void TNTabEd::PopupMenuClickClear() {
    const TGridRect sel = DataSelection();
    {
        Bulk bulk(*this);
        for (int c = sel.Left; c <= sel.Right; ++c)
            for (int r = sel.Top; r <= sel.Bottom; ++r) {
                FData->SetElem(c, r, 0.0);
                FData->SetCellState(c, r, CellState::Plain);
            }
    }
    Notify(&TNTabEd::OnChange);
    Notify(&TNTabEd::OnCellStateChanged);
}

void TNTabEd::PopupMenuClickEmptyCells() {
    const TGridRect sel = DataSelection();
    {
        Bulk bulk(*this);
        for (int c = sel.Left; c <= sel.Right; ++c)
            for (int r = sel.Top; r <= sel.Bottom; ++r)
                FData->SetCellState(c, r, FData->GetCellState(c, r) ^ CellState::Empty);
    }
    Notify(&TNTabEd::OnCellStateChanged);
}

// --- Clipboard

void TNTabEd::PopupMenuClickCopy() {
    const TGridRect sel = DataSelection();
    FDataCopy->Resize(sel.Right - sel.Left + 1, sel.Bottom - sel.Top + 1);
    QString text;
    for (int r = sel.Top; r <= sel.Bottom; ++r) {
        for (int c = sel.Left; c <= sel.Right; ++c) {
            const double value = FData->GetElem(c, r);
            FDataCopy->SetElem(c - sel.Left + 1, r - sel.Top + 1, value);
            FDataCopy->SetCellState(c - sel.Left + 1, r - sel.Top + 1, FData->GetCellState(c, r));
            text += QLatin1Char(c == sel.Left ? ' ' : '\t');
            if (!FData->GetIsNumber(c, r))
                text += QStringLiteral("####");
            else if (FClipUseFullPrec)
                text += QString::fromStdString(FullPrecisionText(value));
            else
                text += QString::fromStdString(PrecisionText(value, SignedDecPlaces(c)));
        }
        text += QStringLiteral("\r\n");
    }
    QGuiApplication::clipboard()->setText(text);
    FDataCopyAvail = true;
}

void TNTabEd::PopupMenuClickPaste() {
    if (!FDataCopyAvail || FReadOnly)
        return;
    const TGridRect sel = DataSelection();
    const int width = FDataCopy->NrOfColumns();
    const int height = FDataCopy->NrOfRows();
    {
        Bulk bulk(*this);
        for (int c = 1; c <= width; ++c)
            for (int r = 1; r <= height; ++r) {
                // Cells beyond the table are skipped by the table itself.
                const int col = sel.Left + c - 1;
                const int row = sel.Top + r - 1;
                FData->SetElem(col, row, FDataCopy->GetElem(c, r));
                FData->SetCellState(col, row, FDataCopy->GetCellState(c, r));
            }
    }
    Notify(&TNTabEd::OnChange);
    Notify(&TNTabEd::OnCellStateChanged);
    emit OnPaste();
    SelectData(sel.Left, sel.Top, sel.Left + width - 1, sel.Top + height - 1);
}

void TNTabEd::PopupMenuClickExtClip() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime || !mime->hasText())
        return;
    const QByteArray text = mime->text().toUtf8();
    const std::vector<ExtractedNumber> numbers =
        ExtractNumbers(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    const TGridRect sel = DataSelection();
    // Places are counted in 64 bits: a text can hold more numbers than a table has cells.
    const auto left = static_cast<long long>(sel.Left);
    const auto top = static_cast<long long>(sel.Top);
    long long right = left;
    long long bottom = top;
    {
        Bulk bulk(*this);
        for (const ExtractedNumber& number : numbers) {
            const long long col = left + static_cast<long long>(number.Column);
            const long long row = top + static_cast<long long>(number.Line);
            if (col > NrOfColumns() || row > NrOfRows())
                continue;
            FData->SetElem(static_cast<int>(col), static_cast<int>(row), number.Value);
            right = std::max(right, col);
            bottom = std::max(bottom, row);
        }
    }
    Notify(&TNTabEd::OnChange);
    emit OnPaste();
    if (!numbers.empty())
        SelectData(sel.Left, sel.Top, static_cast<int>(right), static_cast<int>(bottom));
}

// --- Read-only mode and selections

void TNTabEd::PopupMenuClickEdit() {
    SetDataReadOnly(!FReadOnly);
}

void TNTabEd::PopupMenuClickSelAll() {
    SelectData(1, 1, NrOfColumns(), NrOfRows());
}

void TNTabEd::PopupMenuClickSelectCol() {
    const int col = FHeaderCell.x() - FColOffset;
    if (KindOf(FHeaderCell.x(), FHeaderCell.y()) == HeaderKind::Column)
        SelectData(col, 1, col, NrOfRows());
}

void TNTabEd::PopupMenuClickSelectRow() {
    const int row = FHeaderCell.y() - FRowOffset;
    if (KindOf(FHeaderCell.x(), FHeaderCell.y()) == HeaderKind::Row)
        SelectData(1, row, NrOfColumns(), row);
}

// --- Header commands

void TNTabEd::PopupMenuClickChangeID() {
    OpenHeadingEditor();
}

void TNTabEd::PopupMenuClickPrecision() {
    if (KindOf(FHeaderCell.x(), FHeaderCell.y()) != HeaderKind::Column)
        return;
    const int col = FHeaderCell.x() - FColOffset;
    const int places = SignedDecPlaces(col);
    SetDecPlaces(col, static_cast<std::int8_t>(places < 0 ? 10 : places - 1));
    // Open the menu again at the same place so that the user can step on.
    FPrecisionStepping = true;
    FHeaderOutlined = true;
    FHeaderMenuReopening = true;
    Repaint();
    QTimer::singleShot(0, this, [this] {
        FHeaderMenuReopening = false;
        if (!FPopupH->isVisible())
            FPopupH->popup(FHeaderMenuPos);
    });
}

void TNTabEd::PopupMenuClickInsertCol() {
    if (FReadOnly || KindOf(FHeaderCell.x(), FHeaderCell.y()) != HeaderKind::Column)
        return;
    const int col = FHeaderCell.x() - FColOffset;
    InsertColumn(col);
    SetColName(col, QStringLiteral("(...)"));
}

void TNTabEd::PopupMenuClickInsertRow() {
    if (FReadOnly || KindOf(FHeaderCell.x(), FHeaderCell.y()) != HeaderKind::Row)
        return;
    const int row = FHeaderCell.y() - FRowOffset;
    InsertRow(row);
    SetRowName(row, QStringLiteral("(...)"));
}

void TNTabEd::PopupMenuClickDeleteCol() {
    if (FReadOnly || KindOf(FHeaderCell.x(), FHeaderCell.y()) != HeaderKind::Column)
        return;
    RemoveColumn(FHeaderCell.x() - FColOffset);
}

void TNTabEd::PopupMenuClickDeleteRow() {
    if (FReadOnly || KindOf(FHeaderCell.x(), FHeaderCell.y()) != HeaderKind::Row)
        return;
    RemoveRow(FHeaderCell.y() - FRowOffset);
}
