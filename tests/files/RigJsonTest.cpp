// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RigJson.h"

#include "core/Defaults.h"
#include "core/SetupTables.h"
#include "equilibrium/ChemicalData.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <set>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double Largest = std::numeric_limits<double>::max();
constexpr double Tiny = std::numeric_limits<double>::denorm_min();

// Values of every field drawn from a seeded generator: texts of every length up to their
// capacity made of any single-byte character, reals of every kind that a file can hold within
// the field's range, flags beyond 0 and 1, words at their limits. The bytes that mean nothing
// (padding, text bytes after the length) get noise.
class EveryField {
public:
    explicit EveryField(unsigned seed) : Random(seed) {}

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Random); }

    template <std::size_t N> void Fill(Text<N>& text) {
        std::string s(std::size_t(Between(0, int(N))), ' ');
        for (char& c : s)
            c = static_cast<char>(Between(0, 255));
        text.Set(s);
        Noise(text.Chars + text.Len(), N - text.Len());
        if (s.size() == N && Between(0, 1) == 0)
            text.Length = 255; // beyond the capacity, as only a file can have it: reads as N
    }

    double AnyReal() {
        const double special[] = {0.0, -0.0, NaN, Inf, -Inf, Tiny, Largest, -Largest, 1e-310, 0.1};
        if (Between(0, 2) == 0)
            return special[Between(0, 9)];
        double x;
        do {
            std::uint64_t bits = Random();
            std::memcpy(&x, &bits, sizeof x);
        } while (x != x);
        return x;
    }
    double Fraction() {
        const double special[] = {0.0, -0.0, 1.0, Tiny};
        if (Between(0, 3) == 0)
            return special[Between(0, 3)];
        return std::uniform_real_distribution<double>(0, 1)(Random);
    }
    double AtLeast(double low) {
        if (Between(0, 3) == 0)
            return Between(0, 1) ? low : Largest;
        return std::uniform_real_distribution<double>(low, 1e6)(Random);
    }
    Flag AnyFlag() {
        return static_cast<Flag>(Between(0, 4) == 0 ? Between(0, 255) : Between(0, 1));
    }

    template <std::size_t N> void Noise(std::uint8_t (&bytes)[N]) { Noise(bytes, N); }
    template <typename T> void Noise(T* bytes, std::size_t n) {
        auto* p = reinterpret_cast<unsigned char*>(bytes);
        for (std::size_t i = 0; i < n; ++i)
            p[i] = static_cast<unsigned char>(Between(0, 255));
    }

    void Mixture(MixtureRecord& r) {
        Fill(r.Name);
        Noise(r.Pad1);
        r.Reserved1 = AnyReal();
        r.Flow = AnyReal();
        r.Reserved2 = AnyReal();
        const int used = Between(0, 12);
        for (int j = 1; j <= 12; ++j) {
            GasFraction& slot = r.Gas[j];
            if (j <= used) {
                Fill(slot.Gas);
                slot.Fraction = Fraction();
            } else {
                slot.Gas.Set("");
                slot.Fraction = 0;
            }
            Noise(slot.Pad1);
        }
        r.Ready = AnyFlag();
        Noise(r.Pad2);
    }

    void Flowmeter(FlowmeterRecord& r) {
        Fill(r.Make);
        Fill(r.Size);
        Fill(r.Float);
        Noise(r.Pad1);
        r.Reserved1 = AnyReal();
        r.Reading = AnyReal();
        r.Flow = AnyReal();
        r.Input = static_cast<std::uint16_t>(Between(0, 32));
        r.Output = static_cast<std::uint16_t>(Between(0, 16));
        Fill(r.FixGas);
        Fill(r.FixGasType);
        Noise(r.Pad2);
        r.FixGasT = AtLeast(-273.15);
        r.Reserved2 = AnyReal();
        r.FixGasUsed = AnyFlag();
        r.FixGasBefore = AnyFlag();
        Noise(r.Pad3);
    }

    void Calibration(CalibrationRecord& r) {
        Fill(r.Make);
        Fill(r.Size);
        Fill(r.Float);
        Fill(r.Gas);
        r.Temp = AnyReal();
        r.Press = AnyReal();
        r.Flowmeter = static_cast<std::uint16_t>(Between(0, 16));
        r.Reserved = static_cast<std::uint16_t>(Between(0, 1) ? 65535 : Between(0, 65535));
        Noise(r.Pad1);
        const int used = Between(0, 20);
        for (int k = 1; k <= 20; ++k)
            r.Point[k] = k <= used ? CalibrationPoint{AnyReal(), AnyReal()} : CalibrationPoint{};
    }

    void Cell(CellRecord& r) {
        Fill(r.Name);
        Noise(r.Pad1);
        r.Pressure = Between(0, 3) == 0 ? Tiny : AtLeast(1e-3);
        r.Temperature = AtLeast(-273.15);
        r.Mix = static_cast<std::uint16_t>(Between(0, 16));
        r.State = static_cast<std::uint8_t>(Between(0, 255));
        Noise(r.Pad2);
        r.LeakO2 = Fraction();
        r.LeakN2 = Fraction();
        r.LeakH2 = Fraction();
        r.LeakH2O = Fraction();
    }

