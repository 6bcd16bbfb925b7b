// SPDX-License-Identifier: GPL-3.0-or-later
// The data behind a table editor: a rectangular table of 64-bit reals addressed by column and
// row from 1, with a name and an attribute byte for every row and column, a state byte for
// every cell, a measurement scale type for every column and a free comment. It knows nothing
// about drawing and reports every change through its notifications.
#pragma once

#include "tableeditor/Vexa_matrix.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

class EVexaDataTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bits of the cell state byte.
namespace CellState {
constexpr std::uint8_t Plain = 0;   // no bit set: a valid, unmarked number
constexpr std::uint8_t Invalid = 1; // holds no valid number, shown "-nan-"
constexpr std::uint8_t Empty = 2;   // shown blank
constexpr std::uint8_t Imputed = 32;
constexpr std::uint8_t MarkA = 64;
constexpr std::uint8_t MarkB = 128;
} // namespace CellState

enum TMScaleType : std::uint8_t {
    stUnknown = 0,
    stNominal = 1,
    stOrdinal = 2,
    stInterval = 3,
    stRatio = 4,
};
// "Unknown", "Nominal", "Ordinal", "Interval", "Ratio"; "Unknown" for any other code.
QString ScaleTypeName(TMScaleType type);

constexpr int MaxNameLength = 50;      // row and column names
constexpr int MaxNominalIdLength = 10; // labels of Nominal and Ordinal values
constexpr int NominalIdCount = 25;     // labels for the values 1..25

struct TVTypeSpec {
    TMScaleType MScaleType = stInterval;
    std::array<QString, NominalIdCount> IDs;
};

// The first MaxNameLength characters of the text, never splitting a surrogate pair.
QString CutName(const QString& text);

class TDataTable {
public:
    // A 1 x 1 table. Throws EVexaDataTableError when the memory is not there.
    explicit TDataTable(const QString& name = QString());
    TDataTable(const TDataTable&) = delete;
    TDataTable& operator=(const TDataTable&) = delete;

    // The component name that error messages carry.
    const QString& Name() const { return FName; }
    void SetName(const QString& name) { FName = name; }

    int NrOfColumns() const { return FNrOfCols; }
    int NrOfRows() const { return FNrOfRows; }
    void SetNrOfColumns(int cols) { Resize(cols, FNrOfRows); }
    void SetNrOfRows(int rows) { Resize(FNrOfCols, rows); }
    // Keeps the overlapping part; new columns are named "C-" and their number, new rows "R-"
    // and their number. Sizes below 1 are refused (a table always has a cell). Throws
    // EVexaDataTableError, leaving the table as it was, when the memory is not there.
    void Resize(int cols, int rows);

    bool Contains(int col, int row) const {
        return col >= 1 && col <= FNrOfCols && row >= 1 && row <= FNrOfRows;
    }

    // Reads outside the table give 0 or an empty text; writes outside it do nothing.
    double GetElem(int col, int row) const;
    void SetElem(int col, int row, double value);
    std::uint8_t GetCellState(int col, int row) const;
    void SetCellState(int col, int row, std::uint8_t state);
    bool GetIsNumber(int col, int row) const;
    void UnmarkAllCells();

    QString GetColName(int col) const;
    void SetColName(int col, const QString& name);
    QString GetRowName(int row) const;
    void SetRowName(int row, const QString& name);
    std::uint8_t GetColAttrib(int col) const;
    void SetColAttrib(int col, std::uint8_t attrib);
    std::uint8_t GetRowAttrib(int row) const;
    void SetRowAttrib(int row, std::uint8_t attrib);
    TMScaleType GetMScaleType(int col) const;
    void SetMScaleType(int col, TMScaleType type);

    const QString& Comment() const { return FComment; }
    // Stores the text without its control characters (codes below 32).
    void SetComment(const QString& text);

    // Inserts before ix, 1 <= ix <= count + 1: the new row or column is unnamed, with
    // attribute 0 and values and states 0. Removing refuses the last row or column.
    void InsertRow(int ix);
    void RemoveRow(int ix);
    void InsertColumn(int ix);
    void RemoveColumn(int ix);

    // Values, states and attributes 0, numbered names, interval scales, empty comment; the
    // size stays.
    void Clear();

    // The values. Read-only from outside so that its size always matches the table's.
    const TMatrix& NumericData() const { return FNumericData; }

    // Notifications, each skipped while unassigned.
    std::function<void(TDataTable&)> OnChange;       // cell values
    std::function<void(TDataTable&)> OnChangeSetup;  // structure, scale type, comment, clearing
    std::function<void(TDataTable&)> OnChangeNames;  // a row or column name
    std::function<void(TDataTable&)> OnChangeCellSt; // cell states
    std::function<void(TDataTable&)> OnChangeAttrib; // a row or column attribute
    std::function<void(TDataTable&, double percent)> OnPercentDone;
    std::function<void(TDataTable&, int oldCols, int oldRows, int newCols, int newRows)> OnResize;

private:
    enum class NewNames { Numbered, Empty };
    // Rebuilds every array at cols x rows, column c taken from column colFrom(c) of the
    // present table and row r from row rowFrom(r), or new where that is 0. Allocates
    // everything before changing anything, so a failure (EVexaDataTableError) leaves the table
    // as it was.
    void Rebuild(int cols, int rows, const std::function<int(int)>& colFrom,
                 const std::function<int(int)>& rowFrom, NewNames names);
    [[noreturn]] void OutOfHeap() const;
    void Notify(const std::function<void(TDataTable&)>& handler);

    // Keeps the value matrix's change notification away from OnChange while it lives.
    class MatrixUnlinked {
    public:
        explicit MatrixUnlinked(TDataTable& table) : FTable(table), FWas(table.FMatrixLinked) {
            table.FMatrixLinked = false;
        }
        ~MatrixUnlinked() { FTable.FMatrixLinked = FWas; }
        MatrixUnlinked(const MatrixUnlinked&) = delete;
        MatrixUnlinked& operator=(const MatrixUnlinked&) = delete;

    private:
        TDataTable& FTable;
        bool FWas;
    };

    QString FName;
    QString FComment;
    std::vector<std::uint8_t> FRowAtt;
    std::vector<std::uint8_t> FColAtt;
    std::vector<TVTypeSpec> FVType;
    std::vector<std::uint8_t> FCState; // [column][row], column after column
    std::vector<QString> FColName;
    std::vector<QString> FRowName;
    int FNrOfCols = 0;
    int FNrOfRows = 0;
    TMatrix FNumericData;
    bool FMatrixLinked = true;
};
