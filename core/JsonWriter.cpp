// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            utf8 += ch;
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

std::string JsonNumber(double value, bool digits17) {
    char buffer[40];
    const std::to_chars_result r = digits17 ? std::to_chars(buffer, buffer + sizeof buffer, value,
                                                            std::chars_format::general, 17)
                                            : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ec == std::errc() ? r.ptr : buffer);
}

void JsonWriter::NewLine() {
    Out += '\n';
    Out.append(4 * Levels.size(), ' ');
}

void JsonWriter::BeforeValue() {
    if (AfterKey) {
        AfterKey = false;
        return;
    }
    if (Levels.empty())
        return;
    Level& level = Levels.back();
    if (!level.Empty)
        Out += level.OneLine ? ", " : ",";
    if (!level.OneLine)
        NewLine();
    level.Empty = false;
}

void JsonWriter::Begin(char bracket, bool oneLine) {
    BeforeValue();
    Out += bracket;
    // Inside a container on one line everything stays on that line.
    const bool inOneLine = !Levels.empty() && Levels.back().OneLine;
    Levels.push_back({oneLine || inOneLine, true});
}

void JsonWriter::End(char bracket) {
    const Level level = Levels.back();
    Levels.pop_back();
    if (!level.OneLine && !level.Empty)
        NewLine();
    Out += bracket;
    if (Levels.empty())
        Out += '\n';
}

void JsonWriter::BeginObject(bool oneLine) {
    Begin('{', oneLine);
}
void JsonWriter::EndObject() {
    End('}');
}
void JsonWriter::BeginArray(bool oneLine) {
    Begin('[', oneLine);
}
void JsonWriter::EndArray() {
    End(']');
}

void JsonWriter::Key(std::string_view key) {
    String(key);
    Out += ": ";
    AfterKey = true;
}

void JsonWriter::String(std::string_view latin1) {
    BeforeValue();
    Out += '"';
    for (const char ch : Latin1ToUtf8(latin1)) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            Out += '\\';
            Out += ch;
        } else if (ch == '\n') {
            Out += "\\n";
        } else if (ch == '\t') {
            Out += "\\t";
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            Out += escape;
        } else {
            Out += ch;
        }
    }
    Out += '"';
}

void JsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        Null();
        return;
    }
    BeforeValue();
    Out += JsonNumber(value, NumberStyle == Numbers::Digits17);
}

void JsonWriter::Integer(long long value) {
    BeforeValue();
    Out += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    Out += value ? "true" : "false";
}

void JsonWriter::Null() {
    BeforeValue();
    Out += "null";
}

void JsonWriter::Member(std::string_view key, std::string_view text) {
    Key(key);
    String(text);
}

void JsonWriter::Member(std::string_view key, const char* text) {
    Member(key, std::string_view(text));
}

void JsonWriter::Member(std::string_view key, double value) {
    Key(key);
    Number(value);
}

void JsonWriter::Member(std::string_view key, int value) {
    Member(key, static_cast<long long>(value));
}

void JsonWriter::Member(std::string_view key, long long value) {
    Key(key);
    Integer(value);
}

void JsonWriter::Member(std::string_view key, bool value) {
    Key(key);
    Bool(value);
}