private:
    std::mt19937 Random;
};

template <typename Record> bool SameMeaning(const Record& a, const Record& b) {
    const Record x = Canonical(a);
    const Record y = Canonical(b);
    return std::memcmp(&x, &y, sizeof x) == 0;
}

template <typename Record> std::vector<char> Image(const Record& record) {
    const auto* bytes = reinterpret_cast<const char*>(&record);
    return std::vector<char>(bytes, bytes + sizeof record);
}

// The four stored tables as bytes, to see whether anything changed.
std::vector<char> StoredBytes() {
    std::vector<char> bytes;
    auto add = [&](const auto& table) {
        const auto* p = reinterpret_cast<const char*>(table.data());
        bytes.insert(bytes.end(), p, p + sizeof(table.Items));
    };
    add(InputMixtures);
    add(Flowmeters);
    add(Calibrations);
    add(Cells);
    return bytes;
}

QJsonObject ParseObject(const std::string& json) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
}

std::string JsonText(const QJsonObject& document) {
    return QJsonDocument(document).toJson().toStdString();
}

// The value at the path (keys, and array positions as numbers in text) replaced, or removed.
QJsonValue Edited(const QJsonValue& node, QStringList path,
                  const std::optional<QJsonValue>& value) {
    if (path.isEmpty())
        return *value;
    const QString head = path.takeFirst();
    if (node.isArray()) {
        QJsonArray array = node.toArray();
        const int i = head.toInt();
        if (path.isEmpty() && !value)
            array.removeAt(i);
        else
            array[i] = Edited(array[i], path, value);
        return array;
    }
    QJsonObject object = node.toObject();
    if (path.isEmpty() && !value)
        object.remove(head);
    else
        object[head] = Edited(object[head], path, value);
    return object;
}

using RigJson = ProgramTest;

} // namespace

TEST_F(RigJson, EveryMeaningfulFieldGoesFromTheFilesToJsonAndBackUnchanged) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        SetUp();
        EveryField fill(seed);
        for (MixtureRecord& r : InputMixtures)
            fill.Mixture(r);
        for (FlowmeterRecord& r : Flowmeters)
            fill.Flowmeter(r);
        for (int c = 1; c <= CalibrationCount; c += fill.Between(1, 150))
            fill.Calibration(Calibrations[c]);
        fill.Calibration(Calibrations[CalibrationCount]);
        for (CellRecord& r : Cells)
            fill.Cell(r);
        SaveFileSet(TempPath("before"));
        const auto before = std::make_unique<std::vector<char>>(StoredBytes());

        SetStoredTablesToDefaults();
        ASSERT_EQ(ReadStoredFileSet(TempPath("before")),
                  (std::array<bool, 4>{true, true, true, true}));
        ASSERT_TRUE(StoredBytes() == *before) << "read as stored";
        const std::string json = RigToJson();
        for (MixtureRecord& r : InputMixtures)
            fill.Mixture(r); // something else in memory
        std::string error;
        ASSERT_TRUE(RigFromJson(json, error)) << error;
        SaveFileSet(TempPath("after"));

        // The new files hold the old records with the meaningless bytes cleared.
        SetStoredTablesToDefaults();
        ReadStoredFileSet(TempPath("before"));
        std::vector<char> expected;
        for (const MixtureRecord& r : InputMixtures)
            for (char b : Image(Canonical(r)))
                expected.push_back(b);
        EXPECT_EQ(ReadFileBytes(TempPath("after.INP")), expected);
        expected.clear();
        for (const FlowmeterRecord& r : Flowmeters)
            for (char b : Image(Canonical(r)))
                expected.push_back(b);
        EXPECT_EQ(ReadFileBytes(TempPath("after.MIX")), expected);
        expected.clear();
        for (const CalibrationRecord& r : Calibrations)
            for (char b : Image(Canonical(r)))
                expected.push_back(b);
        EXPECT_EQ(ReadFileBytes(TempPath("after.CAL")), expected);
        expected.clear();
        for (const CellRecord& r : Cells)
            for (char b : Image(Canonical(r)))
                expected.push_back(b);
        EXPECT_EQ(ReadFileBytes(TempPath("after.CEL")), expected);

        // And the document of the new files is the same document.
        SetStoredTablesToDefaults();
        ReadStoredFileSet(TempPath("after"));
        EXPECT_EQ(RigToJson(), json);
        TearDown();
    }
}

