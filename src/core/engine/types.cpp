// Declared column types onto the program's field type codes.
#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "core/engine/database.h"

namespace veliora::engine {

namespace {

// The base name of a declared type: upper case, without "(n)" and with single blanks.
std::string BaseTypeName(std::string_view declared) {
    std::string name;
    for (char c : declared) {
        if (c == '(')
            break;
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!name.empty() && name.back() != ' ')
                name += ' ';
        } else {
            name += char(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

}  // namespace

int TypeCodeFromDeclared(std::string_view declared) {
    static const std::map<std::string, int> kExact = {
        {"INTEGER", TypeCode::Long},
        {"INT", TypeCode::Long},
        {"MEDIUMINT", TypeCode::Long},
        {"LONG", TypeCode::Long},
        {"SMALLINT", TypeCode::Integer},
        {"INT2", TypeCode::Integer},
        {"TINYINT", TypeCode::Byte},
        {"BYTE", TypeCode::Byte},
        {"BIGINT", TypeCode::BigInt},
        {"INT8", TypeCode::BigInt},
        {"UNSIGNED BIG INT", TypeCode::BigInt},
        {"REAL", TypeCode::Double},
        {"DOUBLE", TypeCode::Double},
        {"DOUBLE PRECISION", TypeCode::Double},
        {"FLOAT", TypeCode::Double},
        {"SINGLE", TypeCode::Single},
        {"NUMERIC", TypeCode::Decimal},
        {"DECIMAL", TypeCode::Decimal},
        {"MONEY", TypeCode::Currency},
        {"CURRENCY", TypeCode::Currency},
        {"TEXT", TypeCode::Text},
        {"VARCHAR", TypeCode::Text},
        {"NVARCHAR", TypeCode::Text},
        {"VARYING CHARACTER", TypeCode::Text},
        {"NATIVE CHARACTER", TypeCode::Text},
        {"CHAR", TypeCode::Char},
        {"CHARACTER", TypeCode::Char},
        {"NCHAR", TypeCode::Char},
        {"CLOB", TypeCode::Memo},
        {"MEMO", TypeCode::Memo},
        {"DATE", TypeCode::Date},
        {"DATETIME", TypeCode::Date},
        {"TIMESTAMP", TypeCode::Date},
        {"TIME", TypeCode::Time},
        {"BOOLEAN", TypeCode::Boolean},
        {"BOOL", TypeCode::Boolean},
        {"BIT", TypeCode::Boolean},
        {"BLOB", TypeCode::LongBinary},
        {"BINARY", TypeCode::Binary},
        {"VARBINARY", TypeCode::VarBinary},
        {"GUID", TypeCode::Guid},
    };
    const std::string name = BaseTypeName(declared);
    if (auto it = kExact.find(name); it != kExact.end())
        return it->second;
    // SQLite's affinity rules, in their order.
    auto has = [&](const char* part) { return name.find(part) != std::string::npos; };
    if (has("INT"))
        return TypeCode::Long;
    if (has("CHAR") || has("CLOB") || has("TEXT"))
        return TypeCode::Text;
    if (name.empty() || has("BLOB"))
        return TypeCode::LongBinary;
    if (has("REAL") || has("FLOA") || has("DOUB"))
        return TypeCode::Double;
    return TypeCode::Decimal;
}

}  // namespace veliora::engine
