// SPDX-License-Identifier: GPL-3.0-or-later
#include "tableeditor/Vexa_datatable.h"

#include <cmath>
#include <new>
#include <string>
#include <utility>

namespace {

std::string ComponentMessage(const QString& name, const char* what) {
    return "Component \"" + name.toStdString() + "\": " + what;
}

std::size_t At(int index) {
    return static_cast<std::size_t>(index - 1);
}

// Entry i (from 1) of the rebuilt array of count entries comes from entry from(i) of the old
// one, or is fresh where that is 0.
template <typename T, typename Fresh>
std::vector<T> Remap(const std::vector<T>& old, int count, const std::function<int(int)>& from,
                     Fresh fresh) {
    std::vector<T> result;
    result.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        const int source = from(i);
        if (source >= 1 && static_cast<std::size_t>(source) <= old.size())
            result.push_back(old[At(source)]);
        else
            result.push_back(fresh(i));
    }
    return result;
}

// The same position while it existed before, else new.
std::function<int(int)> Kept(int oldCount) {
    return [oldCount](int i) { return i <= oldCount ? i : 0; };
}

} // namespace

QString ScaleTypeName(TMScaleType type) {
    switch (type) {
    case stNominal:
        return QStringLiteral("Nominal");
    case stOrdinal:
        return QStringLiteral("Ordinal");
    case stInterval:
        return QStringLiteral("Interval");
    case stRatio:
        return QStringLiteral("Ratio");
    case stUnknown:
        break;
    }
    return QStringLiteral("Unknown");
}