TEST_F(RigJson, CurvesStillAtTheirStartUpValuesAreLeftOutAndComeBackSo) {
    EveryField fill(7);
    fill.Calibration(Calibrations[2]);
    Calibrations[999].Temp = 20;               // one field is enough
    fill.Noise(Calibrations[5].Pad1);          // meaningless bytes do not count
    fill.Noise(Calibrations[6].Gas.Chars, 12); // nor do those after a text
    const auto curves = std::make_unique<decltype(Calibrations)>(Calibrations);

    const QJsonObject document = ParseObject(RigToJson());

    std::vector<int> written;
    for (const QJsonValue& curve : document["calibrations"].toArray())
        written.push_back(curve.toObject()["index"].toInt());
    EXPECT_EQ(written, (std::vector<int>{2, 999}));
    EXPECT_EQ(document["inputMixtures"].toArray().size(), InputMixtureCount);
    EXPECT_EQ(document["flowmeters"].toArray().size(), FlowmeterCount);
    EXPECT_EQ(document["cells"].toArray().size(), CellCount);

    for (CalibrationRecord& curve : Calibrations)
        fill.Calibration(curve);
    std::string error;
    ASSERT_TRUE(RigFromJson(JsonText(document), error)) << error;
    for (int c = 1; c <= CalibrationCount; ++c)
        EXPECT_TRUE(SameMeaning(Calibrations[c], (*curves)[c])) << c;
}

TEST_F(RigJson, GasNamesAreTextsLikeAnyOtherAndComeBackAsTheyWere) {
    // Names a file may hold that are no species formula: the calculation says what it makes of
    // them, the converter only carries them.
    SetInputMix(3, {{"Xe", 0.1}, {"Ar", 0.9}, {" o2\t", 0}});
    Calibrations[4].Gas.Set("Air");
    Flowmeters[2].FixGas.Set("h2o ");
    const std::string json = RigToJson();
    SetStoredTablesToDefaults();
    std::string error;
    ASSERT_TRUE(RigFromJson(json, error)) << error;
    EXPECT_EQ(InputMixtures[3].Gas[1].Gas.Str(), "Xe");
    EXPECT_EQ(InputMixtures[3].Gas[3].Gas.Str(), " o2\t");
    EXPECT_EQ(Calibrations[4].Gas.Str(), "Air");
    EXPECT_EQ(Flowmeters[2].FixGas.Str(), "h2o ");
    EXPECT_EQ(RigToJson(), json);
}

TEST_F(RigJson, RecordsLeftOutOfADocumentGetTheirStartUpValues) {
    EveryField fill(9);
    for (MixtureRecord& r : InputMixtures)
        fill.Mixture(r);
    for (FlowmeterRecord& r : Flowmeters)
        fill.Flowmeter(r);
    fill.Calibration(Calibrations[17]);
    for (CellRecord& r : Cells)
        fill.Cell(r);
    std::string error;
    ASSERT_TRUE(RigFromJson(R"({"inputMixtures": [], "flowmeters": [], "calibrations": [],
        "cells": [{"index": 2, "name": "Only", "mix": 0, "temperatureC": 700, "pressure": 1,
                   "leaks": {"O2": 0, "N2": 0, "H2": 0, "H2O": 0}}]})",
                            error))
        << error;

    for (const MixtureRecord& r : InputMixtures)
        EXPECT_TRUE(SameMeaning(r, MixtureRecord{}));
    for (int i = 1; i <= FlowmeterCount; ++i)
        EXPECT_TRUE(SameMeaning(Flowmeters[i], DefaultFlowmeter(i))) << i;
    EXPECT_TRUE(SameMeaning(Calibrations[17], DefaultCalibration()));
    for (int c = 1; c <= CellCount; ++c) {
        if (c != 2) {
            EXPECT_TRUE(SameMeaning(Cells[c], DefaultCell(c))) << c;
        }
    }
    EXPECT_EQ(Cells[2].Name.Str(), "Only");
    EXPECT_EQ(Cells[2].Temperature, 700);
    EXPECT_EQ(Cells[2].LeakO2, 0);
    EXPECT_EQ(Cells[2].State, CellRunState::NotCalculated);
}

