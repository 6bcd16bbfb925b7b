// SPDX-License-Identifier: GPL-3.0-or-later
// JSON text written in the order the caller gives its keys, laid out for reading: one member or
// element per line, indented, or a whole container on one line when it is short.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Texts of the setup records are single-byte characters; in JSON and on the terminal they are
// UTF-8. Each byte is the character of the same code in Latin-1.
std::string Latin1ToUtf8(std::string_view latin1);

class JsonWriter {
public:
    // Shortest: the fewest digits that read back as the same double. Digits17: always 17
    // significant digits.
    enum class Numbers { Shortest, Digits17 };

    explicit JsonWriter(Numbers numbers = Numbers::Shortest) : NumberStyle(numbers) {}

    void BeginObject(bool oneLine = false);
    void EndObject();
    void BeginArray(bool oneLine = false);
    void EndArray();
    // Names the member whose value comes next.
    void Key(std::string_view key);
    // A text of single-byte characters (see Latin1ToUtf8).
    void String(std::string_view latin1);
    // A finite number; JSON has no other, so NaN and the infinities are written as null. (A
    // negative zero is written "-0", which readers may take for 0.)
    void Number(double value);
    void Integer(long long value);
    void Bool(bool value);
    void Null();

    // A member in one call: its key, then its value as the calls above write it. A text is a
    // string whatever it is passed as (a literal is not taken for a flag), a whole number an
    // integer and a double a number.
    void Member(std::string_view key, std::string_view text);
    void Member(std::string_view key, const char* text);
    void Member(std::string_view key, double value);
    void Member(std::string_view key, int value);
    void Member(std::string_view key, long long value);
    void Member(std::string_view key, bool value);

    // The document, ending with a line feed once its outermost container is closed.
    const std::string& Text() const { return Out; }

private:
    struct Level {
        bool OneLine;
        bool Empty;
    };
    void BeforeValue();
    void Begin(char bracket, bool oneLine);
    void End(char bracket);
    void NewLine();

    Numbers NumberStyle;
    std::string Out;
    std::vector<Level> Levels;
    bool AfterKey = false;
};

// A double as JSON writes it: the fewest digits that read back as the same value, or with
// digits17 always 17 significant digits. Only for finite values.
std::string JsonNumber(double value, bool digits17 = false);
