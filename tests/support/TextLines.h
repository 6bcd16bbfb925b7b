// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of a program's or a report's text, for tests that look at them one by one.
#pragma once

#include <sstream>
#include <string>
#include <vector>

// The lines of text without their line ends; a last line without an end counts too.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