TEST_F(RigJson, AFaultyDocumentNamesThePlaceAndChangesNothing) {
    SetInputMix(1, {{"Ar", 0.5}, {"O2", 0.5}});
    SetMeter(1, 1, 1, 10);
    SetConstantFlow(1, 1, 2.0);
    const QJsonObject good = ParseObject(RigToJson());

    struct Case {
        QStringList Path;
        std::optional<QJsonValue> Value; // none: the member is removed
        std::string Message;
    };
    QJsonArray thirteen;
    for (int j = 0; j < 13; ++j)
        thirteen.append(QJsonObject{{"gas", "Ar"}, {"fraction", 0}});
    const std::vector<Case> cases = {
        {{"cells"}, std::nullopt, "document: missing key \"cells\""},
        {{"cell"}, QJsonArray(), "document: unknown key \"cell\""},
        {{"flowmeters", "0", "reading"}, std::nullopt, "flowmeters[0]: missing key \"reading\""},
        {{"flowmeters", "0", "stage", "type"},
         std::nullopt,
         "flowmeters[0].stage: missing key \"type\""},
        {{"cells", "1", "temprature"}, 800, "cells[1]: unknown key \"temprature\""},
        {{"flowmeters", "0", "make"},
         "Rotameter",
         "flowmeters[0].make: \"Rotameter\" is longer than 8 characters"},
        {{"cells", "0", "name"},
         QString::fromUtf8("Zelle \u20AC"),
         "cells[0].name: \"Zelle \u20AC\" holds a character beyond Latin-1"},
        {{"cells", "0", "temperatureC"},
         -300,
         "cells[0].temperatureC: -300 is out of range: expected a temperature of at least -273.15 "
         "degrees Celsius"},
        {{"cells", "0", "pressure"},
         0,
         "cells[0].pressure: 0 is out of range: expected a pressure above 0"},
        {{"cells", "0", "leaks", "H2O"},
         "NaN",
         "cells[0].leaks.H2O: \"NaN\" is out of range: expected a fraction from 0 to 1"},
        {{"inputMixtures", "0", "gases", "1", "fraction"},
         1.5,
         "inputMixtures[0].gases[1].fraction: 1.5 is out of range: expected a fraction from 0 to "
         "1"},
        {{"flowmeters", "0", "output"}, 17, "flowmeters[0].output: 17 is out of range 0..16"},
        {{"flowmeters", "0", "output"},
         1.5,
         "flowmeters[0].output: expected a whole number 0..16, not 1.5"},
        {{"cells", "0", "mix"}, "1", "cells[0].mix: expected a whole number 0..16, not \"1\""},
        {{"flowmeters", "0", "input"},
         "I17",
         "flowmeters[0].input: expected I1..I16, M1..M16 or none, not \"I17\""},
        {{"flowmeters", "0", "stage", "used"},
         "yes",
         "flowmeters[0].stage.used: expected true or false, not \"yes\""},
        {{"calibrations", "0", "gas"},
         "Carbon dioxide",
         "calibrations[0].gas: \"Carbon dioxide\" is longer than 12 characters"},
        {{"inputMixtures", "0", "gases"},
         thirteen,
         "inputMixtures[0].gases: holds 13 gases; at most 12 fit"},
        {{"calibrations", "0", "points", "0"},
         QJsonArray{1},
         "calibrations[0].points[0]: expected [reading, flow]"},
        {{"calibrations", "0", "points", "0", "1"},
         true,
         "calibrations[0].points[0][1]: expected a number, not true"},
        {{"cells", "0", "index"}, 9, "cells[0].index: 9 is out of range 1..8"},
        {{"cells", "1", "index"}, 1, "cells[1].index: record 1 is given twice"},
        {{"cells", "2"}, "cell", "cells[2]: expected an object, not \"cell\""},
        {{"flowmeters"}, QJsonObject(), "flowmeters: expected an array, not an object"},
    };

    const std::vector<char> before = StoredBytes();
    std::string error;
    for (const Case& c : cases) {
        const QJsonObject faulty = Edited(good, c.Path, c.Value).toObject();
        EXPECT_FALSE(RigFromJson(JsonText(faulty), error));
        EXPECT_EQ(error, c.Message);
        EXPECT_TRUE(StoredBytes() == before) << c.Message;
    }

    const std::pair<std::string, std::string> texts[] = {
        {"{\n  \"cells\": [,]\n}", "line 2, column 14: illegal value"},
        {"[1, 2]", "document: expected an object, not an array"},
    };
    for (const auto& [text, message] : texts) {
        EXPECT_FALSE(RigFromJson(text, error));
        EXPECT_EQ(error, message);
        EXPECT_TRUE(StoredBytes() == before) << message;
    }
    // The untouched document reads.
    EXPECT_TRUE(RigFromJson(JsonText(good), error)) << error;
}