QString CutName(const QString& text) {
    if (text.size() <= MaxNameLength)
        return text;
    qsizetype n = MaxNameLength;
    if (text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

TDataTable::TDataTable(const QString& name) : FName(name) {
    try {
        FNumericData.OnChange = [this] {
            if (FMatrixLinked)
                Notify(OnChange);
        };
        Rebuild(1, 1, Kept(0), Kept(0), NewNames::Numbered);
    } catch (const EVexaDataTableError&) {
        throw EVexaDataTableError(ComponentMessage(name, "failed to initialize (out of memory)"));
    }
}

void TDataTable::OutOfHeap() const {
    throw EVexaDataTableError(ComponentMessage(FName, "not enough memory on heap"));
}

void TDataTable::Notify(const std::function<void(TDataTable&)>& handler) {
    if (handler)
        handler(*this);
}

void TDataTable::Rebuild(int cols, int rows, const std::function<int(int)>& colFrom,
                         const std::function<int(int)>& rowFrom, NewNames names) {
    const auto fresh = [names](const char* prefix, int i) {
        return names == NewNames::Numbered ? QString::fromLatin1(prefix) + QString::number(i)
                                           : QString();
    };
    std::vector<double> values;
    std::vector<std::uint8_t> states, colAtt, rowAtt;
    std::vector<QString> colName, rowName;
    std::vector<TVTypeSpec> vType;
    try {
        // The value matrix is the largest block by far: ask for it first.
        values = FNumericData.Remapped(cols, rows, colFrom, rowFrom);
        states.assign(MatrixCellCount(cols, rows, 1), 0);
        for (int c = 1; c <= cols; ++c) {
            const int fromCol = colFrom(c);
            if (fromCol < 1 || fromCol > FNrOfCols)
                continue;
            for (int r = 1; r <= rows; ++r) {
                const int fromRow = rowFrom(r);
                if (fromRow >= 1 && fromRow <= FNrOfRows)
                    states[CellOffset(c, r, rows)] =
                        FCState[CellOffset(fromCol, fromRow, FNrOfRows)];
            }
        }
        colAtt = Remap(FColAtt, cols, colFrom, [](int) { return std::uint8_t{0}; });
        rowAtt = Remap(FRowAtt, rows, rowFrom, [](int) { return std::uint8_t{0}; });
        colName = Remap(FColName, cols, colFrom, [&](int c) { return fresh("C-", c); });
        rowName = Remap(FRowName, rows, rowFrom, [&](int r) { return fresh("R-", r); });
        vType = Remap(FVType, cols, colFrom, [](int) { return TVTypeSpec{}; });
    } catch (const std::bad_alloc&) {
        OutOfHeap();
    } catch (const std::length_error&) {
        OutOfHeap();
    }
    // Nothing below allocates.
    FCState.swap(states);
    FColAtt.swap(colAtt);
    FRowAtt.swap(rowAtt);
    FColName.swap(colName);
    FRowName.swap(rowName);
    FVType.swap(vType);
    FNrOfCols = cols;
    FNrOfRows = rows;
    FNumericData.Adopt(cols, rows, std::move(values));
}

void TDataTable::Resize(int cols, int rows) {
    if (cols < 1 || rows < 1 || (cols == FNrOfCols && rows == FNrOfRows))
        return;
    const int oldCols = FNrOfCols;
    const int oldRows = FNrOfRows;
    {
        MatrixUnlinked unlinked(*this);
        Rebuild(cols, rows, Kept(oldCols), Kept(oldRows), NewNames::Numbered);
    }
    if (OnResize)
        OnResize(*this, oldCols, oldRows, cols, rows);
}

double TDataTable::GetElem(int col, int row) const {
    if (!Contains(col, row))
        return 0.0;
    const double value = FNumericData.Elem(col, row);
    const TMScaleType type = FVType[At(col)].MScaleType;
    if ((type == stNominal || type == stOrdinal) && std::isfinite(value))
        return std::round(value);
    return value;
}

void TDataTable::SetElem(int col, int row, double value) {
    if (Contains(col, row))
        FNumericData.SetElem(col, row, value);
}

std::uint8_t TDataTable::GetCellState(int col, int row) const {
    return Contains(col, row) ? FCState[CellOffset(col, row, FNrOfRows)] : CellState::Plain;
}

void TDataTable::SetCellState(int col, int row, std::uint8_t state) {
    if (!Contains(col, row))
        return;
    std::uint8_t& stored = FCState[CellOffset(col, row, FNrOfRows)];
    if (stored == state)
        return;
    stored = state;
    Notify(OnChangeCellSt);
}

bool TDataTable::GetIsNumber(int col, int row) const {
    return Contains(col, row) &&
           (GetCellState(col, row) & (CellState::Invalid | CellState::Empty)) == 0;
}

void TDataTable::UnmarkAllCells() {
    for (std::uint8_t& state : FCState)
        state &= static_cast<std::uint8_t>(~(CellState::MarkA | CellState::MarkB));
    Notify(OnChangeCellSt);
}

QString TDataTable::GetColName(int col) const {
    return col >= 1 && col <= FNrOfCols ? FColName[At(col)] : QString();
}

void TDataTable::SetColName(int col, const QString& name) {
    if (col < 1 || col > FNrOfCols)
        return;
    FColName[At(col)] = CutName(name);
    Notify(OnChangeNames);
}

QString TDataTable::GetRowName(int row) const {
    return row >= 1 && row <= FNrOfRows ? FRowName[At(row)] : QString();
}

void TDataTable::SetRowName(int row, const QString& name) {
    if (row < 1 || row > FNrOfRows)
        return;
    FRowName[At(row)] = CutName(name);
    Notify(OnChangeNames);
}

std::uint8_t TDataTable::GetColAttrib(int col) const {
    return col >= 1 && col <= FNrOfCols ? FColAtt[At(col)] : 0;
}

void TDataTable::SetColAttrib(int col, std::uint8_t attrib) {
    if (col < 1 || col > FNrOfCols)
        return;
    FColAtt[At(col)] = attrib;
    Notify(OnChangeAttrib);
}

std::uint8_t TDataTable::GetRowAttrib(int row) const {
    return row >= 1 && row <= FNrOfRows ? FRowAtt[At(row)] : 0;
}

void TDataTable::SetRowAttrib(int row, std::uint8_t attrib) {
    if (row < 1 || row > FNrOfRows)
        return;
    FRowAtt[At(row)] = attrib;
    Notify(OnChangeAttrib);
}

TMScaleType TDataTable::GetMScaleType(int col) const {
    return col >= 1 && col <= FNrOfCols ? FVType[At(col)].MScaleType : stUnknown;
}

void TDataTable::SetMScaleType(int col, TMScaleType type) {
    if (col < 1 || col > FNrOfCols)
        return;
    FVType[At(col)].MScaleType = type;
    Notify(OnChangeSetup);
}

void TDataTable::SetComment(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar ch : text)
        if (ch.unicode() >= 32)
            kept.append(ch);
    FComment = kept;
    Notify(OnChangeSetup);
}

void TDataTable::InsertRow(int ix) {
    if (ix < 1 || ix > FNrOfRows + 1)
        return;
    const int oldRows = FNrOfRows;
    {
        MatrixUnlinked unlinked(*this);
        Rebuild(
            FNrOfCols, oldRows + 1, Kept(FNrOfCols),
            [ix](int r) { return r < ix    ? r
                                 : r == ix ? 0
                                           : r - 1; }, NewNames::Empty);
        if (OnResize)
            OnResize(*this, FNrOfCols, oldRows, FNrOfCols, FNrOfRows);
    }
    Notify(OnChangeSetup);
}

void TDataTable::RemoveRow(int ix) {
    if (FNrOfRows < 2 || ix < 1 || ix > FNrOfRows)
        return;
    const int oldRows = FNrOfRows;
    {
        MatrixUnlinked unlinked(*this);
        Rebuild(
            FNrOfCols, oldRows - 1, Kept(FNrOfCols), [ix](int r) { return r < ix ? r : r + 1; },
            NewNames::Empty);
        if (OnResize)
            OnResize(*this, FNrOfCols, oldRows, FNrOfCols, FNrOfRows);
    }
    Notify(OnChangeSetup);
}

void TDataTable::InsertColumn(int ix) {
    if (ix < 1 || ix > FNrOfCols + 1)
        return;
    const int oldCols = FNrOfCols;
    {
        MatrixUnlinked unlinked(*this);
        Rebuild(
            oldCols + 1, FNrOfRows, [ix](int c) { return c < ix    ? c
                                                         : c == ix ? 0
                                                                   : c - 1; },
            Kept(FNrOfRows), NewNames::Empty);
        if (OnResize)
            OnResize(*this, oldCols, FNrOfRows, FNrOfCols, FNrOfRows);
    }
    Notify(OnChangeSetup);
}

void TDataTable::RemoveColumn(int ix) {
    if (FNrOfCols < 2 || ix < 1 || ix > FNrOfCols)
        return;
    const int oldCols = FNrOfCols;
    {
        MatrixUnlinked unlinked(*this);
        Rebuild(
            oldCols - 1, FNrOfRows, [ix](int c) { return c < ix ? c : c + 1; }, Kept(FNrOfRows),
            NewNames::Empty);
        if (OnResize)
            OnResize(*this, oldCols, FNrOfRows, FNrOfCols, FNrOfRows);
    }
    Notify(OnChangeSetup);
}

void TDataTable::Clear() {
    std::vector<QString> colName, rowName;
    try {
        colName.reserve(FColName.size());
        for (int c = 1; c <= FNrOfCols; ++c)
            colName.push_back(QStringLiteral("C-") + QString::number(c));
        rowName.reserve(FRowName.size());
        for (int r = 1; r <= FNrOfRows; ++r)
            rowName.push_back(QStringLiteral("R-") + QString::number(r));
    } catch (const std::bad_alloc&) {
        OutOfHeap();
    }
    FColName.swap(colName);
    FRowName.swap(rowName);
    std::fill(FCState.begin(), FCState.end(), CellState::Plain);
    std::fill(FRowAtt.begin(), FRowAtt.end(), std::uint8_t{0});
    std::fill(FColAtt.begin(), FColAtt.end(), std::uint8_t{0});
    for (TVTypeSpec& columnType : FVType) {
        columnType.MScaleType = stInterval;
        for (QString& id : columnType.IDs)
            id.clear();
    }
    FComment.clear();
    FNumericData.Fill(0.0);
    Notify(OnChangeNames);
    Notify(OnChangeAttrib);
    Notify(OnChangeCellSt);
    Notify(OnChangeSetup);
}
