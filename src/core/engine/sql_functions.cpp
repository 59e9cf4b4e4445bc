// The functions and the collation every connection has: case mapping and comparison
// for Spanish texts, and instr/printf bounded in time and size.
#include <sqlite3.h>
#include <string.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/engine/connection.h"

namespace veliora::engine {

namespace {

// The collator with, for printable ASCII, each character's rank in its order (letters of
// either case share one): such texts compare character by character, as the collator would.
struct SpanishCollation {
    UCollator* collator = nullptr;
    std::array<std::uint8_t, 128> rank{};

    ~SpanishCollation() { ucol_close(collator); }
};

constexpr unsigned char kFirstPrintable = 0x20, kLastPrintable = 0x7e;

// Ranks of the printable ASCII characters in the collator's order; a character's single
// weight decides texts made of them alone (no contraction or expansion among them).
void RankPrintable(SpanishCollation& c) {
    std::vector<char> chars;
    for (int ch = kFirstPrintable; ch <= kLastPrintable; ++ch) chars.push_back(char(ch));
    auto compare = [&](char a, char b) {
        UErrorCode status = U_ZERO_ERROR;
        return ucol_strcollUTF8(c.collator, &a, 1, &b, 1, &status);
    };
    std::stable_sort(chars.begin(), chars.end(),
                     [&](char a, char b) { return compare(a, b) == UCOL_LESS; });
    std::uint8_t next = 1;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (i > 0 && compare(chars[i - 1], chars[i]) != UCOL_EQUAL)
            ++next;
        c.rank[static_cast<unsigned char>(chars[i])] = next;
    }
}

bool Printable(const SpanishCollation& c, const unsigned char* s, int n) {
    for (int i = 0; i < n; ++i)
        if (s[i] >= 0x80 || c.rank[s[i]] == 0)
            return false;
    return true;
}

// Texts of printable ASCII alone: the first character whose rank differs decides, else the
// shorter comes first.
int ComparePrintable(const SpanishCollation& c, const unsigned char* a, int alen,
                     const unsigned char* b, int blen) {
    for (int i = 0; i < std::min(alen, blen); ++i)
        if (c.rank[a[i]] != c.rank[b[i]])
            return c.rank[a[i]] < c.rank[b[i]] ? -1 : 1;
    return alen == blen ? 0 : (alen < blen ? -1 : 1);
}

int CollateSpanish(void* p, int alen, const void* a, int blen, const void* b) {
    const auto& c = *static_cast<const SpanishCollation*>(p);
    const auto* ua = static_cast<const unsigned char*>(a);
    const auto* ub = static_cast<const unsigned char*>(b);
    if (Printable(c, ua, alen) && Printable(c, ub, blen))
        return ComparePrintable(c, ua, alen, ub, blen);
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult r = ucol_strcollUTF8(c.collator, static_cast<const char*>(a), alen,
                                          static_cast<const char*>(b), blen, &status);
    if (U_FAILURE(status)) {
        int n = std::memcmp(a, b, std::size_t(std::min(alen, blen)));
        return n != 0 ? n : alen - blen;
    }
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

void CaseFunction(sqlite3_context* ctx, int, sqlite3_value** argv, bool lower) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    std::string_view in(text ? text : "", std::size_t(sqlite3_value_bytes(argv[0])));
    std::string out = lower ? LowerText(in) : UpperText(in);
    sqlite3_result_text(ctx, out.data(), int(out.size()), SQLITE_TRANSIENT);
}

void LowerFunction(sqlite3_context* ctx, int n, sqlite3_value** argv) {
    CaseFunction(ctx, n, argv, true);
}
void UpperFunction(sqlite3_context* ctx, int n, sqlite3_value** argv) {
    CaseFunction(ctx, n, argv, false);
}

// with glibc's linear-time search: the engine's own compares at every position, so a long
// needle in a long text built by the statement took minutes in one call.
void LinearInstr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int typeHaystack = sqlite3_value_type(argv[0]), typeNeedle = sqlite3_value_type(argv[1]);
    if (typeHaystack == SQLITE_NULL || typeNeedle == SQLITE_NULL)
        return;
    const bool text = !(typeHaystack == SQLITE_BLOB && typeNeedle == SQLITE_BLOB);
    const char* hay = static_cast<const char*>(
        text ? static_cast<const void*>(sqlite3_value_text(argv[0])) : sqlite3_value_blob(argv[0]));
    const std::size_t hayBytes = std::size_t(sqlite3_value_bytes(argv[0]));
    const char* needle = static_cast<const char*>(
        text ? static_cast<const void*>(sqlite3_value_text(argv[1])) : sqlite3_value_blob(argv[1]));
    const std::size_t needleBytes = std::size_t(sqlite3_value_bytes(argv[1]));
    if (needleBytes == 0) {
        sqlite3_result_int(ctx, 1);
        return;
    }
    if (!needle || (hayBytes && !hay)) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    auto continuation = [&](std::size_t i) { return (hay[i] & 0xC0) == 0x80; };
    std::size_t from = 0;
    while (from + needleBytes <= hayBytes) {
        const void* found = memmem(hay + from, hayBytes - from, needle, needleBytes);
        if (!found)
            break;
        const auto at = std::size_t(static_cast<const char*>(found) - hay);
        if (!text) {
            sqlite3_result_int64(ctx, std::int64_t(at) + 1);
            return;
        }
        if (at == 0 || !continuation(at)) {
            // Characters before the match: the first byte, then every one that starts one.
            std::int64_t position = 1;
            for (std::size_t i = 0; i < at; ++i)
                if (i == 0 || !continuation(i))
                    ++position;
            sqlite3_result_int64(ctx, position);
            return;
        }
        from = at + 1;
    }
    sqlite3_result_int(ctx, 0);
}

