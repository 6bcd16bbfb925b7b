// SPDX-License-Identifier: GPL-3.0-or-later
// The value store of a data table: a matrix of 64-bit reals addressed [column][row] from 1.
// Every change (a value, a fill, new contents) is reported through OnChange so that the owner
// can forward it; the owner decides whether it listens at the moment.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <utility>
#include <vector>

// Number of cells of a cols x rows block, or throws std::bad_alloc when the block cannot be
// addressed at all (non-positive size or more bytes than any allocation can hold). Checked
// before allocating, so that an absurd size never reaches the allocator.
inline std::size_t MatrixCellCount(int cols, int rows, std::size_t cellBytes) {
    if (cols < 1 || rows < 1)
        throw std::bad_alloc();
    const auto c = static_cast<std::size_t>(cols);
    const auto r = static_cast<std::size_t>(rows);
    const std::size_t limit = static_cast<std::size_t>(PTRDIFF_MAX) / cellBytes;
    if (c > limit / r)
        throw std::bad_alloc();
    return c * r;
}

// Offset of cell (col, row), both from 1, in a block stored column after column.
inline std::size_t CellOffset(int col, int row, int rows) {
    return static_cast<std::size_t>(col - 1) * static_cast<std::size_t>(rows) +
           static_cast<std::size_t>(row - 1);
}

class TMatrix {
public:
    int NrOfColumns() const { return FCols; }
    int NrOfRows() const { return FRows; }
    bool Contains(int col, int row) const {
        return col >= 1 && col <= FCols && row >= 1 && row <= FRows;
    }

    // 0 outside the matrix.
    double Elem(int col, int row) const {
        return Contains(col, row) ? FValues[CellOffset(col, row, FRows)] : 0.0;
    }
    // Outside the matrix nothing happens.
    void SetElem(int col, int row, double value) {
        if (!Contains(col, row))
            return;
        FValues[CellOffset(col, row, FRows)] = value;
        Changed();
    }
    void Fill(double value) {
        std::fill(FValues.begin(), FValues.end(), value);
        Changed();
    }

    // New contents of cols x rows values, cell (c, r) taken from cell (colFrom(c), rowFrom(r))
    // of the present contents, or 0 where a source is 0. Only allocates and reads, so a failure
    // (std::bad_alloc) leaves the matrix untouched; Adopt installs the result.
    std::vector<double> Remapped(int cols, int rows, const std::function<int(int)>& colFrom,
                                 const std::function<int(int)>& rowFrom) const {
        std::vector<double> values(MatrixCellCount(cols, rows, sizeof(double)), 0.0);
        for (int c = 1; c <= cols; ++c) {
            const int fromCol = colFrom(c);
            if (fromCol < 1 || fromCol > FCols)
                continue;
            for (int r = 1; r <= rows; ++r) {
                const int fromRow = rowFrom(r);
                if (fromRow >= 1 && fromRow <= FRows)
                    values[CellOffset(c, r, rows)] = FValues[CellOffset(fromCol, fromRow, FRows)];
            }
        }
        return values;
    }
    // Installs contents made by Remapped for a cols x rows matrix; contents of another size
    // are refused.
    void Adopt(int cols, int rows, std::vector<double>&& values) {
        if (cols < 1 || rows < 1 ||
            values.size() != static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows))
            return;
        FValues.swap(values);
        FCols = cols;
        FRows = rows;
        Changed();
    }

    std::function<void()> OnChange;

private:
    void Changed() {
        if (OnChange)
            OnChange();
    }

    int FCols = 0;
    int FRows = 0;
    std::vector<double> FValues; // column after column
};
