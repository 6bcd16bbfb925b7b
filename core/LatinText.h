// SPDX-License-Identifier: GPL-3.0-or-later
// The records hold single-byte texts; the widgets hold QStrings. What the user typed goes into
// a record as Latin-1 (a character outside it becomes "?"), and a record's text is shown as
// Latin-1.
#pragma once

#include "core/Text.h"

#include <QString>

#include <string>
#include <string_view>

inline QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

template <std::size_t N> QString Latin1(const Text<N>& text) {
    return Latin1(text.View());
}

inline std::string Typed(const QString& text) {
    return text.toLatin1().toStdString();
}
