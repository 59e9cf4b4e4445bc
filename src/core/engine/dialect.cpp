// The program's SQL dialect (that of the desktop engine students learn with) in SQLite's.
#include <cctype>
#include <cstdio>
#include <optional>

#include "core/engine/database.h"
#include "core/engine/sql_scanner.h"

namespace veliora::engine {

namespace {

bool IsIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
           (static_cast<unsigned char>(c) & 0x80);
}

void SkipSpaces(std::string_view s, std::size_t& i) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
}

std::optional<int> ReadNumber(std::string_view s, std::size_t& i, std::size_t minDigits,
                              std::size_t maxDigits) {
    std::size_t start = i;
    int value = 0;
    while (i < s.size() && i - start < maxDigits && std::isdigit(static_cast<unsigned char>(s[i])))
        value = value * 10 + (s[i++] - '0');
    if (i - start < minDigits)
        return std::nullopt;
    return value;
}

// #mm/dd/yyyy# or #mm/dd/yyyy hh:nn[:ss]# starting at s[i] == '#'. On success returns the
// quoted ISO text and moves i past the closing '#'.
std::optional<std::string> DateLiteral(std::string_view s, std::size_t& i) {
    std::size_t j = i + 1;
    SkipSpaces(s, j);
    auto month = ReadNumber(s, j, 1, 2);
    if (!month || j >= s.size() || s[j] != '/')
        return std::nullopt;
    ++j;
    auto day = ReadNumber(s, j, 1, 2);
    if (!day || j >= s.size() || s[j] != '/')
        return std::nullopt;
    ++j;
    auto year = ReadNumber(s, j, 4, 4);
    if (!year)
        return std::nullopt;
    std::optional<int> hour, minute, second;
    std::size_t k = j;
    SkipSpaces(s, k);
    if (k > j && k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
        hour = ReadNumber(s, k, 1, 2);
        if (!hour || k >= s.size() || s[k] != ':')
            return std::nullopt;
        ++k;
        minute = ReadNumber(s, k, 2, 2);
        if (!minute)
            return std::nullopt;
        if (k < s.size() && s[k] == ':') {
            ++k;
            second = ReadNumber(s, k, 2, 2);
            if (!second)
                return std::nullopt;
        }
        j = k;
    }
    SkipSpaces(s, j);
    if (j >= s.size() || s[j] != '#')
        return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31)
        return std::nullopt;
    char buf[40];
    if (hour)
        std::snprintf(buf, sizeof buf, "'%04d-%02d-%02d %02d:%02d:%02d'", *year, *month, *day,
                      *hour, *minute, second.value_or(0));
    else
        std::snprintf(buf, sizeof buf, "'%04d-%02d-%02d'", *year, *month, *day);
    i = j + 1;
    return std::string(buf);
}

// Skips a table reference: [name], "name", `name` or a bare identifier.
bool SkipTableName(std::string_view s, std::size_t& i) {
    if (i >= s.size())
        return false;
    const SqlStretch name = StretchAt(s, i);
    if (name.kind == SqlStretch::Kind::Bracketed ||
        (name.kind == SqlStretch::Kind::Quoted && s[i] != '\'')) {
        i = name.end;
        return name.closed;
    }
    std::size_t start = i;
    while (i < s.size() && IsIdentChar(s[i])) ++i;
    return i > start;
}

// Count(<table>.*) at s[i] (the "c" of count). On success moves i past ")".
bool CountOfTable(std::string_view s, std::size_t& i) {
    static constexpr std::string_view kCount = "count";
    if (s.size() - i < kCount.size())
        return false;
    for (std::size_t k = 0; k < kCount.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(s[i + k])) != kCount[k])
            return false;
    std::size_t j = i + kCount.size();
    SkipSpaces(s, j);
    if (j >= s.size() || s[j] != '(')
        return false;
    ++j;
    SkipSpaces(s, j);
    if (!SkipTableName(s, j))
        return false;
    SkipSpaces(s, j);
    if (j >= s.size() || s[j] != '.')
        return false;
    ++j;
    SkipSpaces(s, j);
    if (j >= s.size() || s[j] != '*')
        return false;
    ++j;
    SkipSpaces(s, j);
    if (j >= s.size() || s[j] != ')')
        return false;
    i = j + 1;
    return true;
}

// Whether the text just copied (its last `length` characters) follows a comparison
// operator. A column of a user table already compares ignoring letter case; an expression
// (max(x), x || y) has no collation of its own, so the literal brings it.
bool AfterComparison(const std::string& out, std::size_t length) {
    std::size_t k = out.size() - length;
    while (k > 0 && std::isspace(static_cast<unsigned char>(out[k - 1]))) --k;
    return k > 0 && (out[k - 1] == '=' || out[k - 1] == '<' || out[k - 1] == '>');
}

bool CollateFollows(std::string_view s, std::size_t i) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    constexpr std::string_view kCollate = "collate";
    if (s.size() - i < kCollate.size())
        return false;
    for (std::size_t k = 0; k < kCollate.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(s[i + k])) != kCollate[k])
            return false;
    return true;
}

// The translation; `collate` adds the case-insensitive collation after compared literals.
std::string Translate(std::string_view s, bool collate) {
    std::string out;
    out.reserve(s.size() + 16);
    std::size_t i = 0;
    while (i < s.size()) {
        // Quoted and bracketed stretches and comments are copied as they stand.
        if (const SqlStretch verbatim = StretchAt(s, i); !verbatim.code()) {
            out.append(verbatim.text(s));
            i = verbatim.end;
            if (collate && s[verbatim.begin] == '\'' && AfterComparison(out, i - verbatim.begin) &&
                !CollateFollows(s, i))
                out += " COLLATE es_ci";
            continue;
        }
        char c = s[i];
        if (c == '#') {
            if (auto literal = DateLiteral(s, i)) {
                out += *literal;
                continue;
            }
        } else if ((c == 'c' || c == 'C') && (i == 0 || !IsIdentChar(s[i - 1]))) {
            std::size_t j = i;
            if (CountOfTable(s, j)) {
                out += "count(*)";
                i = j;
                continue;
            }
        } else if (IsIdentChar(c)) {
            // Copy the whole word so that "count" is only matched at a word start.
            std::size_t start = i;
            while (i < s.size() && IsIdentChar(s[i])) ++i;
            out.append(s.substr(start, i - start));
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

}  // namespace

std::string TranslateDialect(std::string_view s) {
    return Translate(s, true);
}

std::string PortableDates(std::string_view s) {
    return Translate(s, false);
}

}  // namespace veliora::engine
