#pragma once
// Typed values read from a database: what a recordset field holds.

#include <cstdint>
#include <string>
#include <string_view>

namespace veliora::engine {

enum class ValueType { Null, Integer, Real, Text, Date, Blob };

struct Value {
    ValueType type = ValueType::Null;
    std::int64_t integer = 0;
    double real = 0.0;
    // Text (UTF-8), the bytes of a blob, or a date as ISO "yyyy-mm-dd[ hh:mm:ss]".
    std::string text;

    static Value Null() { return {}; }
    static Value Int(std::int64_t v) { return {ValueType::Integer, v, 0.0, {}}; }
    static Value Double(double v) { return {ValueType::Real, 0, v, {}}; }
    static Value Text(std::string v) { return {ValueType::Text, 0, 0.0, std::move(v)}; }
    static Value Date(std::string iso) { return {ValueType::Date, 0, 0.0, std::move(iso)}; }
    static Value Blob(std::string bytes) { return {ValueType::Blob, 0, 0.0, std::move(bytes)}; }

    bool isNull() const { return type == ValueType::Null; }
    bool isNumber() const { return type == ValueType::Integer || type == ValueType::Real; }
    double number() const { return type == ValueType::Integer ? double(integer) : real; }
    // The value as a whole number (texts and reals converted, null as 0).
    std::int64_t toInt() const;
    bool toBool() const { return toInt() != 0; }

    // The text a Spanish desktop shows: decimal comma, dd/mm/yyyy dates, no thousands
    // separator, null as the empty text.
    std::string toSpanishText() const;
    // The plain text: point as decimal separator, ISO dates, null as the empty text.
    std::string toPlainText() const;
};

// Total order over typed values: nulls first, then numbers by value (1 equals 1.0),
// then texts (byte order, so letter case matters), then dates, then blobs.
int CompareValues(const Value& a, const Value& b);
inline bool SameValue(const Value& a, const Value& b) {
    return CompareValues(a, b) == 0;
}

// Shortest text of a real that reads back the same ("3.75", "12", "0.1").
std::string FormatReal(double v);

}  // namespace veliora::engine
