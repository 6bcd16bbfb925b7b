// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RigJson.h"

#include "core/Cat.h"
#include "core/Defaults.h"
#include "core/JsonWriter.h"
#include "core/SetupTables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <set>

namespace {

template <std::size_t N> void CanonicalText(Text<N>& text) {
    text.Set(text.Str());
}

template <std::size_t N> void Clear(std::uint8_t (&padding)[N]) {
    std::memset(padding, 0, N);
}

} // namespace

MixtureRecord Canonical(const MixtureRecord& record) {
    MixtureRecord r = record;
    CanonicalText(r.Name);
    Clear(r.Pad1);
    for (GasFraction& slot : r.Gas) {
        CanonicalText(slot.Gas);
        Clear(slot.Pad1);
    }
    Clear(r.Pad2);
    return r;
}

FlowmeterRecord Canonical(const FlowmeterRecord& record) {
    FlowmeterRecord r = record;
    CanonicalText(r.Make);
    CanonicalText(r.Size);
    CanonicalText(r.Float);
    CanonicalText(r.FixGas);
    CanonicalText(r.FixGasType);
    Clear(r.Pad1);
    Clear(r.Pad2);
    Clear(r.Pad3);
    return r;
}

CalibrationRecord Canonical(const CalibrationRecord& record) {
    CalibrationRecord r = record;
    CanonicalText(r.Make);
    CanonicalText(r.Size);
    CanonicalText(r.Float);
    CanonicalText(r.Gas);
    Clear(r.Pad1);
    return r;
}

CellRecord Canonical(const CellRecord& record) {
    CellRecord r = record;
    CanonicalText(r.Name);
    Clear(r.Pad1);
    Clear(r.Pad2);
    return r;
}

void SetStoredTablesToDefaults() {
    InputMixtures = {};
    for (int i = 1; i <= FlowmeterCount; ++i)
        SetDefaultFlowmeter(i);
    for (int c = 1; c <= CalibrationCount; ++c)
        SetDefaultCalibration(c);
    for (int c = 1; c <= CellCount; ++c)
        SetDefaultCell(c);
}

