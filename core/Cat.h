// SPDX-License-Identifier: GPL-3.0-or-later
// Texts joined by appending, one part after another. (GCC 12 at -O3 misjudges "text" +
// std::string with -Wrestrict; appending never trips it.)
#pragma once

#include <string>

template <typename... Parts> std::string Cat(const Parts&... parts) {
    std::string text;
    ((text += parts), ...);
    return text;
}
