#include "core/engine/value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace veliora::engine {

namespace {

int Rank(const Value& v) {
    switch (v.type) {
        case ValueType::Null:
            return 0;
        case ValueType::Integer:
        case ValueType::Real:
            return 1;
        case ValueType::Text:
            return 2;
        case ValueType::Date:
            return 3;
        case ValueType::Blob:
            return 4;
    }
    return 5;
}

// "yyyy-mm-dd" and "yyyy-mm-dd 00:00:00" name the same instant.
std::string NormalizedDate(const std::string& iso) {
    if (iso.size() == 10)
        return iso + " 00:00:00";
    return iso;
}

template <class T>
int Cmp(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

std::string FormatReal(double v) {
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "Inf" : "-Inf";
    char buf[40];
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, v);
        if (std::strtod(buf, nullptr) == v)
            break;
    }
    return buf;
}

std::int64_t Value::toInt() const {
    switch (type) {
        case ValueType::Integer:
            return integer;
        case ValueType::Real:
            return std::int64_t(real);
        case ValueType::Text:
            return std::strtoll(text.c_str(), nullptr, 10);
        default:
            return 0;
    }
}

std::string Value::toPlainText() const {
    switch (type) {
        case ValueType::Null:
            return {};
        case ValueType::Integer:
            return std::to_string(integer);
        case ValueType::Real:
            return FormatReal(real);
        default:
            return text;
    }
}

std::string Value::toSpanishText() const {
    switch (type) {
        case ValueType::Real: {
            std::string s = FormatReal(real);
            for (char& c : s)
                if (c == '.')
                    c = ',';
            return s;
        }
        case ValueType::Date: {
            if (text.size() < 10)
                return text;
            std::string s = text.substr(8, 2) + "/" + text.substr(5, 2) + "/" + text.substr(0, 4);
            if (text.size() > 10 && text.substr(10) != " 00:00:00")
                s += text.substr(10);
            return s;
        }
        default:
            return toPlainText();
    }
}

int CompareValues(const Value& a, const Value& b) {
    int ra = Rank(a), rb = Rank(b);
    if (ra != rb)
        return Cmp(ra, rb);
    switch (a.type) {
        case ValueType::Null:
            return 0;
        case ValueType::Integer:
        case ValueType::Real:
            if (a.type == ValueType::Integer && b.type == ValueType::Integer)
                return Cmp(a.integer, b.integer);
            return Cmp(a.number(), b.number());
        case ValueType::Date:
            return Cmp(NormalizedDate(a.text), NormalizedDate(b.text));
        default:
            return Cmp(a.text, b.text);
    }
}

}  // namespace veliora::engine