namespace {

// ---- Writing ----

// Zero with a plus sign: the value of every field that a document may leave out.
bool IsPlainZero(double value) {
    return value == 0 && !std::signbit(value);
}

// JSON numbers are finite, and readers take -0 for 0: the other values a file may hold travel
// as these texts.
void WriteReal(JsonWriter& json, double value) {
    if (value == 0 && std::signbit(value))
        json.String("-0");
    else if (std::isnan(value))
        json.String("NaN");
    else if (std::isinf(value))
        json.String(value > 0 ? "Infinity" : "-Infinity");
    else
        json.Number(value);
}

void WriteReal(JsonWriter& json, const char* key, double value) {
    json.Key(key);
    WriteReal(json, value);
}

// Flags are 0 or 1; any other byte a file may hold goes across as its number.
void WriteFlag(JsonWriter& json, const char* key, Flag flag) {
    if (flag <= 1)
        json.Member(key, flag == 1);
    else
        json.Member(key, flag);
}

void WriteOptionalReal(JsonWriter& json, const char* key, double value) {
    if (!IsPlainZero(value))
        WriteReal(json, key, value);
}

// A flowmeter's input by its mixture's label: I1..I16, M1..M16, or none.
std::string InputText(int input) {
    if (input == 0)
        return "none";
    const std::string label = MixtureLabel(input);
    return label.empty() ? std::to_string(input) : label;
}

void WriteMixture(JsonWriter& json, const MixtureRecord& r) {
    json.Member("name", r.Name.View());
    int last = 0;
    for (int j = 1; j <= MaxGases; ++j)
        if (!r.Gas[j].Gas.Empty() || !IsPlainZero(r.Gas[j].Fraction))
            last = j;
    json.Key("gases");
    json.BeginArray();
    for (int j = 1; j <= last; ++j) {
        json.BeginObject(true);
        json.Member("gas", r.Gas[j].Gas.View());
        WriteReal(json, "fraction", r.Gas[j].Fraction);
        json.EndObject();
    }
    json.EndArray();
    WriteOptionalReal(json, "reserved1", r.Reserved1);
    WriteOptionalReal(json, "flow", r.Flow);
    WriteOptionalReal(json, "reserved2", r.Reserved2);
    if (r.Ready != 0)
        WriteFlag(json, "ready", r.Ready);
}

void WriteFlowmeter(JsonWriter& json, const FlowmeterRecord& r) {
    json.Member("make", r.Make.View());
    json.Member("size", r.Size.View());
    json.Member("float", r.Float.View());
    json.Member("input", InputText(r.Input));
    json.Member("output", r.Output);
    WriteReal(json, "reading", r.Reading);
    json.Key("stage");
    json.BeginObject(true);
    WriteFlag(json, "used", r.FixGasUsed);
    WriteFlag(json, "before", r.FixGasBefore);
    json.Member("gas", r.FixGas.View());
    json.Member("type", r.FixGasType.View());
    WriteReal(json, "temperatureC", r.FixGasT);
    json.EndObject();
    WriteOptionalReal(json, "flow", r.Flow);
    WriteOptionalReal(json, "reserved1", r.Reserved1);
    WriteOptionalReal(json, "reserved2", r.Reserved2);
}

void WriteCalibration(JsonWriter& json, const CalibrationRecord& r) {
    json.Member("make", r.Make.View());
    json.Member("size", r.Size.View());
    json.Member("float", r.Float.View());
    json.Member("gas", r.Gas.View());
    json.Member("flowmeter", r.Flowmeter);
    WriteReal(json, "temperatureC", r.Temp);
    WriteReal(json, "pressure", r.Press);
    int last = 0;
    for (int k = 1; k <= 20; ++k)
        if (!IsPlainZero(r.Point[k].Reading) || !IsPlainZero(r.Point[k].Flow))
            last = k;
    json.Key("points");
    json.BeginArray();
    for (int k = 1; k <= last; ++k) {
        json.BeginArray(true);
        WriteReal(json, r.Point[k].Reading);
        WriteReal(json, r.Point[k].Flow);
        json.EndArray();
    }
    json.EndArray();
    if (r.Reserved != 0)
        json.Member("reserved", r.Reserved);
}

void WriteCell(JsonWriter& json, const CellRecord& r) {
    json.Member("name", r.Name.View());
    json.Member("mix", r.Mix);
    WriteReal(json, "temperatureC", r.Temperature);
    WriteReal(json, "pressure", r.Pressure);
    json.Key("leaks");
    json.BeginObject(true);
    WriteReal(json, "O2", r.LeakO2);
    WriteReal(json, "N2", r.LeakN2);
    WriteReal(json, "H2", r.LeakH2);
    WriteReal(json, "H2O", r.LeakH2O);
    json.EndObject();
    if (r.State != CellRunState::NotCalculated)
        json.Member("state", r.State);
}

bool IsDefaultCalibration(const CalibrationRecord& r) {
    const CalibrationRecord a = Canonical(r);
    const CalibrationRecord b = Canonical(DefaultCalibration());
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename Table, typename Write, typename Skip>
void WriteTable(JsonWriter& json, const char* key, const Table& table, Write write, Skip skip) {
    json.Key(key);
    json.BeginArray();
    for (int i = Table::FirstIndex; i <= Table::LastIndex; ++i) {
        if (skip(table[i]))
            continue;
        json.BeginObject();
        json.Member("index", i);
        write(json, table[i]);
        json.EndObject();
    }
    json.EndArray();
}

template <typename Record> bool Never(const Record&) {
    return false;
}

} // namespace

std::string RigToJson() {
    JsonWriter json;
    json.BeginObject();
    WriteTable(json, "inputMixtures", InputMixtures, WriteMixture, Never<MixtureRecord>);
    WriteTable(json, "flowmeters", Flowmeters, WriteFlowmeter, Never<FlowmeterRecord>);
    WriteTable(json, "calibrations", Calibrations, WriteCalibration, IsDefaultCalibration);
    WriteTable(json, "cells", Cells, WriteCell, Never<CellRecord>);
    json.EndObject();
    return json.Text();
}

namespace {

// ---- Reading ----

struct RigError {
    std::string Message;
};

[[noreturn]] void Fail(const std::string& path, const std::string& problem) {
    throw RigError{Cat(path, ": ", problem)};
}

std::string Quoted(const QString& text) {
    return Cat("\"", text.toStdString(), "\"");
}

// What a value is, for the messages.
std::string Shown(const QJsonValue& value) {
    if (value.isString())
        return Quoted(value.toString());
    if (value.isDouble())
        return JsonNumber(value.toDouble());
    if (value.isBool())
        return value.toBool() ? "true" : "false";
    if (value.isArray())
        return "an array";
    if (value.isObject())
        return "an object";
    return "null";
}

// A real: any number, or one of the texts that stand for the values JSON has no numbers for.
double AnyReal(const QJsonValue& value, const std::string& path) {
    if (value.isDouble())
        return value.toDouble();
    const QString text = value.toString();
    if (value.isString() && text == QLatin1String("-0"))
        return -0.0;
    if (value.isString() && text == QLatin1String("NaN"))
        return std::numeric_limits<double>::quiet_NaN();
    if (value.isString() && text == QLatin1String("Infinity"))
        return std::numeric_limits<double>::infinity();
    if (value.isString() && text == QLatin1String("-Infinity"))
        return -std::numeric_limits<double>::infinity();
    Fail(path, Cat("expected a number, not ", Shown(value)));
}

double RangedReal(const QJsonValue& value, const std::string& path, double min, double max,
                  const char* expected) {
    const double x = AnyReal(value, path);
    if (!(x >= min && x <= max))
        Fail(path, Cat(Shown(value), " is out of range: expected ", expected));
    return x;
}

long Integer(const QJsonValue& value, const std::string& path, long min, long max) {
    const std::string range = Cat(std::to_string(min), "..", std::to_string(max));
    if (!value.isDouble() || value.toDouble() != std::floor(value.toDouble()))
        Fail(path, Cat("expected a whole number ", range, ", not ", Shown(value)));
    const double x = value.toDouble();
    if (x < double(min) || x > double(max))
        Fail(path, Cat(JsonNumber(x), " is out of range ", range));
    return long(x);
}

// A flag: true or false, or the number of any other byte a file may hold.
Flag FlagOf(const QJsonValue& value, const std::string& path) {
    if (value.isBool())
        return value.toBool() ? 1 : 0;
    if (!value.isDouble())
        Fail(path, Cat("expected true or false, not ", Shown(value)));
    return static_cast<Flag>(Integer(value, path, 0, 255));
}

template <std::size_t N>
void ReadText(const QJsonValue& value, const std::string& path, Text<N>& text) {
    if (!value.isString())
        Fail(path, Cat("expected a text, not ", Shown(value)));
    const QString s = value.toString();
    for (const QChar ch : s)
        if (ch.unicode() > 0xFF)
            Fail(path, Cat(Quoted(s), " holds a character beyond Latin-1"));
    if (std::size_t(s.size()) > N)
        Fail(path, Cat(Quoted(s), " is longer than ", std::to_string(N), " characters"));
    text.Set(s.toLatin1().toStdString());
}

std::uint16_t InputOf(const QJsonValue& value, const std::string& path) {
    const std::string text = value.toString().toStdString();
    if (text == "none")
        return 0;
    for (int n = 1; n <= MixtureCount; ++n)
        if (text == MixtureLabel(n))
            return static_cast<std::uint16_t>(n);
    Fail(path, Cat("expected I1..I16, M1..M16 or none, not ", Shown(value)));
}

QJsonArray ArrayOf(const QJsonValue& value, const std::string& path, qsizetype most,
                   const char* what) {
    if (!value.isArray())
        Fail(path, Cat("expected an array, not ", Shown(value)));
    const QJsonArray array = value.toArray();
    if (array.size() > most)
        Fail(path, Cat("holds ", std::to_string(array.size()), " ", what, "; at most ",
                       std::to_string(most), " fit"));
    return array;
}

std::string Element(const std::string& path, qsizetype i) {
    return Cat(path, "[", std::to_string(i), "]");
}

// The members of one JSON object, each taken once by name; the ones never taken are unknown.
class Members {
public:
    Members(const QJsonValue& value, std::string path) : Path(std::move(path)) {
        if (!value.isObject())
            Fail(Where(), Cat("expected an object, not ", Shown(value)));
        Object = value.toObject();
    }

