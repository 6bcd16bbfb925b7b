// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/JsonWriter.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {
QJsonDocument Parse(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << text;
    return document;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

TEST(JsonWriter, NumbersReadBackAsTheSameDoubleInBothStyles) {
    const double values[] = {0.0,
                             0.1,
                             1.0 / 3,
                             -2.5e-300,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::max(),
                             1e-5,
                             123456789012345678.0};
    for (const auto style : {JsonWriter::Numbers::Shortest, JsonWriter::Numbers::Digits17}) {
        JsonWriter json(style);
        json.BeginArray();
        for (const double v : values)
            json.Number(v);
        json.EndArray();
        const QJsonArray parsed = Parse(json.Text()).array();
        ASSERT_EQ(parsed.size(), qsizetype(std::size(values)));
        for (qsizetype i = 0; i < parsed.size(); ++i)
            EXPECT_TRUE(SameBits(parsed[i].toDouble(), values[i]))
                << values[i] << " came back as " << parsed[i].toDouble();
    }
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(0.1, true), "0.10000000000000001");
    EXPECT_EQ(JsonNumber(25.0), "25");
}

TEST(JsonWriter, NonFiniteNumbersAreNull) {
    JsonWriter json;
    json.BeginArray(true);
    json.Number(std::nan(""));
    json.Number(-std::numeric_limits<double>::infinity());
    json.EndArray();
    EXPECT_EQ(json.Text(), "[null, null]\n");
}

TEST(JsonWriter, SingleByteTextsBecomeEscapedUtf8) {
    const std::string latin1 = "a\"b\\c\n\t\x01\xB0\xFF"
                               "C";
    JsonWriter json;
    json.BeginObject();
    json.Key(latin1);
    json.String(latin1);
    json.EndObject();
    const QJsonObject parsed = Parse(json.Text()).object();
    const QString expected = QString::fromLatin1(latin1.data(), qsizetype(latin1.size()));
    ASSERT_EQ(parsed.keys(), QStringList{expected});
    EXPECT_EQ(parsed[expected].toString(), expected);
    EXPECT_EQ(Latin1ToUtf8("\xB0"
                           "C"),
              "\xC2\xB0"
              "C");
}

TEST(JsonWriter, KeepsTheKeyOrderAndPutsOneLineContainersOnOneLine) {
    JsonWriter json;
    json.BeginObject();
    json.Key("z");
    json.Integer(1);
    json.Key("a");
    json.BeginArray();
    json.BeginArray(true);
    json.Number(1.5);
    json.BeginObject();
    json.Key("b");
    json.Bool(true);
    json.EndObject();
    json.EndArray();
    json.BeginArray();
    json.EndArray();
    json.EndArray();
    json.Key("n");
    json.Null();
    json.EndObject();
    EXPECT_EQ(json.Text(), "{\n"
                           "    \"z\": 1,\n"
                           "    \"a\": [\n"
                           "        [1.5, {\"b\": true}],\n"
                           "        []\n"
                           "    ],\n"
                           "    \"n\": null\n"
                           "}\n");
}

TEST(JsonWriter, AMemberWritesItsValueAsTheTypeItHolds) {
    JsonWriter json;
    json.BeginObject(true);
    const std::string name = "H\xe9";
    const std::uint8_t state = 5;
    const std::uint16_t node = 16;
    json.Member("literal", "text"); // a string, not the flag a pointer would make
    json.Member("name", name);
    json.Member("view", std::string_view("Ar"));
    json.Member("flag", true);
    json.Member("state", state);
    json.Member("node", node);
    json.Member("big", 1LL << 40);
    json.Member("real", 0.5);
    json.Member("whole real", 3.0);
    json.EndObject();
    EXPECT_EQ(json.Text(), "{\"literal\": \"text\", \"name\": \"H\xc3\xa9\", \"view\": \"Ar\", "
                           "\"flag\": true, \"state\": 5, \"node\": 16, \"big\": 1099511627776, "
                           "\"real\": 0.5, \"whole real\": 3}\n");
    const QJsonObject parsed = Parse(json.Text()).object();
    EXPECT_TRUE(parsed["literal"].isString());
    EXPECT_TRUE(parsed["flag"].isBool());
    EXPECT_EQ(parsed["node"].toInt(), 16);
}
