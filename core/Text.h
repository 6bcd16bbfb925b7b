// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed-capacity texts of the setup records: one length byte followed by N single-byte
// characters. The byte image is part of the file formats, so the struct has no other members.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

template <std::size_t N> struct Text {
    static_assert(N >= 1 && N <= 255, "a length byte holds at most 255");

    std::uint8_t Length;
    char Chars[N];

    static constexpr std::size_t Capacity = N;

    // A length byte above the capacity (only a file can bring one) counts as the capacity,
    // so nothing ever reads past the field.
    std::size_t Len() const { return std::min<std::size_t>(Length, N); }
    std::string_view View() const { return std::string_view(Chars, Len()); }
    std::string Str() const { return std::string(View()); }
    bool Empty() const { return Len() == 0; }

    // Stores the first N characters of the text. The bytes after the text are cleared so that
    // saved files carry no leftovers of earlier, longer names.
    void Set(std::string_view text) {
        const std::size_t n = std::min(text.size(), N);
        Length = static_cast<std::uint8_t>(n);
        if (n > 0)
            std::memcpy(Chars, text.data(), n);
        std::memset(Chars + n, 0, N - n);
    }

    // Exact comparison: same length, same characters, case-sensitive, no trimming.
    bool operator==(std::string_view other) const { return View() == other; }
    template <std::size_t M> bool operator==(const Text<M>& other) const {
        return View() == other.View();
    }
};

static_assert(sizeof(Text<8>) == 9 && alignof(Text<8>) == 1);
static_assert(sizeof(Text<12>) == 13 && alignof(Text<12>) == 1);
