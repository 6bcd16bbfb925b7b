// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/NumberText.h"

#include <charconv>
#include <cmath>

std::string FormatFixed(long double value, int width, int decimals) {
    std::string text;
    if (std::isnan(value)) {
        text = "Nan";
    } else if (std::isinf(value)) {
        text = value > 0 ? "+Inf" : "-Inf";
    } else {
        // The widest fixed text of an extended real has about 4950 digits before the point.
        char buffer[5000 + 64];
        const int places = decimals < 0 ? 0 : (decimals > 60 ? 60 : decimals);
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, places);
        text.assign(buffer, result.ptr);
    }
    if (width > static_cast<int>(text.size()))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}