// Bytes of the character printf's %c repeats: the first of the argument's text.
std::int64_t CharBytes(sqlite3_value* v) {
    if (!v || sqlite3_value_type(v) != SQLITE_TEXT)
        return 1;
    const unsigned char* t = sqlite3_value_text(v);
    unsigned char lead = t ? t[0] : 0;
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Upper bound of the bytes printf(format, args...) writes, stopping once past `limit`.
std::int64_t PrintfBound(int argc, sqlite3_value** argv, std::int64_t limit) {
    const char* format = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    std::string_view f(format ? format : "");
    int next = 1;
    auto length = [&](int k) -> std::int64_t {
        if (k >= argc)
            return 0;
        int type = sqlite3_value_type(argv[k]);
        return type == SQLITE_TEXT || type == SQLITE_BLOB ? sqlite3_value_bytes(argv[k]) : 400;
    };
    auto number = [&](std::size_t& i) -> std::int64_t {
        if (i < f.size() && f[i] == '*') {
            ++i;
            std::int64_t v = next < argc ? int(sqlite3_value_int64(argv[next])) : 0;
            ++next;
            return v < 0 ? -v : v;
        }
        std::int64_t v = 0;
        while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i])))
            v = std::min<std::int64_t>(v * 10 + (f[i++] - '0'), std::int64_t(1) << 40);
        return v;
    };
    std::int64_t total = 0;
    for (std::size_t i = 0; i < f.size() && total <= limit; ++i) {
        if (f[i] != '%') {
            ++total;
            continue;
        }
        ++i;
        while (i < f.size() && std::string_view("-+ #0!,").find(f[i]) != std::string_view::npos)
            ++i;
        const std::int64_t width = number(i);
        std::int64_t precision = 0;
        if (i < f.size() && f[i] == '.')
            precision = number(++i);
        while (i < f.size() && f[i] == 'l') ++i;
        if (i >= f.size())
            break;
        std::int64_t part;
        switch (f[i]) {
            case '%':
                part = 1;
                break;
            case 'c':
                part = CharBytes(next < argc ? argv[next] : nullptr) *
                       std::max<std::int64_t>(1, precision);
                ++next;
                break;
            case 's':
            case 'z':
                part = length(next++);
                break;
            case 'q':
            case 'Q':
            case 'w':
                part = 2 * length(next++) + 3;
                break;
            default:
                part = 400 + precision;
                ++next;
        }
        total += std::max(width, part);
    }
    return total;
}

// printf and format as the engine has them, except that an output over the length limit
// ends the statement with SQLITE_TOOBIG: the engine's own gives an empty text with success.
void BoundedPrintf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc < 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* c = static_cast<Connection*>(sqlite3_user_data(ctx));
    const std::int64_t limit = sqlite3_limit(c->db, SQLITE_LIMIT_LENGTH, -1);
    if (PrintfBound(argc, argv, limit) > limit) {
        sqlite3_result_error_toobig(ctx);
        return;
    }
    if (!c->printfDb) {
        if (sqlite3_open_v2(":memory:", &c->printfDb, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
        BoundStatements(c->printfDb);
    }
    sqlite3_stmt*& stmt = c->printfStatements[argc];
    if (!stmt) {
        std::string sql = "SELECT printf(?1";
        for (int k = 2; k <= argc; ++k) sql += ", ?" + std::to_string(k);
        sql += ")";
        if (sqlite3_prepare_v2(c->printfDb, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            sqlite3_result_error(ctx, sqlite3_errmsg(c->printfDb), -1);
            return;
        }
    }
    for (int k = 0; k < argc; ++k) sqlite3_bind_value(stmt, k + 1, argv[k]);
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        sqlite3_result_value(ctx, sqlite3_column_value(stmt, 0));
    } else {
        sqlite3_result_error(ctx, sqlite3_errmsg(c->printfDb), -1);
        sqlite3_result_error_code(ctx, rc);
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

}  // namespace

bool RegisterFunctions(Connection& c, Error& err) {
    UErrorCode status = U_ZERO_ERROR;
    auto collation = std::make_unique<SpanishCollation>();
    collation->collator = ucol_open("es", &status);
    if (U_FAILURE(status)) {
        err = Failure(Code::NoCollation);
        return false;
    }
    ucol_setStrength(collation->collator, UCOL_SECONDARY);
    RankPrintable(*collation);
    c.collator = collation->collator;
    sqlite3_create_collation_v2(c.db, kCollation.data(), SQLITE_UTF8, collation.release(),
                                CollateSpanish,
                                [](void* p) { delete static_cast<SpanishCollation*>(p); });
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(c.db, "lower", 1, flags, nullptr, LowerFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(c.db, "upper", 1, flags, nullptr, UpperFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(c.db, "instr", 2, flags, nullptr, LinearInstr, nullptr, nullptr,
                               nullptr);
    for (const char* name : {"printf", "format"})
        sqlite3_create_function_v2(c.db, name, -1, flags, &c, BoundedPrintf, nullptr, nullptr,
                                   nullptr);
    return true;
}

}  // namespace veliora::engine
