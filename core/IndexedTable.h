// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed-capacity tables indexed First..Last, as the whole program numbers its records.
// The records lie contiguously (the file code writes them as one image), and every access
// is checked: an index outside the range is a programming error that stops the program
// before it can read or write a neighbouring table.
#pragma once

#include <array>
#include <cstddef>

[[noreturn]] void TableIndexFault(long index, long first, long last);

template <typename T, int First, int Last> class IndexedTable {
    static_assert(Last >= First);

public:
    static constexpr int FirstIndex = First;
    static constexpr int LastIndex = Last;
    static constexpr std::size_t Count = static_cast<std::size_t>(Last - First + 1);

    static constexpr bool Contains(long i) { return i >= First && i <= Last; }

    T& operator[](long i) {
        if (!Contains(i)) [[unlikely]]
            TableIndexFault(i, First, Last);
        return Items[static_cast<std::size_t>(i - First)];
    }
    const T& operator[](long i) const {
        if (!Contains(i)) [[unlikely]]
            TableIndexFault(i, First, Last);
        return Items[static_cast<std::size_t>(i - First)];
    }

    T* begin() { return Items.data(); }
    T* end() { return Items.data() + Count; }
    const T* begin() const { return Items.data(); }
    const T* end() const { return Items.data() + Count; }
    T* data() { return Items.data(); }
    const T* data() const { return Items.data(); }

    // Public so that the tables stay aggregates with the byte image of a plain array.
    std::array<T, Count> Items;
};