    // The place of the object itself, and of one of its members.
    std::string Where() const { return Path.empty() ? "document" : Path; }
    std::string PathOf(const char* key) const { return Path.empty() ? key : Cat(Path, ".", key); }
    bool Has(const char* key) const { return Object.contains(QLatin1String(key)); }

    QJsonValue operator[](const char* key) {
        Taken.insert(key);
        if (!Has(key))
            Fail(Where(), Cat("missing key \"", key, "\""));
        return Object.value(QLatin1String(key));
    }

    void OptionalReal(const char* key, double& field) {
        if (Has(key))
            field = AnyReal((*this)[key], PathOf(key));
    }

    // Every member must have been taken.
    void Finish() const {
        for (const QString& key : Object.keys())
            if (!Taken.count(key.toStdString()))
                Fail(Where(), Cat("unknown key ", Quoted(key)));
    }

private:
    std::string Path;
    QJsonObject Object;
    std::set<std::string> Taken;
};

constexpr double Largest = std::numeric_limits<double>::max();
constexpr double AbsoluteZeroC = -273.15;
const char* const TemperatureRange = "a temperature of at least -273.15 degrees Celsius";
const char* const FractionRange = "a fraction from 0 to 1";

void ReadMixture(Members& m, MixtureRecord& r) {
    ReadText(m["name"], m.PathOf("name"), r.Name);
    const std::string path = m.PathOf("gases");
    const QJsonArray gases = ArrayOf(m["gases"], path, MaxGases, "gases");
    for (qsizetype j = 0; j < gases.size(); ++j) {
        Members g(gases[j], Element(path, j));
        GasFraction& slot = r.Gas[long(j) + 1];
        ReadText(g["gas"], g.PathOf("gas"), slot.Gas);
        slot.Fraction = RangedReal(g["fraction"], g.PathOf("fraction"), 0, 1, FractionRange);
        g.Finish();
    }
    m.OptionalReal("reserved1", r.Reserved1);
    m.OptionalReal("flow", r.Flow);
    m.OptionalReal("reserved2", r.Reserved2);
    if (m.Has("ready"))
        r.Ready = FlagOf(m["ready"], m.PathOf("ready"));
}

void ReadFlowmeter(Members& m, FlowmeterRecord& r) {
    ReadText(m["make"], m.PathOf("make"), r.Make);
    ReadText(m["size"], m.PathOf("size"), r.Size);
    ReadText(m["float"], m.PathOf("float"), r.Float);
    r.Input = InputOf(m["input"], m.PathOf("input"));
    r.Output = static_cast<std::uint16_t>(Integer(m["output"], m.PathOf("output"), 0, NodeCount));
    r.Reading = AnyReal(m["reading"], m.PathOf("reading"));
    Members stage(m["stage"], m.PathOf("stage"));
    r.FixGasUsed = FlagOf(stage["used"], stage.PathOf("used"));
    r.FixGasBefore = FlagOf(stage["before"], stage.PathOf("before"));
    ReadText(stage["gas"], stage.PathOf("gas"), r.FixGas);
    ReadText(stage["type"], stage.PathOf("type"), r.FixGasType);
    r.FixGasT = RangedReal(stage["temperatureC"], stage.PathOf("temperatureC"), AbsoluteZeroC,
                           Largest, TemperatureRange);
    stage.Finish();
    m.OptionalReal("flow", r.Flow);
    m.OptionalReal("reserved1", r.Reserved1);
    m.OptionalReal("reserved2", r.Reserved2);
}

void ReadCalibration(Members& m, CalibrationRecord& r) {
    ReadText(m["make"], m.PathOf("make"), r.Make);
    ReadText(m["size"], m.PathOf("size"), r.Size);
    ReadText(m["float"], m.PathOf("float"), r.Float);
    ReadText(m["gas"], m.PathOf("gas"), r.Gas);
    r.Flowmeter = static_cast<std::uint16_t>(
        Integer(m["flowmeter"], m.PathOf("flowmeter"), 0, FlowmeterCount));
    r.Temp = AnyReal(m["temperatureC"], m.PathOf("temperatureC"));
    r.Press = AnyReal(m["pressure"], m.PathOf("pressure"));
    const std::string path = m.PathOf("points");
    const QJsonArray points = ArrayOf(m["points"], path, 20, "points");
    for (qsizetype k = 0; k < points.size(); ++k) {
        const std::string place = Element(path, k);
        const QJsonArray pair = ArrayOf(points[k], place, 2, "numbers");
        if (pair.size() != 2)
            Fail(place, "expected [reading, flow]");
        r.Point[long(k) + 1] = {AnyReal(pair[0], Element(place, 0)),
                                AnyReal(pair[1], Element(place, 1))};
    }
    if (m.Has("reserved"))
        r.Reserved =
            static_cast<std::uint16_t>(Integer(m["reserved"], m.PathOf("reserved"), 0, 65535));
}

void ReadCell(Members& m, CellRecord& r) {
    ReadText(m["name"], m.PathOf("name"), r.Name);
    r.Mix = static_cast<std::uint16_t>(Integer(m["mix"], m.PathOf("mix"), 0, NodeCount));
    r.Temperature = RangedReal(m["temperatureC"], m.PathOf("temperatureC"), AbsoluteZeroC, Largest,
                               TemperatureRange);
    r.Pressure =
        RangedReal(m["pressure"], m.PathOf("pressure"), std::numeric_limits<double>::denorm_min(),
                   Largest, "a pressure above 0");
    Members leaks(m["leaks"], m.PathOf("leaks"));
    r.LeakO2 = RangedReal(leaks["O2"], leaks.PathOf("O2"), 0, 1, FractionRange);
    r.LeakN2 = RangedReal(leaks["N2"], leaks.PathOf("N2"), 0, 1, FractionRange);
    r.LeakH2 = RangedReal(leaks["H2"], leaks.PathOf("H2"), 0, 1, FractionRange);
    r.LeakH2O = RangedReal(leaks["H2O"], leaks.PathOf("H2O"), 0, 1, FractionRange);
    leaks.Finish();
    if (m.Has("state"))
        r.State = static_cast<std::uint8_t>(Integer(m["state"], m.PathOf("state"), 0, 255));
}

// The records of one table: each names its index, once; the records left out keep what the
// table holds (the start-up values).
template <typename Table, typename Read>
void ReadTable(Members& document, const char* key, Table& table, Read read) {
    const QJsonArray records = ArrayOf(document[key], key, Table::Count, "records");
    std::set<long> seen;
    for (qsizetype i = 0; i < records.size(); ++i) {
        Members m(records[i], Element(key, i));
        const long index =
            Integer(m["index"], m.PathOf("index"), Table::FirstIndex, Table::LastIndex);
        if (!seen.insert(index).second)
            Fail(m.PathOf("index"), Cat("record ", std::to_string(index), " is given twice"));
        auto record = table[index];
        read(m, record);
        m.Finish();
        table[index] = record;
    }
}

// A whole rig read aside, so that a document with an error changes nothing.
struct StoredTables {
    IndexedTable<MixtureRecord, 1, InputMixtureCount> Inputs{};
    IndexedTable<FlowmeterRecord, 1, FlowmeterCount> Meters{};
    IndexedTable<CalibrationRecord, 1, CalibrationCount> Curves{};
    IndexedTable<CellRecord, 1, CellCount> CellTable{};
};

// "line L, column C" of a character offset into the text.
std::string Position(const std::string& text, int offset) {
    int line = 1;
    int column = 1;
    for (int i = 0; i < offset && i < int(text.size()); ++i) {
        if (text[std::size_t(i)] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return Cat("line ", std::to_string(line), ", column ", std::to_string(column));
}

} // namespace

bool RigFromJson(const std::string& json, std::string& error) {
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (document.isNull()) {
        error =
            Cat(Position(json, parseError.offset), ": ", parseError.errorString().toStdString());
        return false;
    }
    // About 400 KB: on the heap.
    const auto read = std::make_unique<StoredTables>();
    for (int i = 1; i <= FlowmeterCount; ++i)
        read->Meters[i] = DefaultFlowmeter(i);
    for (int c = 1; c <= CalibrationCount; ++c)
        read->Curves[c] = DefaultCalibration();
    for (int c = 1; c <= CellCount; ++c)
        read->CellTable[c] = DefaultCell(c);
    try {
        Members top(
            document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array()), "");
        ReadTable(top, "inputMixtures", read->Inputs, ReadMixture);
        ReadTable(top, "flowmeters", read->Meters, ReadFlowmeter);
        ReadTable(top, "calibrations", read->Curves, ReadCalibration);
        ReadTable(top, "cells", read->CellTable, ReadCell);
        top.Finish();
    } catch (const RigError& e) {
        error = e.Message;
        return false;
    }
    InputMixtures = read->Inputs;
    Flowmeters = read->Meters;
    Calibrations = read->Curves;
    Cells = read->CellTable;
    return true;
}
